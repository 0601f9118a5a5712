// The portable rules of recitation and of the browser pages: the command lines of the
// companion programs, the page paths, which ayah a continuous recitation is at, and
// where a continuous reading goes after an ayah.
//
// Every formatter writes into a caller's buffer of a given size and reports whether the
// whole text fitted; a text that does not fit is not used (the buffer then holds "").
// Paths are UTF-8; the program turns them into UTF-16 for the system's calls.
#pragma once

#include "text/text_store.h"

#include <cstddef>

// Seconds for the player's command line: the timing table's milliseconds divided by
// 1000, rounded toward zero (5000 gives 5, 999 gives 0).
constexpr int wholeSeconds(int milliseconds) {
    return milliseconds / 1000;
}

// "<directory>\mp3\<file>".
bool formatMp3Path(char* out, size_t size, const char* directory, const char* file);

// "\"<directory>\zemplay.exe\" \"<mp3 path>\" <start> <end>", start and end in whole
// seconds; with `continuous` the end is 0 (play to the end of the file).
bool formatPlayerCommandLine(char* out, size_t size, const char* directory, const char* mp3Path,
                             int startMs, int endMs, bool continuous);

// "\"<directory>\morvent.exe\" " (with the trailing blank).
bool formatTajwidCommandLine(char* out, size_t size, const char* directory);

// The commentary pages hold ten ayat each: ayat 1..10 are in page 10, 11..20 in 20.
constexpr int commentaryPageNumber(int ayah) {
    return ((ayah - 1) / 10 + 1) * 10;
}

// "<directory>\html\qs<surah>\<page>.html#<ayah>".
bool formatCommentaryPath(char* out, size_t size, const char* directory, int surah, int ayah);

// "<directory>\help.htm".
bool formatHelpPath(char* out, size_t size, const char* directory);

// A "file:///" URL for a Windows path in UTF-8 that may end in "#anchor": backslashes
// become slashes, and every byte outside the unreserved set (and outside ":" and "/") is
// percent-encoded, so blanks and names in any script survive as percent-encoded UTF-8;
// the anchor is kept.
bool formatFileUrl(char* out, size_t size, const char* path);

// The timing table as the following rule sees it; the program passes the text store's.
struct TimingSource {
    int (*ayahCount)(int surah);
    Recitation (*recitation)(int surah, int ayah);
};
TimingSource textStoreTiming();

// The ayah that a continuous recitation of `mp3Path` is at, `positionMs` into the file:
// the file name is the text after the last backslash; it must hold "_", and the surah is
// the decimal number it starts with. The first ayah k of that surah whose file name
// equals the name exactly and whose start <= position <= end wins. 0 when the name holds
// no "_", the surah is outside 1..114 or has no ayat, or no ayah matches.
int followedAyah(const char* mp3Path, int positionMs, const TimingSource& timing);

// Where a continuous reading goes when the ayah (surah, ayah) has been recited: the next
// ayah of the surah, or after the surah's last ayah ayah 1 of the next surah (scope 2,
// "Total"; 114 is followed by 1) or of the same surah (any other scope, "Surat").
struct AyahRef {
    int surah;
    int ayah;
};
AyahRef ayahAfter(int surah, int ayah, int scope, int ayahCountOfSurah);

// The items of the recitation scope list, in order; the list's selection + 1 is the scope.
constexpr const char* kScopeNames[] = {"Surat", "Total"};
constexpr int kScopeSurah = 1;
constexpr int kScopeTotal = 2;
