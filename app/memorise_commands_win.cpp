#include "app/memorise_commands_win.h"

#include "app/reader_window_win.h"
#include "recitation/memorise_settings_win.h"
#include "recitation/play_plan.h"

#include <cstdio>

namespace {

// "Repeat 1:5 to 2:2" in the status bar, or what is missing of the range.
void showRange(ReaderWindow& reader) {
    const MemoriseSettings s = readMemoriseSettings();
    char text[96];
    if (s.hasRange())
        std::snprintf(text, sizeof text, "Repeat %d:%d to %d:%d", s.rangeFrom.surah,
                      s.rangeFrom.ayah, s.rangeTo.surah, s.rangeTo.ayah);
    else if (s.rangeFrom.valid())
        std::snprintf(text, sizeof text, "Repeat from %d:%d (choose where it ends)",
                      s.rangeFrom.surah, s.rangeFrom.ayah);
    else if (s.rangeTo.valid())
        std::snprintf(text, sizeof text, "Repeat to %d:%d (choose where it starts)",
                      s.rangeTo.surah, s.rangeTo.ayah);
    else
        std::snprintf(text, sizeof text, "%s", "");
    reader.setStatusText(1, text);
}

} // namespace

void repeatFromHere(ReaderWindow& reader) {
    writeRepeatRangeEnd(true, reader.shownAyah());
    showRange(reader);
}

void repeatToHere(ReaderWindow& reader) {
    writeRepeatRangeEnd(false, reader.shownAyah());
    showRange(reader);
}

void clearRepeatRange(ReaderWindow& reader) {
    writeRepeatRangeEnd(true, AyahRef{});
    writeRepeatRangeEnd(false, AyahRef{});
    showRange(reader);
}

void stepPlaySpeed(ReaderWindow& reader, int steps) {
    writePlaySpeed(steppedSpeedPercent(readMemoriseSettings().speedPercent, steps));
    char text[64];
    if (formatSpeedStatus(text, sizeof text, readMemoriseSettings().speedPercent))
        reader.setStatusText(1, text);
}
