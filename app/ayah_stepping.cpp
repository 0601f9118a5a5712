#include "app/ayah_stepping.h"

namespace {

constexpr int kSurahs = 114;

} // namespace

AyahStep stepAyah(int surah, int ayah, int delta, int (*ayahCount)(int surah)) {
    if (delta >= 1) {
        if (ayah >= ayahCount(surah)) {
            const int next = surah + 1 > kSurahs ? 1 : surah + 1;
            return {true, next, 1};
        }
        return {false, surah, ayah + 1};
    }
    // An ayah list without a selection (ayah 0) counts as the start of the surah, so the
    // step never asks for ayah -1.
    if (ayah <= 1) {
        const int previous = surah - 1 < 1 ? kSurahs : surah - 1;
        return {true, previous, ayahCount(previous)};
    }
    return {false, surah, ayah - 1};
}
