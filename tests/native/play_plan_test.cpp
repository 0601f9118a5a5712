#include "recitation/play_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int ayatOf(int surah) {
    return surah == 1 ? 7 : surah == 2 ? 286 : surah >= 3 && surah <= 114 ? 10 : 0;
}

std::string name(AyahRef a) {
    return std::to_string(a.surah) + ":" + std::to_string(a.ayah);
}

// The ayat of a whole reading from `start`, at most `limit` of them.
std::vector<std::string> reading(const PlayPlan& plan, AyahRef start, size_t limit = 1000) {
    std::vector<std::string> played;
    PlayStep step = plan.start(start);
    do
        played.push_back(name(step.ayah));
    while (played.size() < limit && plan.next(step, &step));
    return played;
}

TEST(PlayPlan, PlaysTheRangeAcrossSurahsEachAyahKTimesForNPasses) {
    const PlayPlan plan({1, 5}, {2, 2}, 2, 2, ayatOf);
    const std::vector<std::string> pass = {"1:5", "1:5", "1:6", "1:6", "1:7",
                                           "1:7", "2:1", "2:1", "2:2", "2:2"};
    std::vector<std::string> twice = pass;
    twice.insert(twice.end(), pass.begin(), pass.end());
    EXPECT_EQ(reading(plan, {1, 5}), twice);
    // Its ends given the other way round make the same range; a reading started outside it
    // starts at its beginning, one started inside it where it was started.
    EXPECT_EQ(reading(PlayPlan({2, 2}, {1, 5}, 2, 2, ayatOf), {1, 5}), twice);
    EXPECT_EQ(reading(plan, {3, 1}), twice);
    std::vector<std::string> fromInside(pass.begin() + 6, pass.end());
    fromInside.insert(fromInside.end(), pass.begin(), pass.end());
    EXPECT_EQ(reading(plan, {2, 1}), fromInside);
}

TEST(PlayPlan, CountsRepeatsAndPassesAndKnowsWhereAPassEnds) {
    const PlayPlan plan({2, 255}, {2, 255}, 3, 2, ayatOf);
    PlayStep step = plan.start({2, 255});
    std::vector<std::string> seen;
    do
        seen.push_back(std::to_string(step.pass) + "." + std::to_string(step.repeat) +
                       (plan.endsPass(step) ? " end" : ""));
    while (plan.next(step, &step));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"1.1", "1.2 end", "2.1", "2.2 end", "3.1", "3.2 end"}));
}

TEST(PlayPlan, AnEndlessRangeGoesOnAndStoredNumbersOutOfRangeCountAsDefaults) {
    const PlayPlan endless({114, 9}, {114, 10}, kEndlessPasses, 1, ayatOf);
    PlayStep step = endless.start({114, 9});
    for (int k = 0; k < 1000; ++k)
        ASSERT_TRUE(endless.next(step, &step));
    EXPECT_EQ(step.pass, 501);
    // 100 passes or 0 repeats stored: one pass, once each.
    EXPECT_EQ(reading(PlayPlan({1, 6}, {1, 7}, 100, 0, ayatOf), {1, 6}),
              (std::vector<std::string>{"1:6", "1:7"}));
    EXPECT_EQ(name(unpackAyah(2255, ayatOf)), "2:255");
    EXPECT_FALSE(unpackAyah(1008, ayatOf).valid());
    EXPECT_FALSE(unpackAyah(115001, ayatOf).valid());
    EXPECT_FALSE(unpackAyah(-2001, ayatOf).valid());
    EXPECT_EQ(packAyah({2, 255}), 2255);
}

TEST(PlayPlan, PausesAreFixedOrAMultipleOfThePlayedLengthWithThePassPauseAfterAPass) {
    const Pauses fixed = validPauses(1, 10, 0, 30);
    EXPECT_EQ(pauseAfterMs(fixed, 2345, false), 1000);
    EXPECT_EQ(pauseAfterMs(fixed, 2345, true), 4000);
    const Pauses multiple = validPauses(2, 0, 150, 0);
    EXPECT_EQ(pauseAfterMs(multiple, 2000, false), 3000);
    EXPECT_EQ(pauseAfterMs(multiple, 2000, true), 3000);
    // The defaults and values outside 0.5..10 s or 0.5..3 times leave no pause at all.
    for (const Pauses& none : {Pauses{}, validPauses(1, 4, 100, 101), validPauses(2, 10, 301, 0),
                               validPauses(7, 10, 100, 0)})
        EXPECT_EQ(pauseAfterMs(none, 2000, true), 0);
}

TEST(PlayPlan, ARecordingSoundsItsFramesLessTheEncodersSilenceDividedByTheSpeed) {
    Mp3Stream stream;
    EXPECT_EQ(soundLengthMs(stream, 100), 0);
    stream.sampleRate = 44100;
    stream.samplesPerFrame = 1152;
    stream.frames.assign(100, Mp3Frame{0, 417});
    const int silence = stream.leadingSilenceSamples() + stream.trailingSilenceSamples();
    const int whole = static_cast<int>((115200LL - silence) * 1000 / 44100);
    EXPECT_EQ(soundLengthMs(stream, 100), whole);
    EXPECT_EQ(soundLengthMs(stream, 200), whole / 2);
    EXPECT_NEAR(soundLengthMs(stream, 75), whole * 4 / 3, 1);
}

TEST(PlayPlan, TheSpeedGoesOnThePlayersCommandLineAndInTheStatusBarOnlyWhenNotOne) {
    char line[64] = "\"zemplay.exe\" \"a.mp3\" 0 0";
    ASSERT_TRUE(appendSpeedArgument(line, sizeof line, 100));
    EXPECT_STREQ(line, "\"zemplay.exe\" \"a.mp3\" 0 0");
    ASSERT_TRUE(appendSpeedArgument(line, sizeof line, 75));
    EXPECT_STREQ(line, "\"zemplay.exe\" \"a.mp3\" 0 0 0.75");
    char tight[8] = "abcdef";
    EXPECT_FALSE(appendSpeedArgument(tight, sizeof tight, 150));
    EXPECT_STREQ(tight, "abcdef");
    char status[32];
    ASSERT_TRUE(formatSpeedStatus(status, sizeof status, 125));
    EXPECT_STREQ(status, "Speed 1.25x");
    ASSERT_TRUE(formatSpeedStatus(status, sizeof status, 100));
    EXPECT_STREQ(status, "");
    ASSERT_TRUE(formatPauseStatus(status, sizeof status, 2001));
    EXPECT_STREQ(status, "Pause: repeat the ayah (3 s)");
    EXPECT_EQ(steppedSpeedPercent(100, 1), 105);
    EXPECT_EQ(steppedSpeedPercent(200, 1), 200);
    EXPECT_EQ(steppedSpeedPercent(50, -1), 50);
    EXPECT_EQ(steppedSpeedPercent(999, -1), 95); // a stored value out of range counts as 1
}

} // namespace
