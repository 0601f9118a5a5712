// Reads every translation resource back through the reader's own loader
// (text/translation_text.h) and compares each ayah and each surah-name meaning with the
// package, for all 6,236 ayat of every language. Any difference, a missing ayah or an
// ayah too many ends the build with the first differences named.
//
// Usage: check_translation_resources --quran-json DIR --data DIR CODE...
#include "text/translation_text.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kQuranAyat = 6236;

bool readFile(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

// The number of differences found in one language (reported up to a few).
int check(const fs::path& jsonDir, const fs::path& dataDir, const std::string& code, int id) {
    std::string package, resource;
    const fs::path resourcePath = dataDir / (std::to_string(id) + "_translation_" + code + ".txt");
    if (!readFile(jsonDir / ("quran_" + code + ".json"), package) ||
        !readFile(resourcePath, resource)) {
        std::fprintf(stderr, "%s: cannot read the package file or %s\n", code.c_str(),
                     resourcePath.string().c_str());
        return 1;
    }
    const json surahs = json::parse(package, nullptr, false);
    if (!surahs.is_array() || surahs.size() != 114) {
        std::fprintf(stderr, "%s: the package file is not a list of 114 surahs\n", code.c_str());
        return 1;
    }
    TranslationText text;
    const int loaded = text.load(resource.data(), resource.size());
    const char* field = code == "transliteration" ? "transliteration" : "translation";
    int differences = 0;
    int compared = 0;
    const auto report = [&](int s, int a, const char* what) {
        if (++differences <= 5) std::fprintf(stderr, "%s %d:%d: %s\n", code.c_str(), s, a, what);
    };
    for (int s = 1; s <= 114; ++s) {
        const json& surah = surahs[s - 1];
        if (text.surahMeaning(s) != surah.value("translation", std::string()))
            report(s, 0, "the meaning of the surah's name differs");
        const json& verses = surah.value("verses", json::array());
        if (text.ayahCount(s) != static_cast<int>(verses.size()))
            report(s, 0, "the number of ayat differs");
        for (size_t i = 0; i < verses.size(); ++i) {
            ++compared;
            if (text.ayah(s, static_cast<int>(i) + 1) != verses[i].value(field, std::string()))
                report(s, static_cast<int>(i) + 1, "the text differs");
        }
    }
    if (compared != kQuranAyat || loaded != kQuranAyat) report(0, 0, "not 6,236 ayat");
    if (differences == 0) std::printf("%s: %d ayat as in the package\n", code.c_str(), compared);
    return differences;
}

} // namespace

int main(int argc, char** argv) {
    fs::path jsonDir, dataDir;
    std::vector<std::string> codes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--quran-json" || arg == "--data") && i + 1 < argc)
            (arg == "--data" ? dataDir : jsonDir) = argv[++i];
        else
            codes.push_back(arg);
    }
    if (jsonDir.empty() || dataDir.empty() || codes.empty()) {
        std::fprintf(stderr,
                     "usage: check_translation_resources --quran-json DIR --data DIR CODE...\n");
        return 2;
    }
    int differences = 0;
    for (size_t i = 0; i < codes.size(); ++i)
        differences += check(jsonDir, dataDir, codes[i], 150 + static_cast<int>(i));
    if (differences != 0) {
        std::fprintf(stderr, "check_translation_resources: %d differences\n", differences);
        return 1;
    }
    return 0;
}
