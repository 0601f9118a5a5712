// The portable rules of fetching a recitation of one file per ayah: the address of each
// file from the user's template, which ayat a download covers, whether a fetched body may
// become a recording, and when a failed fetch is tried again.
#ifndef NORAVEL_RECITATION_RECITATION_DOWNLOAD_H
#define NORAVEL_RECITATION_RECITATION_DOWNLOAD_H

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

// ---- The download itself ----

// Files fetched at once: 4 unless asked otherwise, 1 to 8.
constexpr int kDefaultDownloadConnections = 4;
constexpr int kMaxDownloadConnections = 8;
constexpr int validDownloadConnections(int asked) {
    return asked < 1 ? 1 : asked > kMaxDownloadConnections ? kMaxDownloadConnections : asked;
}

// The wait before try number `attempt` (1 for the second) of moving a whole file into its
// final name, which a scanner or an indexer may hold for a moment: 100 ms, doubling, at
// most 1.6 s; kMoveAttempts tries in all.
int moveRetryDelayMs(int attempt);
constexpr int kMoveAttempts = 6;

// The 6,236 ayat of the Quran, each one file in a complete recitation folder.
constexpr int kQuranAyat = 6236;
// No recording of one ayah comes near this; a larger body is not kept in memory.
constexpr size_t kMaxRecordingBytes = 20u * 1024 * 1024;

// Whether `name` is the file of an ayah that exists, "SSSAAA.mp3" (the extension in any
// case); the ayah in `out` (may be null).
bool parseAyahFileName(const char* name, int (*ayahCount)(int surah), AyahOfSurah* out);
// Whether `name` is the temporary file of an ayah's download, "SSSAAA.mp3.part", left
// behind when a download was killed.
bool isPartialAyahFileName(const char* name);
// "SSSAAA.mp3.part", the name a file is fetched under before it is renamed into place.
bool formatPartialAyahFileName(char* out, size_t size, int surah, int ayah);

// How fetching one file ended.
enum class FetchOutcome {
    Saved,       // an MP3 body, renamed into place
    HttpStatus,  // the server answered with a status other than 200
    Html,        // 200, but a page
    NotMp3,      // 200, but no MP3 frames
    Empty,       // 200 and nothing
    CutShort,    // the connection ended before the announced length or broke off
    TooLarge,    // more than kMaxRecordingBytes
    Refused,     // nothing answered at the address's host and port
    HostUnknown, // the host's name was not found
    TimedOut,    // the server stopped answering
    Network,     // any other failure of the connection (systemError)
    WriteFailed, // the folder did not take the file (systemError)
    BadAddress,  // the address could not be formed or read
    Cancelled,
};

struct FetchResult {
    FetchOutcome outcome = FetchOutcome::Saved;
    int httpStatus = 0;
    unsigned long systemError = 0;
};

// What a body that came with status 200 leads to.
FetchOutcome outcomeOfBody(FetchedBody body);

// Whether a failed fetch may succeed when tried again (the server's errors that pass, and
// connections that failed or broke off); a page, a refusal by status or a full folder do
// not change on their own.
bool isRetriedFetch(const FetchResult& result);

// The reason shown for a file that failed, "HTTP 404", "not MP3 (an HTML page)", "cut
// short", "connection refused", "cancelled", ...
bool formatFetchReason(char* out, size_t size, const FetchResult& result);
// "002255.mp3: HTTP 404".
bool formatFetchFailure(char* out, size_t size, int surah, int ayah, const FetchResult& result);

// "File 12 of 286, 1.4 MB" (bytes received so far; KB below one megabyte).
bool formatDownloadProgress(char* out, size_t size, int fileNumber, int files,
                            unsigned long long bytes);
// "N of 6236 ayat".
bool formatAyahFileCount(char* out, size_t size, int count);
// "Done: 280, skipped: 3, failed: 3." with " Cancelled." after a cancel.
bool formatDownloadSummary(char* out, size_t size, int done, int skipped, int failed,
                           bool cancelled);

#endif
