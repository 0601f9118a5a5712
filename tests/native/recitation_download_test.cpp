// The portable side of downloading a recitation: which names in a folder are ayat, the
// reason each failed file is shown with, which failures are tried again, and the texts
// of the dialog's progress and summary.
#include "recitation/recitation_download.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Al-Fatihah has 7 ayat, Al-Baqarah 286; the other surahs 3 here.
int ayahCount(int surah) {
    return surah == 1 ? 7 : surah == 2 ? 286 : 3;
}

TEST(AyahFileName, TakesExistingAyatInAnyCaseOfTheExtension) {
    AyahOfSurah found{};
    ASSERT_TRUE(parseAyahFileName("002255.mp3", ayahCount, &found));
    EXPECT_EQ(found.surah, 2);
    EXPECT_EQ(found.ayah, 255);
    EXPECT_TRUE(parseAyahFileName("001007.MP3", ayahCount, nullptr));
    EXPECT_TRUE(parseAyahFileName("114003.Mp3", ayahCount, nullptr));
}

TEST(AyahFileName, RefusesAyatThatDoNotExistAndOtherNames) {
    for (const char* name : {"001008.mp3", "002287.mp3", "115001.mp3", "000001.mp3", "001000.mp3",
                             "2255.mp3", "0022550.mp3", "002255.mp3.part", "002255.mp4",
                             "00225a.mp3", "002255.mp3 ", "", "002255"})
        EXPECT_FALSE(parseAyahFileName(name, ayahCount, nullptr)) << name;
    EXPECT_FALSE(parseAyahFileName(nullptr, ayahCount, nullptr));
}

TEST(PartialAyahFileName, IsTheAyahNameWithPartAndOnlyThat) {
    char name[32];
    ASSERT_TRUE(formatPartialAyahFileName(name, sizeof name, 2, 255));
    EXPECT_STREQ(name, "002255.mp3.part");
    EXPECT_TRUE(isPartialAyahFileName(name));
    EXPECT_TRUE(isPartialAyahFileName("001001.MP3.PART"));
    EXPECT_FALSE(isPartialAyahFileName("002255.mp3"));
    EXPECT_FALSE(isPartialAyahFileName("notes.mp3.part"));
    EXPECT_FALSE(isPartialAyahFileName("002255.mp3.part.txt"));
    // A name that does not fit leaves nothing half written.
    EXPECT_FALSE(formatPartialAyahFileName(name, 10, 2, 255));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(formatPartialAyahFileName(name, sizeof name, 0, 1));
}

TEST(RetriedFetch, OnlyPassingFailuresAreTriedAgain) {
    const auto status = [](int code) {
        FetchResult r;
        r.outcome = FetchOutcome::HttpStatus;
        r.httpStatus = code;
        return r;
    };
    const auto outcome = [](FetchOutcome o) {
        FetchResult r;
        r.outcome = o;
        return r;
    };
    EXPECT_TRUE(isRetriedFetch(status(503)));
    EXPECT_TRUE(isRetriedFetch(status(429)));
    EXPECT_FALSE(isRetriedFetch(status(404)));
    EXPECT_FALSE(isRetriedFetch(status(403)));
    EXPECT_TRUE(isRetriedFetch(outcome(FetchOutcome::CutShort)));
    EXPECT_TRUE(isRetriedFetch(outcome(FetchOutcome::TimedOut)));
    EXPECT_TRUE(isRetriedFetch(outcome(FetchOutcome::Refused)));
    for (FetchOutcome o :
         {FetchOutcome::Saved, FetchOutcome::Html, FetchOutcome::NotMp3, FetchOutcome::Empty,
          FetchOutcome::TooLarge, FetchOutcome::HostUnknown, FetchOutcome::WriteFailed,
          FetchOutcome::BadAddress, FetchOutcome::Cancelled})
        EXPECT_FALSE(isRetriedFetch(outcome(o))) << static_cast<int>(o);
}

std::string failure(int surah, int ayah, FetchOutcome o, int status = 0, unsigned long error = 0) {
    FetchResult r;
    r.outcome = o;
    r.httpStatus = status;
    r.systemError = error;
    char text[128];
    EXPECT_TRUE(formatFetchFailure(text, sizeof text, surah, ayah, r));
    return text;
}

TEST(FetchFailure, NamesTheFileAndTheReason) {
    EXPECT_EQ(failure(2, 255, FetchOutcome::HttpStatus, 404), "002255.mp3: HTTP 404");
    EXPECT_EQ(failure(1, 4, FetchOutcome::Html), "001004.mp3: not MP3 (an HTML page)");
    EXPECT_EQ(failure(1, 5, FetchOutcome::CutShort), "001005.mp3: cut short");
    EXPECT_EQ(failure(1, 1, FetchOutcome::Refused), "001001.mp3: connection refused");
    EXPECT_EQ(failure(1, 6, FetchOutcome::Cancelled), "001006.mp3: cancelled");
    EXPECT_EQ(failure(1, 2, FetchOutcome::TooLarge), "001002.mp3: larger than 20 MB");
    EXPECT_EQ(failure(1, 3, FetchOutcome::WriteFailed, 0, 112),
              "001003.mp3: could not be written (error 112)");
    char small[12];
    FetchResult r;
    r.outcome = FetchOutcome::Html;
    EXPECT_FALSE(formatFetchFailure(small, sizeof small, 1, 4, r));
    EXPECT_STREQ(small, "");
}

TEST(DownloadTexts, ProgressCountSummary) {
    char text[96];
    ASSERT_TRUE(formatDownloadProgress(text, sizeof text, 12, 286, 1500000));
    EXPECT_STREQ(text, "File 12 of 286, 1.4 MB");
    ASSERT_TRUE(formatDownloadProgress(text, sizeof text, 1, 7, 1048575));
    EXPECT_STREQ(text, "File 1 of 7, 1024 KB");
    ASSERT_TRUE(formatDownloadProgress(text, sizeof text, 1, 7, 0));
    EXPECT_STREQ(text, "File 1 of 7, 0 KB");
    ASSERT_TRUE(formatAyahFileCount(text, sizeof text, 286));
    EXPECT_STREQ(text, "286 of 6236 ayat");
    ASSERT_TRUE(formatDownloadSummary(text, sizeof text, 3, 2, 1, false));
    EXPECT_STREQ(text, "Done: 3, skipped: 2, failed: 1.");
    ASSERT_TRUE(formatDownloadSummary(text, sizeof text, 0, 0, 1, true));
    EXPECT_STREQ(text, "Done: 0, skipped: 0, failed: 1. Cancelled.");
}

} // namespace
