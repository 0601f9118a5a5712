// The built-in reciters, the choice in force, where a reciter's files come from and go, and
// the order in which a Listen needs its files.
#include "recitation/listen_ahead.h"
#include "recitation/recitation_rules.h"
#include "recitation/reciter_catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

int ayahCountOf(int surah) {
    switch (surah) {
    case 1: return 7;
    case 2: return 286;
    case 8: return 75;
    case 9: return 129;
    case 113: return 5;
    case 114: return 6;
    default: return surah >= 1 && surah <= 114 ? 10 : 0;
    }
}

std::string files(const std::vector<AyahOfSurah>& list) {
    std::string text;
    for (const AyahOfSurah& file : list)
        text += (text.empty() ? "" : " ") + std::to_string(file.surah) + ":" +
                std::to_string(file.ayah);
    return text;
}

TEST(ReciterCatalogue, HoldsTheNamedFoldersOnceEachWithUsableNames) {
    size_t count = 0;
    const Reciter* reciters = builtInReciters(&count);
    EXPECT_GE(count, 20u);
    std::set<std::string> folders;
    for (size_t i = 0; i < count; ++i) {
        const Reciter& reciter = reciters[i];
        EXPECT_TRUE(folders.insert(reciter.folder).second) << reciter.folder;
        // A folder name becomes a folder on disk and a part of an address.
        EXPECT_EQ(std::strpbrk(reciter.folder, "\\/:*?\"<>| "), nullptr) << reciter.folder;
        EXPECT_GT(reciter.bitrateKbps, 0);
        EXPECT_GT(std::strlen(reciter.latinName), 0u);
        EXPECT_EQ(findReciter(reciter.folder), &reciter);
    }
    for (const char* named :
         {"Alafasy_128kbps", "Husary_128kbps", "Abdul_Basit_Murattal_192kbps",
          "Minshawy_Murattal_128kbps", "Abdurrahmaan_As-Sudais_192kbps",
          "Saood_ash-Shuraym_128kbps", "MaherAlMuaiqly128kbps", "Muhammad_Ayyoub_128kbps"})
        EXPECT_EQ(folders.count(named), 1u) << named;
    EXPECT_EQ(std::string(reciters[0].folder), kDefaultReciterFolder);
    EXPECT_EQ(findReciter("alafasy_128kbps"), nullptr); // names are exact
    EXPECT_EQ(findReciter(nullptr), nullptr);
}

TEST(ReciterCatalogue, ChoiceInForceKeepsAnEarlierTypedAddressAndElseTheDefault) {
    EXPECT_STREQ(reciterChoiceInForce("", ""), "Alafasy_128kbps");
    EXPECT_STREQ(reciterChoiceInForce(nullptr, nullptr), "Alafasy_128kbps");
    EXPECT_STREQ(reciterChoiceInForce("Husary_128kbps", "http://x/{SSS}{AAA}.mp3"),
                 "Husary_128kbps");
    // A user who downloaded from his own address before keeps it.
    EXPECT_STREQ(reciterChoiceInForce("", "http://x/{SSS}{AAA}.mp3"), kOtherAddressChoice);
    EXPECT_STREQ(reciterChoiceInForce(kOtherAddressChoice, ""), kOtherAddressChoice);
    // A name no longer built in is not a folder to make.
    EXPECT_STREQ(reciterChoiceInForce("..\\..\\Windows", "http://x/{SSS}{AAA}.mp3"),
                 "Alafasy_128kbps");
}

TEST(ReciterCatalogue, TemplatesAndFoldersJoinWithOneSeparator) {
    char out[256];
    ASSERT_TRUE(formatReciterTemplate(out, sizeof out, nullptr, "Alafasy_128kbps"));
    EXPECT_STREQ(out, "https://everyayah.com/data/Alafasy_128kbps/{SSS}{AAA}.mp3");
    ASSERT_TRUE(
        formatReciterTemplate(out, sizeof out, "http://127.0.0.1:8080/data", "Husary_128kbps"));
    EXPECT_STREQ(out, "http://127.0.0.1:8080/data/Husary_128kbps/{SSS}{AAA}.mp3");
    ASSERT_TRUE(formatReciterTemplate(out, sizeof out, "http://m/d/", "Husary_128kbps"));
    EXPECT_STREQ(out, "http://m/d/Husary_128kbps/{SSS}{AAA}.mp3");
    EXPECT_FALSE(formatReciterTemplate(out, sizeof out, "http://m/", "Nobody_1kbps"));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(formatReciterTemplate(out, 20, "http://m/", "Husary_128kbps"));
    EXPECT_STREQ(out, "");

    ASSERT_TRUE(formatReciterFolderPath(out, sizeof out, "C:\\Rec", "Alafasy_128kbps"));
    EXPECT_STREQ(out, "C:\\Rec\\Alafasy_128kbps");
    ASSERT_TRUE(formatReciterFolderPath(out, sizeof out, "C:\\", "Alafasy_128kbps"));
    EXPECT_STREQ(out, "C:\\Alafasy_128kbps");
    EXPECT_FALSE(formatReciterFolderPath(out, sizeof out, "", "Alafasy_128kbps"));
}

TEST(ReciterCatalogue, ListLinesAndSizesOnDisk) {
    char out[200];
    const Reciter* husary = findReciter("Husary_128kbps_Mujawwad");
    ASSERT_NE(husary, nullptr);
    ASSERT_TRUE(formatReciterLine(out, sizeof out, *husary));
    EXPECT_STREQ(out, "Mahmoud Khalil Al-Husary (محمود خليل الحصري), mujawwad, 128 kbps");
    const Reciter plain{"X_1kbps", "X", "", RecitationStyle::Muallim, 32};
    ASSERT_TRUE(formatReciterLine(out, sizeof out, plain));
    EXPECT_STREQ(out, "X, muallim, 32 kbps");
    ASSERT_TRUE(formatReciterStyle(out, sizeof out, *husary));
    EXPECT_STREQ(out, "mujawwad, 128 kbps");

    ASSERT_TRUE(formatReciterOnDisk(out, sizeof out, 0, 0));
    EXPECT_STREQ(out, "0 ayat, 0 KB");
    ASSERT_TRUE(formatReciterOnDisk(out, sizeof out, 1, 1500));
    EXPECT_STREQ(out, "1 ayah, 2 KB");
    ASSERT_TRUE(formatReciterOnDisk(out, sizeof out, 286, 3u * 1024 * 1024 + 512 * 1024));
    EXPECT_STREQ(out, "286 ayat, 3.5 MB");
}

TEST(ListenAhead, TheBasmalaComesBeforeAyahOneButNotForSurahOneOrNineOrARepeat) {
    EXPECT_TRUE(beginsWithBasmala(2, 1, 0));
    EXPECT_TRUE(beginsWithBasmala(114, 1, 0));
    EXPECT_FALSE(beginsWithBasmala(2, 1, 1)); // a repeat of ayah 1
    EXPECT_FALSE(beginsWithBasmala(1, 1, 0));
    EXPECT_FALSE(beginsWithBasmala(9, 1, 0));
    EXPECT_FALSE(beginsWithBasmala(2, 2, 0));
}

TEST(ListenAhead, FilesComeInTheOrderTheyArePlayed) {
    EXPECT_EQ(files(filesInPlayOrder(2, 1, 0, true, kScopeSurah, 5, ayahCountOf)),
              "1:1 2:1 2:2 2:3 2:4");
    EXPECT_EQ(files(filesInPlayOrder(2, 1, 0, false, kScopeSurah, 5, ayahCountOf)), "1:1 2:1");
    EXPECT_EQ(files(filesInPlayOrder(2, 1, 2, true, kScopeSurah, 3, ayahCountOf)), "2:1 2:2 2:3");
    EXPECT_EQ(files(filesInPlayOrder(1, 6, 0, true, kScopeSurah, 5, ayahCountOf)),
              "1:6 1:7 1:1 1:2 1:3");
    // The whole Quran goes on into the next surah, its basmala first; 9 has none.
    EXPECT_EQ(files(filesInPlayOrder(113, 5, 0, true, kScopeTotal, 4, ayahCountOf)),
              "113:5 1:1 114:1 114:2");
    EXPECT_EQ(files(filesInPlayOrder(8, 75, 0, true, kScopeTotal, 3, ayahCountOf)), "8:75 9:1 9:2");
    // The same ayah again is one file; a short surah read round is each file once.
    EXPECT_EQ(files(filesInPlayOrder(2, 5, 0, true, kScopeAyah, 5, ayahCountOf)), "2:5");
    EXPECT_EQ(files(filesInPlayOrder(1, 1, 0, true, kScopeSurah, 50, ayahCountOf)),
              "1:1 1:2 1:3 1:4 1:5 1:6 1:7");
    EXPECT_EQ(files(filesInPlayOrder(3, 1, 0, true, kScopeSurah, 1, ayahCountOf)), "1:1");
    EXPECT_TRUE(filesInPlayOrder(2, 287, 0, true, kScopeSurah, 5, ayahCountOf).empty());
    EXPECT_TRUE(filesInPlayOrder(115, 1, 0, true, kScopeSurah, 5, ayahCountOf).empty());
}

TEST(DownloadConnections, AreBoundedAndMovesBackOff) {
    EXPECT_EQ(validDownloadConnections(0), 1);
    EXPECT_EQ(validDownloadConnections(4), 4);
    EXPECT_EQ(validDownloadConnections(9), kMaxDownloadConnections);
    EXPECT_EQ(moveRetryDelayMs(1), 100);
    EXPECT_EQ(moveRetryDelayMs(3), 400);
    EXPECT_EQ(moveRetryDelayMs(40), 1600);
}

} // namespace
