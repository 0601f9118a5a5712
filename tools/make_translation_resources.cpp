// Writes one UTF-8 translation resource per language code from the quran-json package
// (dist/quran_<code>.json): for each surah the meaning of its name as ayah 0, then its
// ayat, each as "<surah> <ayah> <length>" LF <text> LF (text/translation_text.h). The
// transliteration file gives the "transliteration" field of its ayat, every other file
// the "translation" field. Texts are written byte for byte as the package has them.
//
// Usage: make_translation_resources --quran-json DIR --out DIR CODE...
// Resource i (from 0) of the codes is written as "<150 + i>_translation_<code>.txt".
#include "tools/file_writing.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kSurahs = 114;
constexpr int kFirstId = 150;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

json readJson(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return json::parse(text.str());
    } catch (const json::exception& e) {
        throw Failure(path.string() + ": " + e.what());
    }
}

void addRecord(std::string& out, int surah, int ayah, const std::string& text) {
    out += std::to_string(surah) + " " + std::to_string(ayah) + " " + std::to_string(text.size()) +
           "\n";
    out += text;
    out += "\n";
}

std::string convert(const json& surahs, const std::string& code) {
    const char* field = code == "transliteration" ? "transliteration" : "translation";
    if (!surahs.is_array() || surahs.size() != kSurahs)
        throw Failure("quran_" + code + ".json: expected 114 surahs");
    std::string out;
    for (int s = 1; s <= kSurahs; ++s) {
        const json& surah = surahs[s - 1];
        if (surah.at("id").get<int>() != s)
            throw Failure("quran_" + code + ".json: surah " + std::to_string(s) + " out of order");
        addRecord(out, s, 0, surah.at("translation").get<std::string>());
        const json& verses = surah.at("verses");
        for (size_t i = 0; i < verses.size(); ++i) {
            const int a = static_cast<int>(i) + 1;
            if (verses[i].at("id").get<int>() != a)
                throw Failure("quran_" + code + ".json: ayah " + std::to_string(s) + ":" +
                              std::to_string(a) + " out of order");
            addRecord(out, s, a, verses[i].at(field).get<std::string>());
        }
    }
    return out;
}

// Writes through a temporary file so that an interrupted run leaves no partial output.
void writeFile(const fs::path& path, const std::string& data) {
    std::string error;
    if (!writeFileAtomically(path, data, error)) throw Failure(error);
}

int run(int argc, char** argv) {
    fs::path jsonDir, outDir;
    std::vector<std::string> codes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--quran-json" || arg == "--out") && i + 1 < argc)
            (arg == "--out" ? outDir : jsonDir) = argv[++i];
        else
            codes.push_back(arg);
    }
    if (jsonDir.empty() || outDir.empty() || codes.empty())
        throw Failure("usage: make_translation_resources --quran-json DIR --out DIR CODE...");
    // Every file is converted before any is written.
    std::vector<std::string> converted;
    for (const std::string& code : codes)
        converted.push_back(convert(readJson(jsonDir / ("quran_" + code + ".json")), code));
    fs::create_directories(outDir);
    for (size_t i = 0; i < codes.size(); ++i)
        writeFile(outDir / (std::to_string(kFirstId + i) + "_translation_" + codes[i] + ".txt"),
                  converted[i]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_translation_resources: %s\n", e.what());
        return 1;
    }
}
