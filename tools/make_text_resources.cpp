// Writes the six scripture text resources of the reader from the quran-json package
// (3.1.2, CC-BY-4.0):
//   130_surahs.txt      " <count> " CR LF <name> NUL CR LF per surah, then the end line
//   131_indonesian.txt  <surah> CR LF <ayah> CR LF <text> CR LF per ayah, an empty line,
//                       then the end line
//   133_english.txt     the same records, no end line
//   134_arabic.txt      <surah> CR LF <ayah> CR LF <Arabic bytes> NUL CR LF per ayah, then
//                       the end line
//   137_timing.txt      " <start_ms> " CR LF " <end_ms> " CR LF <S_P.mp3> NUL CR LF per
//                       ayah, then the end line
//   139_arabic_spelling.txt  <common spelling form> NUL CR LF per ayah, then the end
//                       line: the Arabic text as the tolerant search reads it
//                       (spelling_form.h)
// The end line is "~~~~~~~" CR LF. Names and translations are folded to ASCII, the
// Arabic text is reduced to the letters of the reader's byte code (text_normalise.h).
//
// Recitation timing: no timing is published for the reader's recordings, so unless
// --timing-csv names a file of real timings the table is a model computed from the
// Arabic text: an ayah lasts ceil(letters / 8) seconds (at least 2 s); a surah's ayat
// follow each other in files of at most 600 s, "S_1.mp3", "S_2.mp3", ..., each ayah
// starting where the previous one of its file ends (recitation_timing.h).
//
// The output depends only on the input files: every run writes the same bytes. Nothing
// is written unless every record converts.
//
// Usage: make_text_resources --quran-json DIR --out DIR [--timing-csv FILE]
#include "tools/file_writing.h"
#include "tools/recitation_timing.h"
#include "tools/spelling_form.h"
#include "tools/text_normalise.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kSurahCount = 114;
constexpr int kMaxAyat = 300;
const char* const kEndLine = "~~~~~~~\r\n";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Ayah {
    std::string arabic;   // byte code
    std::string spelling; // common spelling form
    std::string indonesian;
    std::string english;
};

struct Surah {
    std::string name;
    std::vector<Ayah> ayat;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

json readJson(const fs::path& path) {
    try {
        return json::parse(readFile(path));
    } catch (const json::exception& e) {
        throw Failure(path.string() + ": " + e.what());
    }
}

std::string where(int surah, int ayah) {
    return std::to_string(surah) + ":" + std::to_string(ayah);
}

// Checks that a package file lists surahs 1..114 with their ayat 1..n in order.
void checkShape(const json& surahs, const std::string& file) {
    if (!surahs.is_array() || surahs.size() != kSurahCount)
        throw Failure(file + ": expected " + std::to_string(kSurahCount) + " surahs");
    for (int s = 1; s <= kSurahCount; ++s) {
        const json& surah = surahs[s - 1];
        const json& verses = surah.at("verses");
        if (surah.at("id").get<int>() != s)
            throw Failure(file + ": surah " + std::to_string(s) + " out of order");
        const int total = surah.at("total_verses").get<int>();
        if (total < 1 || total > kMaxAyat || !verses.is_array() ||
            verses.size() != static_cast<size_t>(total))
            throw Failure(file + ": surah " + std::to_string(s) + " has a bad ayah count");
        for (int a = 1; a <= total; ++a)
            if (verses[a - 1].at("id").get<int>() != a)
                throw Failure(file + ": ayah " + where(s, a) + " out of order");
    }
}

std::vector<Surah> readScripture(const fs::path& dir) {
    const json indonesian = readJson(dir / "quran_id.json");
    const json english = readJson(dir / "quran_en.json");
    checkShape(indonesian, "quran_id.json");
    checkShape(english, "quran_en.json");
    std::vector<Surah> surahs(kSurahCount);
    for (int s = 1; s <= kSurahCount; ++s) {
        const json& id = indonesian[s - 1];
        const json& en = english[s - 1];
        if (en.at("verses").size() != id.at("verses").size())
            throw Failure("the two files differ in the ayah count of surah " + std::to_string(s));
        Surah& surah = surahs[s - 1];
        try {
            surah.name = textres::normaliseSurahName(id.at("transliteration").get<std::string>());
        } catch (const textres::NormaliseError& e) {
            throw Failure("name of surah " + std::to_string(s) + ": " + e.what());
        }
        for (size_t i = 0; i < id.at("verses").size(); ++i) {
            const int a = static_cast<int>(i) + 1;
            const json& idVerse = id.at("verses")[i];
            const json& enVerse = en.at("verses")[i];
            Ayah ayah;
            const char* part = "Arabic text";
            try {
                ayah.arabic = textres::arabicToByteCode(idVerse.at("text").get<std::string>());
                ayah.spelling = textres::spellingForm(idVerse.at("text").get<std::string>());
                part = "Indonesian text";
                ayah.indonesian =
                    textres::normaliseTranslation(idVerse.at("translation").get<std::string>());
                part = "English text";
                ayah.english =
                    textres::normaliseTranslation(enVerse.at("translation").get<std::string>());
            } catch (const textres::NormaliseError& e) {
                throw Failure(where(s, a) + " " + part + ": " + e.what());
            }
            surah.ayat.push_back(std::move(ayah));
        }
    }
    return surahs;
}

std::string surahList(const std::vector<Surah>& surahs) {
    std::string out;
    for (const Surah& surah : surahs) {
        out += " " + std::to_string(surah.ayat.size()) + " \r\n";
        out += surah.name;
        out += std::string("\0\r\n", 3);
    }
    return out + kEndLine;
}

// Records of 131, 133 and 134; text picks the field of the ayah.
template <typename Field>
std::string ayahRecords(const std::vector<Surah>& surahs, Field text, bool nulTerminated) {
    std::string out;
    for (size_t s = 0; s < surahs.size(); ++s)
        for (size_t a = 0; a < surahs[s].ayat.size(); ++a) {
            out += std::to_string(s + 1) + "\r\n" + std::to_string(a + 1) + "\r\n";
            out += text(surahs[s].ayat[a]);
            if (nulTerminated) out += '\0';
            out += "\r\n";
        }
    return out;
}

std::string timingRecords(const textres::TimingTable& table) {
    std::string out;
    for (const auto& surah : table)
        for (const textres::AyahTiming& t : surah) {
            out += " " + std::to_string(t.startMs) + " \r\n";
            out += " " + std::to_string(t.endMs) + " \r\n";
            out += t.file;
            out += std::string("\0\r\n", 3);
        }
    return out + kEndLine;
}

// Writes through a temporary file so that an interrupted run leaves no partial output.
void writeFile(const fs::path& path, const std::string& data) {
    std::string error;
    if (!writeFileAtomically(path, data, error)) throw Failure(error);
}

int run(int argc, char** argv) {
    fs::path jsonDir;
    fs::path outDir;
    fs::path timingCsv;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) throw Failure("option " + arg + " needs a value");
        if (arg == "--quran-json")
            jsonDir = argv[++i];
        else if (arg == "--out")
            outDir = argv[++i];
        else if (arg == "--timing-csv")
            timingCsv = argv[++i];
        else
            throw Failure("unknown option " + arg);
    }
    if (jsonDir.empty() || outDir.empty())
        throw Failure("usage: make_text_resources --quran-json DIR --out DIR [--timing-csv FILE]");

    const std::vector<Surah> surahs = readScripture(jsonDir);
    textres::TimingTable timing;
    std::string timingSource;
    try {
        if (timingCsv.empty()) {
            std::vector<std::vector<int>> letters;
            for (const Surah& surah : surahs) {
                letters.emplace_back();
                for (const Ayah& ayah : surah.ayat) {
                    int count = 0;
                    for (char c : ayah.arabic)
                        count += c != ' ';
                    letters.back().push_back(count);
                }
            }
            timing = textres::modelTiming(letters);
            timingSource = "the reading-speed model";
        } else {
            std::vector<int> counts;
            for (const Surah& surah : surahs)
                counts.push_back(static_cast<int>(surah.ayat.size()));
            timing = textres::parseTimingCsv(readFile(timingCsv), counts);
            timingSource = timingCsv.string();
        }
    } catch (const textres::TimingError& e) {
        throw Failure(e.what());
    }

    std::set<std::string> files;
    for (const auto& surah : timing)
        for (const auto& t : surah)
            files.insert(t.file);

    const auto indonesian = [](const Ayah& a) { return a.indonesian; };
    const auto english = [](const Ayah& a) { return a.english; };
    const auto arabic = [](const Ayah& a) { return a.arabic; };
    std::string spellings;
    for (const Surah& surah : surahs)
        for (const Ayah& ayah : surah.ayat)
            spellings += ayah.spelling + std::string("\0\r\n", 3);
    const std::string outputs[][2] = {
        {"130_surahs.txt", surahList(surahs)},
        {"131_indonesian.txt", ayahRecords(surahs, indonesian, false) + "\r\n" + kEndLine},
        {"133_english.txt", ayahRecords(surahs, english, false)},
        {"134_arabic.txt", ayahRecords(surahs, arabic, true) + kEndLine},
        {"137_timing.txt", timingRecords(timing)},
        {"139_arabic_spelling.txt", spellings + kEndLine},
    };
    fs::create_directories(outDir);
    for (const auto& output : outputs)
        writeFile(outDir / output[0], output[1]);
    std::printf("make_text_resources: recitation timing from %s (%zu files)\n",
                timingSource.c_str(), files.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_text_resources: %s\n", e.what());
        return 1;
    }
}
