// The portable rules of recitation: the command lines of the companion programs, which
// ayah a continuous recitation is at, and where a continuous reading goes after an ayah.
//
// Every formatter writes into a caller's buffer of a given size and reports whether the
// whole text fitted; a text that does not fit is not used (the buffer then holds "").
// Paths are UTF-8; the program turns them into UTF-16 for the system's calls.
#ifndef NORAVEL_RECITATION_RECITATION_RULES_H
#define NORAVEL_RECITATION_RECITATION_RULES_H

#include "text/ayah_ref.h"
#include "text/text_store.h"

#include <atomic>
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
AyahRef ayahAfter(int surah, int ayah, int scope, int ayahCountOfSurah);

// The items of the recitation scope list, in order; the list's selection + 1 is the scope.
// "Ayat" recites the same ayah again and again (for memorising).
constexpr const char* kScopeNames[] = {"Surat", "Total", "Ayat"};
constexpr int kScopeSurah = 1;
constexpr int kScopeTotal = 2;
constexpr int kScopeAyah = 3;

// ---- Per-ayah recordings ----
// A recitation folder holds one file per ayah, "SSSAAA.mp3": surah and ayah as three
// digits each ("002255.mp3"). 6236 such files make the whole Quran.

// "SSSAAA.mp3"; false (and "") for a surah outside 1..999 or an ayah outside 1..999.
bool formatAyahFileName(char* out, size_t size, int surah, int ayah);

// "<folder>\SSSAAA.mp3"; a folder that already ends in a backslash gets no second one.
bool formatAyahFilePath(char* out, size_t size, const char* folder, int surah, int ayah);

// Where the recording of an ayah is looked for, in this order: the recitation folder the
// user chose (none when `recitationFolder` is null or ""), then "<programDirectory>\mp3".
// The first candidate for which `exists` holds is written to `out`; false (and "") when
// none exists or a path does not fit.
bool findAyahRecording(char* out, size_t size, const char* recitationFolder,
                       const char* programDirectory, int surah, int ayah,
                       bool (*exists)(const char* utf8Path));

// "Repeat each ayah": 1 to 20 times; a stored value outside that range counts as 1.
constexpr int kMinAyahRepeats = 1;
constexpr int kMaxAyahRepeats = 20;
constexpr int validAyahRepeats(int stored) {
    return stored >= kMinAyahRepeats && stored <= kMaxAyahRepeats ? stored : kMinAyahRepeats;
}

// Where a continuous reading goes when the ayah (surah, ayah) has just been recited for the
// `recitedTimes`th time in a row: with the scope "Ayat" always the same ayah; while it has
// been recited fewer than `repeats` times the same ayah again; otherwise ayahAfter.
AyahRef ayahToReciteNext(int surah, int ayah, int recitedTimes, int scope, int repeats,
                         int ayahCountOfSurah);

// Whether a continuous reading plays the timing table's file from the ayah to the file's
// end and lets the display follow it (false: the ayah's own span only, then next step).
// Repeating an ayah needs the span alone.
constexpr bool followsWholeFile(int scope, int repeats) {
    return scope != kScopeAyah && validAyahRepeats(repeats) == 1;
}

// ---- The player's exit codes ----
// zemplay ends with 0 after playing, and otherwise with one of these.
enum PlayerExit {
    kPlayerPlayed = 0,
    kPlayerBadCommandLine = 2,
    kPlayerUnreadableFile = 3,
    kPlayerNotMp3 = 4,
    kPlayerNoAudioOutput = 5,
    kPlayerNoDecoder = 6,
    kPlayerPlaybackFailed = 7,
    // Started ahead of its ayah, it saw its reader end (or waited its longest) before the
    // reader told it to play.
    kPlayerNotReleased = 8,
};

// What went wrong, for the user, from the player's exit code: "The recording <path> ..."
// and what to do; `exitCode` unknown to the player gives a text naming the code.
bool formatPlayerFailure(char* out, size_t size, unsigned long exitCode, const char* mp3Path);

// The message when no recording of the ayah exists in either place: it names the
// places looked in and asks whether to open the Recitation dialog.
bool formatNoRecording(char* out, size_t size, int surah, int ayah, const char* recitationFolder,
                       const char* programDirectory, const char* tableFile);

// The named event by which the player tells the reader that its sound has started:
// "Local\NoravelPlayerStarted-<process id>".
bool formatPlayerStartedEventName(char* out, size_t size, unsigned long processId);

// The named event on which a player started ahead of its ayah waits until the reader tells
// it to play: "Local\NoravelPlayerGo-<process id>".
bool formatPlayerGoEventName(char* out, size_t size, unsigned long processId);

// The named event a player sets when the last of its sound has played, before it closes the
// output and ends: "Local\NoravelPlayerFinished-<process id>".
bool formatPlayerFinishedEventName(char* out, size_t size, unsigned long processId);

// A mark that worker threads set and the window's timer reads: every playback gets a higher
// number than the one before, and a worker marks the number of its own playback when its
// player has ended (or its sound has started). The mark only ever rises, so a late worker
// of a stopped playback can neither end a newer one nor hide the newer one's mark by
// writing its older number over it.
class RisingMark {
  public:
    void raise(long long value) {
        long long seen = value_.load();
        while (seen < value && !value_.compare_exchange_weak(seen, value)) {
        }
    }
    long long value() const { return value_.load(); }

  private:
    std::atomic<long long> value_{0};
};

#endif
