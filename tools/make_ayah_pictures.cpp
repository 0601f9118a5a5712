// Build-time generator of the ayah pictures the reader shows: one GIF for every ayah of the
// Uthmani text in quran-json, drawn in the Amiri Quran font, at <gif-dir>/S/S_A.gif.
//
//   make_ayah_pictures <quran.json> <font.ttf> <gif-dir> [<stamp-file>] [--only S[:A]] [--tajwid]
//                      [--scale F] [--levels N] [--runs <file>]
//
// With --tajwid the pictures are drawn larger and coloured by the tajwid rules, for the
// companion window that shows them scaled. --scale draws the ink pictures F times as large
// (1 to 4; the reader's set for high-DPI screens is drawn at 2) and --levels keeps N grey
// levels (2 to 16, the default), the GIF's colour table the next power of two. --runs also
// writes the glyph runs of every ayah as its picture places them (picture/glyph_runs.h), for
// the reader to draw the text at any size; only with the whole text at 1x.
//
// Two threads share the ayat; every picture depends only on its own text, so the files are
// the same bytes on every run whatever the order. Each file is written beside its final name
// and renamed into place, so a build that is stopped halfway leaves no cut-off picture. The
// stamp file, written last, tells the build that the whole set is complete.
#include "ayah_picture.h"

#include "tools/file_writing.h"
#include "tools/spelling_form.h"
#include "tools/text_normalise.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

namespace fs = std::filesystem;
using ayahpics::AyahRenderer;
using ayahpics::PictureStyle;

namespace {

constexpr int kSurahCount = 114;
constexpr int kMaxAyat = 286;
constexpr std::size_t kMaxTextBytes = 16384; // the longest ayah (2:282) is about 2,400 bytes

// The letters of the bytes of one of the texts the searches read, as the runs keep them.
std::vector<std::uint16_t> runLetters(const std::vector<int>& letters) {
    std::vector<std::uint16_t> out;
    out.reserve(letters.size());
    for (int letter : letters) {
        if (letter >= kNoLetter) throw std::runtime_error("ayah too long for the glyph runs");
        out.push_back(letter < 0 ? kNoLetter : static_cast<std::uint16_t>(letter));
    }
    return out;
}

// The letter of every byte of the ayah's byte-code text (what the exact search reads) and
// of its spelling form (what the tolerant search reads), so that the reader can mark the
// letters a search matched.
void addTextLetters(const std::string& text, AyahRuns& runs) {
    std::vector<int> letters;
    textres::arabicToByteCode(text, &letters);
    runs.textLetters = runLetters(letters);
    textres::spellingForm(text, &letters);
    runs.formLetters = runLetters(letters);
}

struct Ayah {
    int surah;
    int ayah;
    std::string text;
};

// Reads every ayah from quran.json: an array of 114 surahs in order, each with "verses" in
// order, each verse with "id" and "text". Anything else is refused with a message.
bool readAyat(const std::string& path, std::vector<Ayah>& ayat, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    nlohmann::json root = nlohmann::json::parse(in, nullptr, false);
    if (root.is_discarded() || !root.is_array()) {
        error = path + " is not a JSON array";
        return false;
    }
    if (root.size() != kSurahCount) {
        error = path + " does not hold 114 surahs";
        return false;
    }
    for (std::size_t s = 0; s < root.size(); ++s) {
        const nlohmann::json& surah = root[s];
        const int number = static_cast<int>(s) + 1;
        auto bad = [&](const std::string& what) {
            error = path + ": surah " + std::to_string(number) + ": " + what;
            return false;
        };
        if (!surah.is_object() || !surah.contains("id") || !surah["id"].is_number_integer() ||
            surah["id"].get<long long>() != number)
            return bad("missing or out of order");
        if (!surah.contains("verses") || !surah["verses"].is_array()) return bad("has no verses");
        const nlohmann::json& verses = surah["verses"];
        if (verses.empty() || verses.size() > kMaxAyat) return bad("verse count out of range");
        for (std::size_t a = 0; a < verses.size(); ++a) {
            const nlohmann::json& verse = verses[a];
            const int ayah = static_cast<int>(a) + 1;
            if (!verse.is_object() || !verse.contains("id") || !verse["id"].is_number_integer() ||
                verse["id"].get<long long>() != ayah)
                return bad("verse " + std::to_string(ayah) + " missing or out of order");
            if (!verse.contains("text") || !verse["text"].is_string())
                return bad("verse " + std::to_string(ayah) + " has no text");
            const std::string& text = verse["text"].get_ref<const std::string&>();
            if (text.empty() || text.size() > kMaxTextBytes)
                return bad("verse " + std::to_string(ayah) + " text length out of range");
            ayat.push_back({number, ayah, text});
        }
    }
    return true;
}

// Parses "S" or "S:A" for --only.
bool parseOnly(const char* text, int& surah, int& ayah) {
    surah = ayah = 0;
    char* end = nullptr;
    long s = std::strtol(text, &end, 10);
    if (end == text || s < 1 || s > kSurahCount) return false;
    surah = static_cast<int>(s);
    if (*end == '\0') return true;
    if (*end != ':') return false;
    const char* rest = end + 1;
    long a = std::strtol(rest, &end, 10);
    if (end == rest || *end != '\0' || a < 1 || a > kMaxAyat) return false;
    ayah = static_cast<int>(a);
    return true;
}

bool parseScale(const char* text, double& scale) {
    char* end = nullptr;
    scale = std::strtod(text, &end);
    return end != text && *end == '\0' && scale >= 1.0 && scale <= 4.0;
}

bool parseLevels(const char* text, int& levels) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    levels = static_cast<int>(n);
    return end != text && *end == '\0' && n >= 2 && n <= ayahpics::kPaletteSize;
}

// Reads a whole file; false if it cannot.
bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int usage() {
    std::fprintf(stderr, "usage: make_ayah_pictures <quran.json> <font.ttf> <gif-dir> "
                         "[<stamp-file>] [--only S[:A]] [--tajwid] [--scale F] [--levels N] "
                         "[--runs <file>]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    int onlySurah = 0, onlyAyah = 0;
    bool tajwidColours = false;
    double scale = 1.0;
    int levels = ayahpics::kPaletteSize;
    std::string runsPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tajwid") {
            tajwidColours = true;
        } else if (arg == "--scale") {
            if (i + 1 >= argc || !parseScale(argv[i + 1], scale)) return usage();
            ++i;
        } else if (arg == "--levels") {
            if (i + 1 >= argc || !parseLevels(argv[i + 1], levels)) return usage();
            ++i;
        } else if (arg == "--runs") {
            if (i + 1 >= argc) return usage();
            runsPath = argv[++i];
        } else if (arg == "--only") {
            if (i + 1 >= argc || !parseOnly(argv[i + 1], onlySurah, onlyAyah)) return usage();
            ++i;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 3 || positional.size() > 4) return usage();
    // The tajwid pictures have their own size and colours.
    if (tajwidColours && (scale != 1.0 || levels != ayahpics::kPaletteSize)) return usage();
    // The runs follow the 1x pictures of the whole text.
    if (!runsPath.empty() && (tajwidColours || scale != 1.0 || onlySurah != 0)) return usage();
    const std::string jsonPath = positional[0], fontPath = positional[1];
    const fs::path outDir = positional[2];
    const std::string stampPath = positional.size() == 4 ? positional[3] : std::string();

    const auto started = std::chrono::steady_clock::now();
    std::vector<Ayah> ayat;
    std::string error;
    if (!readAyat(jsonPath, ayat, error)) {
        std::fprintf(stderr, "make_ayah_pictures: %s\n", error.c_str());
        return 1;
    }
    if (onlySurah != 0) {
        std::vector<Ayah> chosen;
        for (Ayah& a : ayat)
            if (a.surah == onlySurah && (onlyAyah == 0 || a.ayah == onlyAyah))
                chosen.push_back(std::move(a));
        ayat.swap(chosen);
        if (ayat.empty()) {
            std::fprintf(stderr, "make_ayah_pictures: no such ayah\n");
            return 1;
        }
    }

    std::error_code ec;
    for (int s = 1; s <= kSurahCount; ++s) {
        if (onlySurah != 0 && s != onlySurah) continue;
        fs::create_directories(outDir / std::to_string(s), ec);
        if (ec) {
            std::fprintf(stderr, "make_ayah_pictures: cannot create %s: %s\n",
                         (outDir / std::to_string(s)).c_str(), ec.message().c_str());
            return 1;
        }
    }

    PictureStyle style;
    if (tajwidColours) {
        style.fontPixels = 44;
        style.maxLineWidth = 720;
        style.linePitch = 88;
        style.minLineGap = 8;
        style.margin = 14;
    } else {
        style = ayahpics::scaledStyle(style, scale);
        style.greyLevels = levels;
    }
    const auto tajwidPalette = ayahpics::tajwidPalette();
    const std::vector<ayahpics::Rgb> palette =
        tajwidColours ? std::vector<ayahpics::Rgb>(tajwidPalette.begin(), tajwidPalette.end())
                      : ayahpics::inkRamp(levels);
    std::vector<AyahRuns> runs(runsPath.empty() ? 0 : ayat.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    std::string firstError;
    auto work = [&]() {
        // No exception leaves the thread: the first failure is kept and the others stop.
        try {
            AyahRenderer renderer(fontPath, style);
            std::vector<std::uint8_t> gif;
            for (std::size_t i = next++; i < ayat.size() && !failed; i = next++) {
                const Ayah& a = ayat[i];
                const std::string name = std::to_string(a.surah) + "_" + std::to_string(a.ayah);
                std::string message;
                try {
                    ayahpics::IndexedPicture picture =
                        tajwidColours
                            ? renderer.renderTajwid(a.text, a.ayah)
                            : renderer.render(a.text, a.ayah, runs.empty() ? nullptr : &runs[i]);
                    if (!runs.empty()) addTextLetters(a.text, runs[i]);
                    if (ayahpics::encodeGif(picture, palette, gif, message))
                        writeFileAtomically(outDir / std::to_string(a.surah) / (name + ".gif"), gif,
                                            message);
                } catch (const std::exception& e) {
                    message = e.what();
                }
                if (!message.empty()) {
                    std::lock_guard<std::mutex> hold(errorLock);
                    if (firstError.empty()) firstError = "ayah " + name + ": " + message;
                    failed = true;
                }
            }
        } catch (const std::exception& e) {
            std::lock_guard<std::mutex> hold(errorLock);
            if (firstError.empty()) firstError = e.what();
            failed = true;
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    if (failed) {
        std::fprintf(stderr, "make_ayah_pictures: %s\n", firstError.c_str());
        return 1;
    }

    if (!runsPath.empty()) {
        GlyphRunsContent content;
        content.emPixels = style.fontPixels;
        std::vector<std::uint8_t> font, bytes;
        if (!readFile(fontPath, font) || font.size() > 0xFFFFFFFFu) {
            std::fprintf(stderr, "make_ayah_pictures: cannot read %s\n", fontPath.c_str());
            return 1;
        }
        content.fontBytes = static_cast<std::uint32_t>(font.size());
        content.fontChecksum = glyphRunsChecksum(font.data(), font.size());
        for (std::size_t i = 0; i < ayat.size(); ++i) {
            if (content.surahs.size() < static_cast<std::size_t>(ayat[i].surah))
                content.surahs.resize(static_cast<std::size_t>(ayat[i].surah));
            content.surahs.back().push_back(std::move(runs[i]));
        }
        if (!writeGlyphRuns(content, bytes) || !writeFileAtomically(runsPath, bytes, error)) {
            std::fprintf(stderr, "make_ayah_pictures: cannot write the glyph runs %s %s\n",
                         runsPath.c_str(), error.c_str());
            return 1;
        }
    }

    // A run over part of the text does not make the set complete: no stamp then.
    if (!stampPath.empty() && onlySurah == 0) {
        const std::string line = std::to_string(ayat.size()) +
                                 (tajwidColours ? " tajwid pictures\n" : " ayah pictures\n");
        if (!writeFileAtomically(stampPath, std::vector<std::uint8_t>(line.begin(), line.end()),
                                 error)) {
            std::fprintf(stderr, "make_ayah_pictures: %s\n", error.c_str());
            return 1;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("make_ayah_pictures: %zu pictures in %.1f s\n", ayat.size(), seconds);
    return 0;
}
