// The juz of an ayah: every boundary of the table, the ends and the mended juz 25.
#include "text/juz.h"

#include <gtest/gtest.h>

namespace {

struct Boundary {
    int surah;
    int ayah; // the last ayah of the juz
    int nextSurah;
    int nextAyah; // the first ayah of the next juz
};

// The last ayah of juz 1..29 and the first ayah of the juz after it.
const Boundary kBoundaries[29] = {
    {2, 141, 2, 142}, {2, 252, 2, 253}, {3, 91, 3, 92},   {4, 23, 4, 24},   {4, 147, 4, 148},
    {5, 82, 5, 83},   {6, 110, 6, 111}, {7, 87, 7, 88},   {8, 40, 8, 41},   {9, 93, 9, 94},
    {11, 5, 11, 6},   {12, 52, 12, 53}, {15, 1, 15, 2},   {16, 128, 17, 1}, {18, 74, 18, 75},
    {20, 135, 21, 1}, {22, 78, 23, 1},  {25, 20, 25, 21}, {27, 59, 27, 60}, {29, 44, 29, 45},
    {33, 30, 33, 31}, {36, 21, 36, 22}, {39, 31, 39, 32}, {41, 46, 41, 47}, {45, 37, 46, 1},
    {51, 30, 51, 31}, {57, 29, 58, 1},  {66, 12, 67, 1},  {77, 50, 78, 1},
};

TEST(JuzLookup, EveryBoundaryEndsOneJuzAndTheNextAyahBeginsTheNext) {
    for (int juz = 1; juz <= 29; ++juz) {
        const Boundary& b = kBoundaries[juz - 1];
        EXPECT_EQ(juzOf(b.surah, b.ayah), juz) << b.surah << ":" << b.ayah;
        EXPECT_EQ(juzOf(b.nextSurah, b.nextAyah), juz + 1) << b.nextSurah << ":" << b.nextAyah;
    }
}

TEST(JuzLookup, SurahFortySixBelongsToJuz26NotJuz25) {
    EXPECT_EQ(juzOf(45, 37), 25);
    EXPECT_EQ(juzOf(46, 1), 26);
    EXPECT_EQ(juzOf(46, 35), 26);
    EXPECT_EQ(juzOf(47, 1), 26);
}

TEST(JuzLookup, FirstAndLastAyatAndNumbersOutsideTheQuran) {
    EXPECT_EQ(juzOf(1, 1), 1);
    EXPECT_EQ(juzOf(114, 6), 30);
    EXPECT_EQ(juzOf(114, 7), 0);
    EXPECT_EQ(juzOf(115, 1), 0);
    // No lower bound: everything before 2:142 is juz 1.
    EXPECT_EQ(juzOf(0, 5), 1);
    EXPECT_EQ(juzOf(-3, 1), 1);
    // Absurd numbers do not overflow into a small key.
    EXPECT_EQ(juzOf(2147483647, 2147483647), 0);
    EXPECT_EQ(juzOf(-2147483647 - 1, 1), 1);
}

} // namespace
