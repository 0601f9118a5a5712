// What a reading for memorising plays: a range of ayat from A to B (across surahs),
// passed through N times or without end, each ayah K times in a row, and the pauses left
// after each recitation (for the learner to repeat it) and after each pass.
//
// The plan is a rule, not a list: from one step it says the next, so that an endless
// reading needs no memory. The player asks it for the step after the one that has played
// and for the pause to leave before that step.
#ifndef NORAVEL_RECITATION_PLAY_PLAN_H
#define NORAVEL_RECITATION_PLAY_PLAN_H

#include "recitation/mp3_frames.h"
#include "text/ayah_ref.h"

#include <cstddef>

// ---- The settings and their valid ranges ----
constexpr int kEndlessPasses = 0; // "without end"
constexpr int kMaxPasses = 99;
// Pauses in tenths of a second (0.5 to 10 s) and multiples in hundredths (0.5 to 3 times).
constexpr int kMinPauseTenths = 5;
constexpr int kMaxPauseTenths = 100;
constexpr int kMinPauseLengthPercent = 50;
constexpr int kMaxPauseLengthPercent = 300;

enum class AyahPause { kNone = 0, kFixed = 1, kLengthMultiple = 2 };

struct Pauses {
    AyahPause afterAyah = AyahPause::kNone;
    int ayahTenths = 10;         // with kFixed
    int ayahLengthPercent = 100; // with kLengthMultiple
    int afterPassTenths = 0;     // 0: none
};

// Stored values outside their ranges count as the defaults (no range, one pass, no pause).
constexpr int validPasses(int stored) {
    return stored >= kEndlessPasses && stored <= kMaxPasses ? stored : 1;
}
constexpr int validPauseTenths(int stored) {
    return stored >= kMinPauseTenths && stored <= kMaxPauseTenths ? stored : 0;
}
constexpr int validPauseLengthPercent(int stored) {
    return stored >= kMinPauseLengthPercent && stored <= kMaxPauseLengthPercent ? stored : 0;
}
// The pauses from their stored values; a kind whose amount is invalid is no pause.
Pauses validPauses(int afterAyahKind, int ayahTenths, int ayahLengthPercent, int afterPassTenths);

// An ayah as one stored number, surah * 1000 + ayah (0: none), and back; the number is
// checked against the surah's ayah count.
constexpr int packAyah(AyahRef ayah) {
    return ayah.surah * 1000 + ayah.ayah;
}
AyahRef unpackAyah(int stored, int (*ayahCount)(int surah));

// One recitation of the plan: the ayah, which time in a row (1..K) and which pass (1..).
struct PlayStep {
    AyahRef ayah;
    int repeat = 1;
    int pass = 1;
};

class PlayPlan {
  public:
    // The range between two ayat in reading order (the earlier one first, whichever comes
    // first here); passes as validPasses, repeats as validAyahRepeats.
    PlayPlan(AyahRef a, AyahRef b, int passes, int repeats, int (*ayahCount)(int surah));

    AyahRef first() const { return first_; }
    AyahRef last() const { return last_; }
    bool contains(AyahRef ayah) const;

    // The first step of a reading that starts at `ayah`: its own place in the first pass
    // when it lies in the range, else the range's start.
    PlayStep start(AyahRef ayah) const;
    // The step after `step`; false when the reading has ended (its last pass played).
    bool next(const PlayStep& step, PlayStep* out) const;
    // Whether `step` is the last recitation of its pass.
    bool endsPass(const PlayStep& step) const;

  private:
    AyahRef first_;
    AyahRef last_;
    int passes_;
    int repeats_;
    int (*ayahCount_)(int surah);
};

// How long a recording sounds when played whole at the speed: its frames less the silence
// the encoder and decoder add (the player leaves it out); 0 for no frames.
int soundLengthMs(const Mp3Stream& stream, int speedPercent);

// The silence to leave after a recitation that played for `playedMs`: the ayah's pause,
// and when it ended a pass (and another follows) the pass's pause after it.
int pauseAfterMs(const Pauses& pauses, int playedMs, bool endedPass);

// The status bar during a pause: "Pause: repeat the ayah (3 s)", the seconds rounded up.
bool formatPauseStatus(char* out, size_t size, int remainingMs);
// The status bar at a speed other than 1: "Speed 1.25x"; "" at 1.
bool formatSpeedStatus(char* out, size_t size, int speedPercent);
// Appends the speed to a player's command line (" 1.25"); nothing at 1. False (and the
// command line unchanged) when it does not fit.
bool appendSpeedArgument(char* commandLine, size_t size, int speedPercent);
// The speed one step (0.05) up or down from `percent`, within 0.5..2.0.
int steppedSpeedPercent(int percent, int steps);

#endif
