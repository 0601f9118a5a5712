// The command lines of the companion programs, the rule by which a
// continuous recitation follows the file being played, and where the reading goes next.
#include "recitation/recitation_download.h"
#include "recitation/recitation_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char kDirectory[] = "C:\\Program Files\\Noravel Reader";

std::string playerLine(const char* mp3, int startMs, int endMs, bool continuous) {
    char line[1024];
    EXPECT_TRUE(
        formatPlayerCommandLine(line, sizeof line, kDirectory, mp3, startMs, endMs, continuous));
    return line;
}

TEST(PlayerCommandLine, QuotesBothPathsAndCutsMillisecondsToWholeSeconds) {
    char mp3[260];
    ASSERT_TRUE(formatMp3Path(mp3, sizeof mp3, kDirectory, "1_1.mp3"));
    EXPECT_STREQ(mp3, "C:\\Program Files\\Noravel Reader\\mp3\\1_1.mp3");
    EXPECT_EQ(playerLine(mp3, 5000, 11000, false),
              "\"C:\\Program Files\\Noravel Reader\\zemplay.exe\" "
              "\"C:\\Program Files\\Noravel Reader\\mp3\\1_1.mp3\" 5 11");
    EXPECT_EQ(playerLine(mp3, 5000, 11000, true),
              "\"C:\\Program Files\\Noravel Reader\\zemplay.exe\" "
              "\"C:\\Program Files\\Noravel Reader\\mp3\\1_1.mp3\" 5 0");
    EXPECT_EQ(playerLine("x.mp3", 999, 5999, false),
              "\"" + std::string(kDirectory) + "\\zemplay.exe\" \"x.mp3\" 0 5");
    EXPECT_EQ(wholeSeconds(5000), 5);
    EXPECT_EQ(wholeSeconds(999), 0);
    EXPECT_EQ(wholeSeconds(-999), 0);
}

TEST(PlayerCommandLine, TajwidLineEndsInABlank) {
    char line[300];
    ASSERT_TRUE(formatTajwidCommandLine(line, sizeof line, kDirectory));
    EXPECT_STREQ(line, "\"C:\\Program Files\\Noravel Reader\\morvent.exe\" ");
}

TEST(PlayerCommandLine, TextsThatDoNotFitAreRefusedAndLeftEmpty) {
    char small[20] = "junk";
    EXPECT_FALSE(formatPlayerCommandLine(small, sizeof small, kDirectory, "a.mp3", 0, 1000, false));
    EXPECT_STREQ(small, "");
    char path[260];
    const std::string longName(300, 'n');
    EXPECT_FALSE(formatMp3Path(path, sizeof path, kDirectory, longName.c_str()));
    EXPECT_STREQ(path, "");
}

// A made-up timing table: surah 1 in one file ("1_1.mp3") with a gap between ayat 2
// and 3; surah 2 with one file per ayah; surah 3 whose second ayah repeats the first's
// span (the first match must win); surah 4 without ayat.
int testAyahCount(int surah) {
    switch (surah) {
    case 1: return 4;
    case 2: return 2;
    case 3: return 2;
    case 114: return 1;
    default: return 0;
    }
}

Recitation testRecitation(int surah, int ayah) {
    switch (surah) {
    case 1: {
        static const Recitation table[] = {{0, 3000, "1_1.mp3"},
                                           {3000, 6000, "1_1.mp3"},
                                           {7000, 9000, "1_1.mp3"},
                                           {9000, 12000, "1_1.mp3"}};
        return table[ayah - 1];
    }
    case 2: return ayah == 1 ? Recitation{0, 4000, "2_1.mp3"} : Recitation{0, 4000, "2_2.mp3"};
    case 3: return Recitation{0, 5000, "3_1.mp3"};
    case 114: return Recitation{0, 5000, "114_1.mp3"};
    default: return Recitation{0, 0, nullptr};
    }
}

const TimingSource kTiming{testAyahCount, testRecitation};

TEST(FollowingRule, PositionInsideAnAyahSelectsIt) {
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 0, kTiming), 1);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 4500, kTiming), 2);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 11999, kTiming), 4);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\114_1.mp3", 100, kTiming), 1);
    // Both bounds belong to the ayah; at a shared bound the earlier ayah wins.
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 3000, kTiming), 1);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 12000, kTiming), 4);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\3_1.mp3", 2000, kTiming), 1);
}

TEST(FollowingRule, NoAyahBetweenAyatBeyondTheFileOrInAnotherFile) {
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 6500, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", 12001, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.mp3", -1, kTiming), 0);
    // The name must match exactly, case included.
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\1_1.MP3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\2_2.mp3", 100, kTiming), 2);
}

TEST(FollowingRule, NamesWithoutUnderscoreOrAValidSurahAreIgnored) {
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\11.mp3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q_1\\mp3\\1.mp3", 100, kTiming), 0); // "_" only in the folder
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\x_1.mp3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\4_1.mp3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\115_1.mp3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("C:\\Q\\mp3\\99999999999999999999_1.mp3", 100, kTiming), 0);
    EXPECT_EQ(followedAyah("1_1.mp3", 100, kTiming), 1); // a bare name is its own file name
    EXPECT_EQ(followedAyah(nullptr, 100, kTiming), 0);
}

TEST(ContinuousReading, NextAyahThenNextOrSameSurahByScope) {
    const AyahRef within = ayahAfter(2, 5, kScopeSurah, 286);
    EXPECT_EQ(within.surah, 2);
    EXPECT_EQ(within.ayah, 6);
    const AyahRef total = ayahAfter(2, 286, kScopeTotal, 286);
    EXPECT_EQ(total.surah, 3);
    EXPECT_EQ(total.ayah, 1);
    const AyahRef wrap = ayahAfter(114, 6, kScopeTotal, 6);
    EXPECT_EQ(wrap.surah, 1);
    EXPECT_EQ(wrap.ayah, 1);
    const AyahRef same = ayahAfter(114, 6, kScopeSurah, 6);
    EXPECT_EQ(same.surah, 114);
    EXPECT_EQ(same.ayah, 1);
    // No scope selected (-1 + 1 = 0) reads like "Surat".
    EXPECT_EQ(ayahAfter(7, 206, 0, 206).surah, 7);
}

TEST(AyahRecording, NamesAreSurahAndAyahInThreeDigitsEach) {
    char name[16];
    ASSERT_TRUE(formatAyahFileName(name, sizeof name, 2, 255));
    EXPECT_STREQ(name, "002255.mp3");
    ASSERT_TRUE(formatAyahFileName(name, sizeof name, 114, 6));
    EXPECT_STREQ(name, "114006.mp3");
    EXPECT_FALSE(formatAyahFileName(name, sizeof name, 0, 1));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(formatAyahFileName(name, sizeof name, 1, 1000));
    char path[64];
    ASSERT_TRUE(formatAyahFilePath(path, sizeof path, "D:\\Reciter", 1, 7));
    EXPECT_STREQ(path, "D:\\Reciter\\001007.mp3");
    ASSERT_TRUE(formatAyahFilePath(path, sizeof path, "D:\\", 1, 7));
    EXPECT_STREQ(path, "D:\\001007.mp3");
    EXPECT_FALSE(formatAyahFilePath(path, 12, "D:\\Reciter", 1, 7));
}

std::vector<std::string> existing;
std::vector<std::string> asked;
bool fakeExists(const char* path) {
    asked.push_back(path);
    return std::find(existing.begin(), existing.end(), path) != existing.end();
}

TEST(AyahRecording, TheChosenFolderComesBeforeTheMp3FolderBesideTheProgram) {
    char found[300];
    existing = {"E:\\Mine\\002255.mp3", "C:\\Q\\mp3\\002255.mp3", "C:\\Q\\mp3\\001001.mp3"};
    asked.clear();
    ASSERT_TRUE(findAyahRecording(found, sizeof found, "E:\\Mine", "C:\\Q", 2, 255, fakeExists));
    EXPECT_STREQ(found, "E:\\Mine\\002255.mp3");
    ASSERT_TRUE(findAyahRecording(found, sizeof found, "E:\\Mine", "C:\\Q", 1, 1, fakeExists));
    EXPECT_STREQ(found, "C:\\Q\\mp3\\001001.mp3");
    ASSERT_TRUE(findAyahRecording(found, sizeof found, "", "C:\\Q", 2, 255, fakeExists));
    EXPECT_STREQ(found, "C:\\Q\\mp3\\002255.mp3");
    asked.clear();
    EXPECT_FALSE(findAyahRecording(found, sizeof found, "E:\\Mine", "C:\\Q", 3, 3, fakeExists));
    EXPECT_STREQ(found, "");
    const std::vector<std::string> order = {"E:\\Mine\\003003.mp3", "C:\\Q\\mp3\\003003.mp3"};
    EXPECT_EQ(asked, order);
    // A path that does not fit is not looked for (nor half of it).
    asked.clear();
    EXPECT_FALSE(findAyahRecording(found, 16, "E:\\Mine", "C:\\Q", 2, 255, fakeExists));
    EXPECT_TRUE(asked.empty());
}

TEST(ContinuousReading, RepeatsAndTheAyatScopeKeepTheSameAyah) {
    auto next = [](int surah, int ayah, int times, int scope, int repeats, int count) {
        const AyahRef r = ayahToReciteNext(surah, ayah, times, scope, repeats, count);
        return std::to_string(r.surah) + ":" + std::to_string(r.ayah);
    };
    EXPECT_EQ(next(2, 5, 1, kScopeAyah, 1, 286), "2:5");
    EXPECT_EQ(next(2, 5, 40, kScopeAyah, 3, 286), "2:5");
    EXPECT_EQ(next(2, 5, 1, kScopeTotal, 3, 286), "2:5");
    EXPECT_EQ(next(2, 5, 2, kScopeTotal, 3, 286), "2:5");
    EXPECT_EQ(next(2, 5, 3, kScopeTotal, 3, 286), "2:6");
    EXPECT_EQ(next(2, 286, 3, kScopeTotal, 3, 286), "3:1");
    EXPECT_EQ(next(112, 4, 2, kScopeSurah, 2, 4), "112:1");
    EXPECT_EQ(next(2, 5, 1, kScopeTotal, 1, 286), "2:6");
    // A stored count outside 1..20 counts as 1.
    EXPECT_EQ(next(2, 5, 1, kScopeTotal, 21, 286), "2:6");
    EXPECT_EQ(next(2, 5, 1, kScopeTotal, -4, 286), "2:6");
    EXPECT_EQ(validAyahRepeats(20), 20);
    EXPECT_TRUE(followsWholeFile(kScopeTotal, 1));
    EXPECT_FALSE(followsWholeFile(kScopeTotal, 2));
    EXPECT_FALSE(followsWholeFile(kScopeAyah, 1));
}

TEST(PlayerMessages, EachExitCodeSaysWhatWentWrong) {
    char text[600];
    auto say = [&](unsigned long code) {
        EXPECT_TRUE(formatPlayerFailure(text, sizeof text, code, "D:\\R\\001001.mp3"));
        return std::string(text);
    };
    EXPECT_NE(say(kPlayerUnreadableFile).find("could not be read"), std::string::npos);
    EXPECT_NE(say(kPlayerNotMp3).find("not an MP3 file"), std::string::npos);
    EXPECT_NE(say(kPlayerNoAudioOutput).find("no sound output"), std::string::npos);
    const std::string decoder = say(kPlayerNoDecoder);
    EXPECT_NE(decoder.find("MP3 decoder"), std::string::npos);
    EXPECT_NE(decoder.find("Media Feature Pack"), std::string::npos);
    EXPECT_NE(decoder.find("\"N\" editions"), std::string::npos);
    EXPECT_NE(say(kPlayerBadCommandLine).find("did not understand"), std::string::npos);
    EXPECT_NE(say(kPlayerPlaybackFailed).find("could not be played to its end"), std::string::npos);
    EXPECT_NE(say(kPlayerNotReleased).find("never told to play"), std::string::npos);
    EXPECT_NE(say(99).find("exit code 99"), std::string::npos);
    // Every code the player knows has a text of its own, none the unknown code's.
    for (unsigned long code = kPlayerBadCommandLine; code <= kPlayerNotReleased; ++code)
        EXPECT_EQ(say(code).find("exit code"), std::string::npos) << code;
    for (unsigned long code : {2ul, 3ul, 4ul, 7ul, 8ul, 99ul})
        EXPECT_NE(say(code).find("D:\\R\\001001.mp3"), std::string::npos) << code;
    char small[20];
    EXPECT_FALSE(formatPlayerFailure(small, sizeof small, kPlayerNotMp3, "x.mp3"));
    EXPECT_STREQ(small, "");
}

TEST(PlayerMessages, NoRecordingNamesEveryPlaceLookedIn) {
    char text[1200];
    ASSERT_TRUE(formatNoRecording(text, sizeof text, 2, 255, "E:\\Mine\\", "C:\\Q", "2_3.mp3"));
    const std::string said = text;
    EXPECT_NE(said.find("ayah 2:255"), std::string::npos);
    EXPECT_NE(said.find("E:\\Mine\\002255.mp3\n"), std::string::npos) << said;
    EXPECT_NE(said.find("C:\\Q\\mp3\\002255.mp3\n"), std::string::npos) << said;
    EXPECT_NE(said.find("C:\\Q\\mp3\\2_3.mp3\n"), std::string::npos) << said;
    ASSERT_TRUE(formatNoRecording(text, sizeof text, 1, 1, "", "C:\\Q", nullptr));
    EXPECT_EQ(std::string(text).find("E:"), std::string::npos);
    EXPECT_NE(std::string(text).find("Looked for:\nC:\\Q\\mp3\\001001.mp3\n\n"), std::string::npos)
        << text;
    // The last line offers the dialog where a recitation is chosen or downloaded.
    const std::string offer = "\n\nOpen the Recitation dialog to choose the folder or download a "
                              "recitation?";
    EXPECT_EQ(std::string(text).substr(std::strlen(text) - offer.size()), offer);
}

TEST(PlayerMessages, TheStartedEventIsNamedAfterThePlayersProcess) {
    char name[64];
    ASSERT_TRUE(formatPlayerStartedEventName(name, sizeof name, 4242));
    EXPECT_STREQ(name, "Local\\NoravelPlayerStarted-4242");
    ASSERT_TRUE(formatPlayerGoEventName(name, sizeof name, 4242));
    EXPECT_STREQ(name, "Local\\NoravelPlayerGo-4242");
    ASSERT_TRUE(formatPlayerFinishedEventName(name, sizeof name, 4242));
    EXPECT_STREQ(name, "Local\\NoravelPlayerFinished-4242");
    EXPECT_FALSE(formatPlayerFinishedEventName(name, 20, 4242)); // cut short: refused
}

// Listen, Stop, Listen with a player that ends at once: the worker of the stopped playback
// may mark after the newest one's worker. The newest end must stay seen.
TEST(PlaybackMarks, ALateOlderMarkDoesNotHideANewerOne) {
    RisingMark finished;
    finished.raise(2);
    finished.raise(1);
    EXPECT_EQ(finished.value(), 2);
    finished.raise(3);
    EXPECT_EQ(finished.value(), 3);
}

TEST(PlaybackMarks, WorkersMarkingAtOnceLeaveTheHighestNumber) {
    RisingMark finished;
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t)
        workers.emplace_back([&finished, t] {
            for (long long n = t; n < 40000; n += 8)
                finished.raise(40000 - n);
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(finished.value(), 40000);
}

TEST(RecitationDownload, AddressesFillBothPlaceholdersWithThreeDigits) {
    char url[128];
    ASSERT_TRUE(formatRecitationUrl(url, sizeof url,
                                    "https://r.example.org/q/{SSS}{AAA}.mp3?s={SSS}", 2, 7));
    EXPECT_STREQ(url, "https://r.example.org/q/002007.mp3?s=002");
    // Without both placeholders every ayah would fetch the same file.
    EXPECT_FALSE(formatRecitationUrl(url, sizeof url, "https://r.example.org/{SSS}.mp3", 2, 7));
    EXPECT_STREQ(url, "");
    EXPECT_FALSE(formatRecitationUrl(url, sizeof url, "{SSS}{AAA}", 0, 7));
    char small[10];
    EXPECT_FALSE(formatRecitationUrl(small, sizeof small, "http://{SSS}{AAA}", 1, 1));
    EXPECT_STREQ(small, "");
}

TEST(RecitationDownload, RangesListEveryAyahOfTheirSurahsInOrder) {
    const std::vector<AyahOfSurah> two = ayatOfSurahs(1, 2, testAyahCount);
    ASSERT_EQ(two.size(), 6u);
    EXPECT_EQ(two[3].surah, 1);
    EXPECT_EQ(two[3].ayah, 4);
    EXPECT_EQ(two[4].surah, 2);
    EXPECT_EQ(two[4].ayah, 1);
    EXPECT_EQ(ayatOfSurahs(-5, 1, testAyahCount).size(), 4u);
    EXPECT_EQ(ayatOfSurahs(114, 500, testAyahCount).size(), 1u);
    EXPECT_TRUE(ayatOfSurahs(3, 2, testAyahCount).empty());
}

TEST(RecitationDownload, OnlyPassingFailuresAreTriedAgainWithGrowingWaits) {
    for (int status : {0, 408, 429, 500, 502, 503, 504})
        EXPECT_TRUE(isTransientFetchFailure(status)) << status;
    for (int status : {200, 301, 403, 404, 410, 501})
        EXPECT_FALSE(isTransientFetchFailure(status)) << status;
    EXPECT_EQ(retryDelayMs(1), 500);
    EXPECT_EQ(retryDelayMs(2), 1000);
    EXPECT_EQ(retryDelayMs(3), 2000);
    EXPECT_EQ(retryDelayMs(30), 8000);
}

} // namespace
