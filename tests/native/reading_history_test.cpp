// The reading history: order, repeats, thinning at 500, packing and running out of memory.
#include "text/reading_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using Ayah = std::pair<int, int>;

std::vector<Ayah> oldestFirst(const ReadingHistory& history) {
    std::vector<Ayah> ayat;
    for (int i = 0; i < history.size(); ++i) {
        const uint32_t entry = history.oldest(i);
        ayat.emplace_back(ReadingHistory::surahOf(entry), ReadingHistory::ayahOf(entry));
    }
    return ayat;
}

// Ayah number n (0-based) of a run of distinct ayat: surahs 1..10, ayat 1..100.
Ayah distinct(int n) {
    return {n / 100 + 1, n % 100 + 1};
}

TEST(ReadingHistory, ARepeatMovesToTheNewestPlace) {
    ReadingHistory history;
    EXPECT_EQ(history.add(1, 1), 1);
    EXPECT_EQ(history.add(2, 5), 2);
    EXPECT_EQ(history.add(1, 1), 2);
    EXPECT_EQ(oldestFirst(history), (std::vector<Ayah>{{2, 5}, {1, 1}}));
    EXPECT_EQ(ReadingHistory::surahOf(history.newest(0)), 1);
    EXPECT_EQ(ReadingHistory::surahOf(history.newest(1)), 2);
}

TEST(ReadingHistory, ShowingTheSameAyahTwiceKeepsOneEntry) {
    ReadingHistory history;
    history.add(3, 7);
    EXPECT_EQ(history.add(3, 7), 1);
}

TEST(ReadingHistory, EntriesPackTheAyahHighAndTheSurahLow) {
    EXPECT_EQ(ReadingHistory::pack(2, 255), 255u * 65536u + 2u);
    ReadingHistory history;
    history.add(2, 255);
    EXPECT_EQ(history.newest(0), 255u * 65536u + 2u);
    // Both halves are cut to 16 bits.
    EXPECT_EQ(ReadingHistory::pack(0x10002, 0x10003), 0x00030002u);
}

TEST(ReadingHistory, CapacityDoublesFromOneUpTo512) {
    ReadingHistory history;
    EXPECT_EQ(history.capacity(), 0);
    std::vector<int> capacities;
    for (int n = 0; n < 500; ++n) {
        const Ayah a = distinct(n);
        history.add(a.first, a.second);
        if (capacities.empty() || capacities.back() != history.capacity())
            capacities.push_back(history.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 8, 16, 32, 64, 128, 256, 512}));
}

TEST(ReadingHistory, OneMoreAfter500KeepsEverySecondAndTheNewOne) {
    ReadingHistory history;
    for (int n = 0; n < 500; ++n) {
        const Ayah a = distinct(n);
        ASSERT_EQ(history.add(a.first, a.second), n + 1);
    }
    EXPECT_EQ(history.add(50, 50), 251);
    const std::vector<Ayah> ayat = oldestFirst(history);
    ASSERT_EQ(ayat.size(), 251u);
    // The 2nd, 4th, ..., 500th of the earlier ones (counting the oldest as the 1st).
    for (int k = 0; k < 250; ++k)
        EXPECT_EQ(ayat[k], distinct(2 * k + 1)) << "place " << k;
    EXPECT_EQ(ayat.back(), Ayah(50, 50));
    EXPECT_EQ(history.capacity(), 512);
}

TEST(ReadingHistory, ARepeatAtTheLimitEndsUpOnceAtTheNewestPlace) {
    // Kept by the thinning (an even place, the 2nd): 250 stay, the repeat moves to the end.
    ReadingHistory kept;
    for (int n = 0; n < 500; ++n)
        kept.add(distinct(n).first, distinct(n).second);
    EXPECT_EQ(kept.add(distinct(1).first, distinct(1).second), 250);
    std::vector<Ayah> ayat = oldestFirst(kept);
    EXPECT_EQ(ayat.back(), distinct(1));
    EXPECT_EQ(std::count(ayat.begin(), ayat.end(), distinct(1)), 1);
    EXPECT_EQ(ayat.front(), distinct(3));

    // Removed by the thinning (the 1st): 250 stay and the new entry makes 251.
    ReadingHistory thinned;
    for (int n = 0; n < 500; ++n)
        thinned.add(distinct(n).first, distinct(n).second);
    EXPECT_EQ(thinned.add(distinct(0).first, distinct(0).second), 251);
    ayat = oldestFirst(thinned);
    EXPECT_EQ(ayat.back(), distinct(0));
    EXPECT_EQ(std::count(ayat.begin(), ayat.end(), distinct(0)), 1);
}

void* refuse(void*, std::size_t) {
    return nullptr;
}

TEST(ReadingHistory, RunningOutOfMemoryDropsOnlyTheNewAyah) {
    ReadingHistory history;
    history.add(1, 1);
    history.add(1, 2); // capacity 2, full
    history.setReallocate(refuse);
    EXPECT_EQ(history.add(1, 3), 0);
    EXPECT_EQ(oldestFirst(history), (std::vector<Ayah>{{1, 1}, {1, 2}}));
    // A repeat needs no room: it is removed and appended again into the freed place.
    EXPECT_EQ(history.add(1, 1), 2);
    EXPECT_EQ(oldestFirst(history), (std::vector<Ayah>{{1, 2}, {1, 1}}));
    history.setReallocate(nullptr);
    EXPECT_EQ(history.add(1, 3), 3);
    EXPECT_EQ(history.capacity(), 4);
}

TEST(ReadingHistory, TheFirstAllocationFailingLeavesAnEmptyHistory) {
    ReadingHistory history;
    history.setReallocate(refuse);
    EXPECT_EQ(history.add(1, 1), 0);
    EXPECT_EQ(history.size(), 0);
    EXPECT_EQ(history.capacity(), 0);
}

} // namespace
