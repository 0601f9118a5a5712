// The settings of a reading for memorising, kept per user under the reader's settings key:
//   RepeatRangeFrom, RepeatRangeTo   the range's ends, surah * 1000 + ayah (0: no range)
//   RepeatRangePasses                1..99 passes, 0 without end (default 1)
//   PauseAfterAyah                   0 none, 1 a fixed time, 2 a multiple of the ayah's length
//   PauseAfterAyahTenths             the fixed time, 5..100 tenths of a second
//   PauseAfterAyahPercent            the multiple, 50..300 hundredths
//   PauseAfterPassTenths             0 none, 5..100 tenths of a second
//   PlaySpeedPercent                 50..200 in steps of 5 (default 100)
// A value outside its range reads as its default; at the defaults the reader reads as it
// always did.
#ifndef NORAVEL_RECITATION_MEMORISE_SETTINGS_WIN_H
#define NORAVEL_RECITATION_MEMORISE_SETTINGS_WIN_H

#include "recitation/play_plan.h"
#include "settings/settings_win.h"

inline constexpr const char* kRepeatRangeFromValue = "RepeatRangeFrom";
inline constexpr const char* kRepeatRangeToValue = "RepeatRangeTo";
inline constexpr const char* kRepeatRangePassesValue = "RepeatRangePasses";
inline constexpr const char* kPauseAfterAyahValue = "PauseAfterAyah";
inline constexpr const char* kPauseAfterAyahTenthsValue = "PauseAfterAyahTenths";
inline constexpr const char* kPauseAfterAyahPercentValue = "PauseAfterAyahPercent";
inline constexpr const char* kPauseAfterPassTenthsValue = "PauseAfterPassTenths";
inline constexpr const char* kPlaySpeedPercentValue = "PlaySpeedPercent";

struct MemoriseSettings {
    AyahRef rangeFrom; // both valid: a range is set
    AyahRef rangeTo;
    int passes = 1;
    Pauses pauses;
    int speedPercent = 100;
    bool hasRange() const { return rangeFrom.valid() && rangeTo.valid(); }
};

MemoriseSettings readMemoriseSettings(const SettingsLocation& where = defaultSettingsLocation());

// Each writes one setting; true when it is stored.
bool writeRepeatRangeEnd(bool from, AyahRef ayah,
                         const SettingsLocation& where = defaultSettingsLocation());
bool writePlaySpeed(int percent, const SettingsLocation& where = defaultSettingsLocation());
bool writeMemoriseSetting(const char* valueName, int value,
                          const SettingsLocation& where = defaultSettingsLocation());

#endif
