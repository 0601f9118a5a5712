// The portable rules of fetching a recitation of one file per ayah: the address of each
// file from the user's template, which ayat a download covers, whether a fetched body may
// become a recording, and when a failed fetch is tried again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The address of one ayah's file: every "{SSS}" of the template becomes the surah and
// every "{AAA}" the ayah, three digits each. A template without both placeholders would
// fetch the same file for every ayah and is refused (false, out ""), as is one that does
// not fit.
bool formatRecitationUrl(char* out, size_t size, const char* urlTemplate, int surah, int ayah);

struct AyahOfSurah {
    int surah;
    int ayah;
};

// Every ayah of surahs first..last (both counted, bounded to 1..114), in order; nothing
// when first > last.
std::vector<AyahOfSurah> ayatOfSurahs(int firstSurah, int lastSurah, int (*ayahCount)(int surah));

// What a fetched body is. Only an Mp3 body is renamed into place.
enum class FetchedBody {
    Mp3,    // MP3 frames follow each other from the start (after an ID3 tag)
    Empty,  // nothing came
    Html,   // a page (an error or a login page served with status 200)
    NotMp3, // anything else
};
FetchedBody judgeFetchedBody(const uint8_t* data, size_t size);

// Whether a fetch that failed with this HTTP status may succeed when tried again (0: the
// connection failed or broke off before a status came).
bool isTransientFetchFailure(int httpStatus);

// The wait before try number `attempt` (1 for the first retry): 500 ms, doubling, at most
// 8 s.
int retryDelayMs(int attempt);
constexpr int kFetchAttempts = 4; // the first try and three retries
