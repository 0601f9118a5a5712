// Recitation timing of every ayah: the mp3 file that holds it ("S_P.mp3", part P of
// surah S) and where in that file the ayah starts and ends, in whole seconds written
// as milliseconds.
//
// No timing is published for the reader's recordings, so by default the table is a
// model built from the Arabic text:
//  - an ayah lasts ceil(letters / 8) seconds, at least 2 s, where letters is the
//    number of Arabic letters of the ayah (marks and blanks not counted); 8 letters a
//    second is a brisk murattal reading (about 12 hours for the whole Quran);
//  - a surah's ayat fill its files in order: each ayah starts where the previous one
//    of its file ends, the first of a file at 0, and an ayah that would carry its file
//    beyond 600 s opens the next file (part 1, 2, ...);
//  - at most 20 files a surah and no end beyond 607000 ms, else generation fails.
// Real timings can replace the model: a CSV with the header
// "surah,ayah,file,start_ms,end_ms" and one line for every ayah.
#ifndef NORAVEL_TOOLS_RECITATION_TIMING_H
#define NORAVEL_TOOLS_RECITATION_TIMING_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace textres {

struct AyahTiming {
    int startMs = 0;
    int endMs = 0;
    std::string file;
};

// Timing per surah (index 0 = surah 1), per ayah (index 0 = ayah 1).
using TimingTable = std::vector<std::vector<AyahTiming>>;

struct TimingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int kLettersPerSecond = 8;
constexpr int kMinAyahSeconds = 2;
constexpr int kMaxFileSeconds = 600;
constexpr int kMaxFilesPerSurah = 20;
constexpr int kMaxEndMs = 607000;

inline std::string recitationFileName(int surah, int part) {
    return std::to_string(surah) + "_" + std::to_string(part) + ".mp3";
}

inline int modelAyahSeconds(int letters) {
    const int seconds = (letters + kLettersPerSecond - 1) / kLettersPerSecond;
    return seconds < kMinAyahSeconds ? kMinAyahSeconds : seconds;
}

// letters[s][a] = letter count of ayah a+1 of surah s+1.
inline TimingTable modelTiming(const std::vector<std::vector<int>>& letters) {
    TimingTable table(letters.size());
    for (size_t s = 0; s < letters.size(); ++s) {
        const int surah = static_cast<int>(s) + 1;
        int part = 1;
        int second = 0;
        for (size_t a = 0; a < letters[s].size(); ++a) {
            const int length = modelAyahSeconds(letters[s][a]);
            if (second > 0 && second + length > kMaxFileSeconds) {
                ++part;
                second = 0;
            }
            if (part > kMaxFilesPerSurah || (second + length) * 1000 > kMaxEndMs)
                throw TimingError("surah " + std::to_string(surah) + " does not fit " +
                                  std::to_string(kMaxFilesPerSurah) + " files");
            table[s].push_back(
                {second * 1000, (second + length) * 1000, recitationFileName(surah, part)});
            second += length;
        }
    }
    return table;
}

namespace detail {

inline std::string trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// A non-negative decimal of at most 7 digits, else -1.
inline int parseCount(const std::string& field) {
    if (field.empty() || field.size() > 7) return -1;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The part number of "S_P.mp3" for surah S, or -1.
inline int filePart(const std::string& file, int surah) {
    const std::string prefix = std::to_string(surah) + "_";
    const std::string suffix = ".mp3";
    if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix))
        return -1;
    const std::string digits =
        file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
    if (digits[0] == '0') return -1;
    return parseCount(digits);
}

} // namespace detail

// Reads real timings. Every ayah of ayahCounts (index 0 = surah 1) must appear exactly
// once, in any order. Times not on whole seconds are widened to them (start rounded
// down, end up), as the player takes whole seconds.
inline TimingTable parseTimingCsv(const std::string& csv, const std::vector<int>& ayahCounts) {
    TimingTable table(ayahCounts.size());
    std::vector<std::vector<bool>> seen(ayahCounts.size());
    for (size_t s = 0; s < ayahCounts.size(); ++s) {
        table[s].resize(static_cast<size_t>(ayahCounts[s]));
        seen[s].assign(static_cast<size_t>(ayahCounts[s]), false);
    }
    size_t pos = 0;
    int lineNumber = 0;
    bool headerRead = false;
    if (csv.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < csv.size()) {
        size_t end = csv.find('\n', pos);
        if (end == std::string::npos) end = csv.size();
        std::string line = csv.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (detail::trimmed(line).empty()) continue;
        const auto fail = [&](const std::string& why) {
            throw TimingError("timing CSV line " + std::to_string(lineNumber) + ": " + why);
        };
        std::vector<std::string> fields;
        for (size_t from = 0;;) {
            const size_t comma = line.find(',', from);
            std::string field = detail::trimmed(line.substr(from, comma - from));
            if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
                field = field.substr(1, field.size() - 2);
            fields.push_back(field);
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        if (fields.size() != 5) fail("expected 5 fields");
        if (!headerRead) {
            const char* const names[] = {"surah", "ayah", "file", "start_ms", "end_ms"};
            for (int i = 0; i < 5; ++i)
                if (fields[i] != names[i]) fail("header must be surah,ayah,file,start_ms,end_ms");
            headerRead = true;
            continue;
        }
        const int surah = detail::parseCount(fields[0]);
        const int ayah = detail::parseCount(fields[1]);
        const int start = detail::parseCount(fields[3]);
        const int stop = detail::parseCount(fields[4]);
        if (surah < 1 || surah > static_cast<int>(ayahCounts.size())) fail("bad surah");
        if (ayah < 1 || ayah > ayahCounts[surah - 1]) fail("bad ayah");
        const int part = detail::filePart(fields[2], surah);
        if (part < 1 || part > kMaxFilesPerSurah)
            fail("file must be " + std::to_string(surah) + "_P.mp3 with P 1.." +
                 std::to_string(kMaxFilesPerSurah));
        if (start < 0 || start > kMaxEndMs || stop < 0 || stop > kMaxEndMs)
            fail("times must be 0.." + std::to_string(kMaxEndMs));
        if (stop < start) fail("end before start");
        const size_t s = static_cast<size_t>(surah - 1);
        const size_t a = static_cast<size_t>(ayah - 1);
        if (seen[s][a])
            fail("ayah " + std::to_string(surah) + ":" + std::to_string(ayah) + " twice");
        seen[s][a] = true;
        table[s][a] = {start / 1000 * 1000, (stop + 999) / 1000 * 1000, fields[2]};
    }
    if (!headerRead) throw TimingError("timing CSV is empty");
    for (size_t s = 0; s < seen.size(); ++s)
        for (size_t a = 0; a < seen[s].size(); ++a)
            if (!seen[s][a])
                throw TimingError("timing CSV lacks ayah " + std::to_string(s + 1) + ":" +
                                  std::to_string(a + 1));
    return table;
}

} // namespace textres

#endif
