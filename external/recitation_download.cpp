#include "external/recitation_download.h"

#include "external/mp3_frames.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kSurahs = 114;

bool startsWithIgnoringCase(const uint8_t* data, size_t size, const char* word) {
    const size_t length = std::strlen(word);
    if (size < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(data[i]) != word[i]) return false;
    return true;
}

} // namespace

bool formatRecitationUrl(char* out, size_t size, const char* urlTemplate, int surah, int ayah) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    if (!urlTemplate || !std::strstr(urlTemplate, "{SSS}") || !std::strstr(urlTemplate, "{AAA}"))
        return false;
    if (surah < 1 || surah > 999 || ayah < 1 || ayah > 999) return false;
    char surahDigits[4];
    char ayahDigits[4];
    std::snprintf(surahDigits, sizeof surahDigits, "%03d", surah);
    std::snprintf(ayahDigits, sizeof ayahDigits, "%03d", ayah);
    std::string url;
    for (const char* p = urlTemplate; *p;) {
        if (std::strncmp(p, "{SSS}", 5) == 0) {
            url += surahDigits;
            p += 5;
        } else if (std::strncmp(p, "{AAA}", 5) == 0) {
            url += ayahDigits;
            p += 5;
        } else {
            url += *p++;
        }
    }
    if (url.size() >= size) return false;
    std::memcpy(out, url.c_str(), url.size() + 1);
    return true;
}

std::vector<AyahOfSurah> ayatOfSurahs(int firstSurah, int lastSurah, int (*ayahCount)(int surah)) {
    std::vector<AyahOfSurah> ayat;
    const int first = firstSurah < 1 ? 1 : firstSurah;
    const int last = lastSurah > kSurahs ? kSurahs : lastSurah;
    for (int surah = first; surah <= last; ++surah) {
        const int count = ayahCount(surah);
        for (int ayah = 1; ayah <= count && ayah <= 999; ++ayah)
            ayat.push_back({surah, ayah});
    }
    return ayat;
}

FetchedBody judgeFetchedBody(const uint8_t* data, size_t size) {
    if (!data || size == 0) return FetchedBody::Empty;
    // A page starts, after blanks (and perhaps a UTF-8 byte order mark), with "<".
    size_t start = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) start = 3;
    while (start < size && std::isspace(data[start]))
        ++start;
    if (start < size && data[start] == '<' &&
        (startsWithIgnoringCase(data + start, size - start, "<!doctype") ||
         startsWithIgnoringCase(data + start, size - start, "<html") ||
         startsWithIgnoringCase(data + start, size - start, "<?xml") ||
         startsWithIgnoringCase(data + start, size - start, "<head") ||
         startsWithIgnoringCase(data + start, size - start, "<body")))
        return FetchedBody::Html;
    return walkMp3Frames(data, size).empty() ? FetchedBody::NotMp3 : FetchedBody::Mp3;
}

bool isTransientFetchFailure(int httpStatus) {
    return httpStatus == 0 || httpStatus == 408 || httpStatus == 429 ||
           (httpStatus >= 500 && httpStatus <= 599 && httpStatus != 501 && httpStatus != 505);
}

int retryDelayMs(int attempt) {
    if (attempt < 1) return 0;
    int delay = 500;
    for (int i = 1; i < attempt && delay < 8000; ++i)
        delay *= 2;
    return delay < 8000 ? delay : 8000;
}
