#include "text/juz.h"

namespace {

// The key (surah * 1000 + ayah) of the last ayah of each juz. No ayah number reaches
// 1000, so keys sort like (surah, ayah). Juz 13 ends at 15:1, as in the printed copies
// this reader follows; juz 25 ends with the last ayah of surah 45.
constexpr int kLastKeyOfJuz[30] = {
    2141,  2252,  3091,  4023,  4147,  5082,  6110,  7087,  8040,  9093,
    11005, 12052, 15001, 16128, 18074, 20135, 22078, 25020, 27059, 29044,
    33030, 36021, 39031, 41046, 45037, 51030, 57029, 66012, 77050, 114006,
};

} // namespace

int juzOf(int surah, int ayah) {
    // Computed in a wider type so that absurd arguments cannot overflow.
    const long long key = static_cast<long long>(surah) * 1000 + ayah;
    for (int juz = 0; juz < 30; ++juz) {
        if (kLastKeyOfJuz[juz] >= key) return juz + 1;
    }
    return 0;
}
