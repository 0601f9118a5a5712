#include "recitation/memorise_settings_win.h"

#include "recitation/time_stretch.h"
#include "settings/registry_win.h"
#include "text/text_store.h"

namespace {

int readUserDword(const char* name, int defaultValue, const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, name, defaultValue);
}

} // namespace

MemoriseSettings readMemoriseSettings(const SettingsLocation& where) {
    MemoriseSettings s;
    s.rangeFrom = unpackAyah(readUserDword(kRepeatRangeFromValue, 0, where), TextStore::ayahCount);
    s.rangeTo = unpackAyah(readUserDword(kRepeatRangeToValue, 0, where), TextStore::ayahCount);
    s.passes = validPasses(readUserDword(kRepeatRangePassesValue, 1, where));
    s.pauses = validPauses(readUserDword(kPauseAfterAyahValue, 0, where),
                           readUserDword(kPauseAfterAyahTenthsValue, 10, where),
                           readUserDword(kPauseAfterAyahPercentValue, 100, where),
                           readUserDword(kPauseAfterPassTenthsValue, 0, where));
    s.speedPercent = validSpeedPercent(readUserDword(kPlaySpeedPercentValue, 100, where));
    return s;
}

bool writeMemoriseSetting(const char* valueName, int value, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, valueName, value);
}

bool writeRepeatRangeEnd(bool from, AyahRef ayah, const SettingsLocation& where) {
    return writeMemoriseSetting(from ? kRepeatRangeFromValue : kRepeatRangeToValue,
                                ayah.valid() ? packAyah(ayah) : 0, where);
}

bool writePlaySpeed(int percent, const SettingsLocation& where) {
    return writeMemoriseSetting(kPlaySpeedPercentValue, validSpeedPercent(percent), where);
}
