// What a step of the up-down control does: the next or the previous ayah, moving into the
// neighbouring surah at either end and wrapping between 114 and 1.
#ifndef NORAVEL_APP_AYAH_STEPPING_H
#define NORAVEL_APP_AYAH_STEPPING_H

struct AyahStep {
    // true: a jump into another surah (both lists are set: selectAyah); false: a move
    // within the surah (the ayah list selection moves and the ayah is shown: showAyah).
    bool changesSurah;
    int surah;
    int ayah;
};

// surah, ayah: the current ayah (the lists' selections + 1); delta: the step the control
// proposes, of which only the sign counts (1 or more: next ayah; 0 or less: previous);
// ayahCount: the number of ayat of a surah.
AyahStep stepAyah(int surah, int ayah, int delta, int (*ayahCount)(int surah));

#endif
