#include "recitation/recitation_download.h"

#include "recitation/mp3_frames.h"
#include "recitation/recitation_rules.h"

#include "base/bounded_format.h"

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

namespace {

// The three digits at name[0..2] as a number, or -1.
int threeDigits(const char* name) {
    int value = 0;
    for (int i = 0; i < 3; ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

bool equalsIgnoringCase(const char* text, const char* lowerWord) {
    for (; *text && *lowerWord; ++text, ++lowerWord)
        if (std::tolower(static_cast<unsigned char>(*text)) != *lowerWord) return false;
    return *text == '\0' && *lowerWord == '\0';
}

// "SSSAAA" followed by `tail` (lower case, compared ignoring case).
bool splitAyahName(const char* name, const char* tail, int* surah, int* ayah) {
    if (!name || std::strlen(name) < 6) return false;
    *surah = threeDigits(name);
    *ayah = threeDigits(name + 3);
    return *surah > 0 && *ayah > 0 && equalsIgnoringCase(name + 6, tail);
}

} // namespace

bool parseAyahFileName(const char* name, int (*ayahCount)(int surah), AyahOfSurah* out) {
    int surah = 0;
    int ayah = 0;
    if (!splitAyahName(name, ".mp3", &surah, &ayah)) return false;
    if (surah > kSurahs || !ayahCount || ayah > ayahCount(surah)) return false;
    if (out) *out = {surah, ayah};
    return true;
}

bool isPartialAyahFileName(const char* name) {
    int surah = 0;
    int ayah = 0;
    return splitAyahName(name, ".mp3.part", &surah, &ayah);
}

bool formatPartialAyahFileName(char* out, size_t size, int surah, int ayah) {
    if (surah < 1 || surah > 999 || ayah < 1 || ayah > 999) {
        if (out && size) out[0] = '\0';
        return false;
    }
    return formatInto(out, size, "%03d%03d.mp3.part", surah, ayah);
}

FetchOutcome outcomeOfBody(FetchedBody body) {
    switch (body) {
    case FetchedBody::Mp3: return FetchOutcome::Saved;
    case FetchedBody::Empty: return FetchOutcome::Empty;
    case FetchedBody::Html: return FetchOutcome::Html;
    case FetchedBody::NotMp3: break;
    }
    return FetchOutcome::NotMp3;
}

bool isRetriedFetch(const FetchResult& result) {
    switch (result.outcome) {
    case FetchOutcome::HttpStatus: return isTransientFetchFailure(result.httpStatus);
    case FetchOutcome::CutShort:
    case FetchOutcome::Refused:
    case FetchOutcome::TimedOut:
    case FetchOutcome::Network: return isTransientFetchFailure(0);
    default: return false;
    }
}

bool formatFetchReason(char* out, size_t size, const FetchResult& result) {
    switch (result.outcome) {
    case FetchOutcome::Saved: return formatInto(out, size, "saved");
    case FetchOutcome::HttpStatus: return formatInto(out, size, "HTTP %d", result.httpStatus);
    case FetchOutcome::Html: return formatInto(out, size, "not MP3 (an HTML page)");
    case FetchOutcome::NotMp3: return formatInto(out, size, "not MP3");
    case FetchOutcome::Empty: return formatInto(out, size, "empty");
    case FetchOutcome::CutShort: return formatInto(out, size, "cut short");
    case FetchOutcome::TooLarge:
        return formatInto(out, size, "larger than %u MB",
                          static_cast<unsigned>(kMaxRecordingBytes / (1024 * 1024)));
    case FetchOutcome::Refused: return formatInto(out, size, "connection refused");
    case FetchOutcome::HostUnknown: return formatInto(out, size, "host not found");
    case FetchOutcome::TimedOut: return formatInto(out, size, "no answer (timed out)");
    case FetchOutcome::Network:
        return formatInto(out, size, "network error %lu", result.systemError);
    case FetchOutcome::WriteFailed:
        return formatInto(out, size, "could not be written (error %lu)", result.systemError);
    case FetchOutcome::BadAddress: return formatInto(out, size, "bad address");
    case FetchOutcome::Cancelled: return formatInto(out, size, "cancelled");
    }
    return formatInto(out, size, "failed");
}

bool formatFetchFailure(char* out, size_t size, int surah, int ayah, const FetchResult& result) {
    char name[16];
    char reason[96];
    if (!formatAyahFileName(name, sizeof name, surah, ayah) ||
        !formatFetchReason(reason, sizeof reason, result)) {
        if (out && size) out[0] = '\0';
        return false;
    }
    return formatInto(out, size, "%s: %s", name, reason);
}

bool formatDownloadProgress(char* out, size_t size, int fileNumber, int files,
                            unsigned long long bytes) {
    constexpr unsigned long long kMegabyte = 1024ull * 1024;
    if (bytes < kMegabyte)
        return formatInto(out, size, "File %d of %d, %llu KB", fileNumber, files,
                          (bytes + 1023) / 1024);
    // One decimal, rounded down so that "1.0 MB" is not shown before a megabyte came.
    const unsigned long long tenths = bytes * 10 / kMegabyte;
    return formatInto(out, size, "File %d of %d, %llu.%llu MB", fileNumber, files, tenths / 10,
                      tenths % 10);
}

bool formatAyahFileCount(char* out, size_t size, int count) {
    return formatInto(out, size, "%d of %d ayat", count, kQuranAyat);
}

bool formatDownloadSummary(char* out, size_t size, int done, int skipped, int failed,
                           bool cancelled) {
    return formatInto(out, size, "Done: %d, skipped: %d, failed: %d.%s", done, skipped, failed,
                      cancelled ? " Cancelled." : "");
}

int moveRetryDelayMs(int attempt) {
    if (attempt < 1) return 0;
    if (attempt > 5) return 1600;
    return 100 << (attempt - 1);
}
