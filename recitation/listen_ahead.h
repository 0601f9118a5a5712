// Which files a Listen needs and in what order they are played, so that the ones missing
// on disk can be fetched in that order while the first plays.
#ifndef NORAVEL_RECITATION_LISTEN_AHEAD_H
#define NORAVEL_RECITATION_LISTEN_AHEAD_H

#include "recitation/recitation_download.h"

#include <vector>

// Whether reciting (surah, ayah) begins with the basmala: ayah 1 of any surah but 1 (whose
// first ayah is the basmala) and 9 (which has none), and not when that ayah is being
// repeated (`recitedTimes` > 0 counts the recitations of it just before this one).
constexpr bool beginsWithBasmala(int surah, int ayah, int recitedTimes) {
    return ayah == 1 && surah != 1 && surah != 9 && recitedTimes == 0;
}
// The basmala is the reciter's file of 1:1.
constexpr AyahOfSurah kBasmalaFile = {1, 1};

// How many files a Listen fetches beyond the one it plays first.
constexpr int kFilesAhead = 4;

// The files of a reading that starts at (surah, ayah), in the order they are played: the
// basmala first where it belongs, the ayah, and with `continuous` the ayat after it as the
// scope takes them (each once; a repeat is the same file), until `count` files or the
// reading comes back to its start. Surahs and ayat out of range give nothing.
std::vector<AyahOfSurah> filesInPlayOrder(int surah, int ayah, int recitedTimes, bool continuous,
                                          int scope, int count, int (*ayahCount)(int surah));

#endif
