// Writes the tables of the Madinah mushaf (Hafs) that the reader compiles in, from the
// lists of the quran-meta package (src/lists/HafsLists.ts, MIT licence):
//   kMushafAyahCounts       the ayat of each of the 114 surahs
//   kMushafPageStarts       the first ayah of each of the 604 pages
//   kMushafQuarterStarts    the first ayah of each of the 240 hizb quarters (rub')
//   kMushafProstrations     the 15 ayat of prostration (sajdah)
// Every ayah is written as the key surah * 1000 + ayah. The package numbers ayat from 1 to
// 6236 through the Quran; its lists hold such numbers, with a 0 before the first entry and
// 6237 after the last in the page and quarter lists. Each list is checked (its length, the
// order, the ends) before anything is written, and the output is the same bytes on every
// run.
//
// Usage: make_mushaf_tables --quran-meta DIR --out FILE
#include "tools/file_writing.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int kSurahs = 114;
constexpr int kAyat = 6236;
constexpr int kPages = 604;
constexpr int kQuarters = 240;
constexpr int kProstrations = 15;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text between the brackets of "export const <name>... = [ ... ]".
std::string listText(const std::string& source, const std::string& name) {
    const std::string head = "export const " + name;
    const size_t at = source.find(head);
    if (at == std::string::npos) throw Failure("no list " + name);
    const size_t open = source.find("= [", at);
    if (open == std::string::npos) throw Failure("list " + name + " has no opening bracket");
    int depth = 0;
    for (size_t i = open + 2; i < source.size(); ++i) {
        if (source[i] == '[') ++depth;
        if (source[i] == ']' && --depth == 0) return source.substr(open + 3, i - open - 3);
    }
    throw Failure("list " + name + " is not closed");
}

// The whole numbers of a flat list of numbers.
std::vector<int> numbers(const std::string& text, const std::string& name) {
    std::vector<int> out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            long value = 0;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                value = value * 10 + (text[i] - '0');
                if (value > 1000000) throw Failure(name + " holds a number out of range");
                ++i;
            }
            out.push_back(static_cast<int>(value));
        } else if (c == ',' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            ++i;
        } else {
            throw Failure(name + " holds something other than numbers");
        }
    }
    return out;
}

// Ayah counts of the surah list: its rows are [firstAyahId, ayahCount, ...]; the first row
// stands before surah 1 and the last after surah 114.
std::vector<int> ayahCounts(const std::string& text) {
    std::vector<int> counts;
    size_t at = 0;
    while ((at = text.find('[', at)) != std::string::npos) {
        const size_t end = text.find(']', at);
        if (end == std::string::npos) throw Failure("SurahList has an open row");
        const std::string row = text.substr(at + 1, end - at - 1);
        const size_t comma = row.find(',');
        const size_t second = row.find(',', comma + 1);
        if (comma == std::string::npos || second == std::string::npos)
            throw Failure("SurahList has a short row");
        counts.push_back(std::stoi(row.substr(comma + 1, second - comma - 1)));
        at = end + 1;
    }
    if (counts.size() != kSurahs + 2) throw Failure("SurahList has not 114 surahs");
    counts.erase(counts.begin());
    counts.pop_back();
    int total = 0;
    for (int count : counts) {
        if (count < 3 || count > 286) throw Failure("SurahList has an odd ayah count");
        total += count;
    }
    if (total != kAyat) throw Failure("SurahList does not hold 6236 ayat");
    return counts;
}

// The starts of a list framed by 0 before and 6237 after, checked and without the frame.
std::vector<int> framedStarts(const std::vector<int>& list, int count, const std::string& name) {
    if (list.size() != static_cast<size_t>(count) + 2 || list.front() != 0 || list[1] != 1 ||
        list.back() != kAyat + 1)
        throw Failure(name + " is not " + std::to_string(count) + " entries from ayah 1");
    for (size_t i = 1; i < list.size(); ++i)
        if (list[i] <= list[i - 1]) throw Failure(name + " is not in order");
    return std::vector<int>(list.begin() + 1, list.end() - 1);
}

// surah * 1000 + ayah of an ayah number 1..6236.
int keyOf(int ayahId, const std::vector<int>& counts) {
    int surah = 1;
    while (ayahId > counts[surah - 1]) {
        ayahId -= counts[surah - 1];
        ++surah;
    }
    return surah * 1000 + ayahId;
}

void writeTable(std::ostringstream& out, const char* name, const std::vector<int>& values) {
    out << "constexpr int " << name << "[" << values.size() << "] = {";
    for (size_t i = 0; i < values.size(); ++i)
        out << (i % 10 == 0 ? "\n    " : " ") << values[i] << ",";
    out << "\n};\n";
}

std::vector<int> keys(const std::vector<int>& ids, const std::vector<int>& counts) {
    std::vector<int> out;
    for (int id : ids)
        out.push_back(keyOf(id, counts));
    return out;
}

std::string packageVersion(const std::string& folder) {
    const std::string text = readFile(folder + "/package.json");
    const size_t at = text.find("\"version\"");
    const size_t open = text.find('"', text.find(':', at));
    const size_t close = text.find('"', open + 1);
    if (at == std::string::npos || open == std::string::npos || close == std::string::npos)
        throw Failure("package.json names no version");
    return text.substr(open + 1, close - open - 1);
}

void run(const std::string& folder, const std::string& outPath) {
    const std::string source = readFile(folder + "/src/lists/HafsLists.ts");
    const std::vector<int> counts = ayahCounts(listText(source, "SurahList"));
    const std::vector<int> pages =
        framedStarts(numbers(listText(source, "PageList"), "PageList"), kPages, "PageList");
    const std::vector<int> quarters =
        framedStarts(numbers(listText(source, "HizbQuarterList"), "HizbQuarterList"), kQuarters,
                     "HizbQuarterList");
    const std::vector<int> prostrations = numbers(listText(source, "SajdaList"), "SajdaList");
    if (prostrations.size() != kProstrations) throw Failure("SajdaList has not 15 ayat");
    for (size_t i = 0; i < prostrations.size(); ++i)
        if (prostrations[i] < 1 || prostrations[i] > kAyat ||
            (i > 0 && prostrations[i] <= prostrations[i - 1]))
            throw Failure("SajdaList is out of order or range");

    std::ostringstream out;
    out << "// Made by make_mushaf_tables from quran-meta " << packageVersion(folder)
        << " (Hafs lists). Each ayah is surah * 1000 + ayah.\n";
    writeTable(out, "kMushafAyahCounts", counts);
    writeTable(out, "kMushafPageStarts", keys(pages, counts));
    writeTable(out, "kMushafQuarterStarts", keys(quarters, counts));
    writeTable(out, "kMushafProstrations", keys(prostrations, counts));

    std::string error;
    if (!writeFileAtomically(outPath, out.str(), error)) throw Failure(error);
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::string folder, outPath;
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string arg = argv[i];
            if (arg == "--quran-meta") folder = argv[i + 1];
            if (arg == "--out") outPath = argv[i + 1];
        }
        if (folder.empty() || outPath.empty())
            throw Failure("usage: make_mushaf_tables --quran-meta DIR --out FILE");
        run(folder, outPath);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_mushaf_tables: %s\n", e.what());
        return 1;
    }
}
