// What the Go to dialog accepts: "2:255", "2 255", a surah number alone, or a surah name
// typed in part ("baqa"), optionally followed by an ayah ("baqa 255"); or a page of the
// mushaf, "page 50" or "p50" (any case, blanks allowed), which leads to its first ayah.
#ifndef NORAVEL_APP_GO_TO_INPUT_H
#define NORAVEL_APP_GO_TO_INPUT_H

#include <string>
#include <string_view>

struct GoToTarget {
    bool found = false;
    int surah = 0;
    int ayah = 0;
    int page = 0;        // the page asked for, or 0 when an ayah or a surah was typed
    std::string problem; // what to tell the user when nothing was found
};

// surahName and ayahCount answer for surahs 1..114 (the loaded text store).
GoToTarget parseGoToInput(std::string_view text, const char* (*surahName)(int surah),
                          int (*ayahCount)(int surah));

#endif
