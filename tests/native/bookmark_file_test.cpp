// The bookmark file: its lines read back into the bookmarks that were written, and lines
// that do not read are handed back whole instead of vanishing.
#include "app/bookmark_file.h"

#include <gtest/gtest.h>

namespace {

// Surah 1 has 7 ayat, surah 2 has 286, every other surah 10 (enough for these tests).
int ayahCount(int surah) {
    return surah == 1 ? 7 : surah == 2 ? 286 : 10;
}

Bookmark bookmark(int surah, int ayah, const char* when, const char* note) {
    Bookmark b;
    b.surah = surah;
    b.ayah = ayah;
    b.when = when;
    b.note = note;
    return b;
}

TEST(BookmarkFile, LinesBeginWithTheAyahAndReadBackToTheSameBookmarks) {
    const std::vector<Bookmark> written = {
        bookmark(2, 255, "2026-12-07 17:36:05", ""),
        bookmark(1, 7, "2025-01-31 00:00:59",
                 "Ayat \xE2\x80\x9C"
                 "al-Kursi"
                 "\xE2\x80\x9D"),
        // Every character the format escapes, and Arabic letters.
        bookmark(114, 6, "2024-02-29 23:59:00", "a\\b\tc\r\nd \xD8\xA7\xD9\x84\xD9\x84\xD9\x87"),
    };
    const std::string text = formatBookmarkFile(written);
    EXPECT_EQ(text.substr(0, 26), "2:255\t2026-12-07 17:36:05\n");
    EXPECT_NE(text.find("a\\\\b\\tc\\r\\nd"), std::string::npos);

    const BookmarkFileContent read = parseBookmarkFile(text, ayahCount);
    EXPECT_TRUE(read.damagedLines.empty());
    EXPECT_EQ(read.bookmarks, written);
}

TEST(BookmarkFile, AcceptsByteOrderMarkWindowsLineEndsEmptyLinesAndNoFinalLineEnd) {
    const std::string text = "\xEF\xBB\xBF"
                             "1:1\t2026-01-01 10:00:00\tfirst\r\n"
                             "\r\n"
                             "\n"
                             "2:3\t2026-01-02 10:00:00";
    const BookmarkFileContent read = parseBookmarkFile(text, ayahCount);
    EXPECT_TRUE(read.damagedLines.empty());
    ASSERT_EQ(read.bookmarks.size(), 2u);
    EXPECT_EQ(read.bookmarks[0], bookmark(1, 1, "2026-01-01 10:00:00", "first"));
    EXPECT_EQ(read.bookmarks[1], bookmark(2, 3, "2026-01-02 10:00:00", ""));
}

TEST(BookmarkFile, LinesThatDoNotReadAreHandedBackAsWrittenBetweenGoodOnes) {
    const std::vector<std::string> damaged = {
        "2:255",                                    // no time
        "2:287\t2026-01-01 10:00:00",               // beyond the surah's ayat
        "115:1\t2026-01-01 10:00:00",               // no such surah
        "0:1\t2026-01-01 10:00:00",                 // surah 0
        "2:-1\t2026-01-01 10:00:00",                // a sign
        "2:0255\t2026-01-01 10:00:00",              // four digits
        "2 255\t2026-01-01 10:00:00",               // no colon
        "2:255\t2026-13-01 10:00:00",               // month 13
        "2:255\t2026-01-01 24:00:00",               // hour 24
        "2:255\t2026-01-01 10:00\tnote",            // no seconds
        "2:255\t2026-01-01 10:00:00\tbad \\q",      // unknown escape
        "2:255\t2026-01-01 10:00:00\tends \\",      // escape cut short
        "2:255\t2026-01-01 10:00:00\ta\tb",         // a raw tab in the note
        "2:255\t2026-01-01 10:00:00\t\xC3\x28",     // not UTF-8
        "2:255\t2026-01-01 10:00:00\t\xED\xA0\x80", // an encoded surrogate
        "garbage\r",                                // kept with its carriage return
    };
    std::string text = "1:1\t2026-01-01 10:00:00\n";
    for (const std::string& line : damaged)
        text += line + "\n";
    static const char withNul[] = "2:2\t2026-01-01 10:00:00\tnul \0 inside\n";
    text += std::string(withNul, sizeof withNul - 1);
    text += "2:255\t2026-01-01 10:00:00\tlast\n";

    const BookmarkFileContent read = parseBookmarkFile(text, ayahCount);
    ASSERT_EQ(read.bookmarks.size(), 2u);
    EXPECT_EQ(read.bookmarks[0].ayah, 1);
    EXPECT_EQ(read.bookmarks[1].note, "last");
    ASSERT_EQ(read.damagedLines.size(), damaged.size() + 1);
    for (size_t i = 0; i < damaged.size(); ++i)
        EXPECT_EQ(read.damagedLines[i], damaged[i]);
    EXPECT_EQ(read.damagedLines.back().size(), sizeof withNul - 2); // the NUL line, whole
}

TEST(BookmarkFile, Utf8CheckRejectsOverlongFormsAndValuesBeyondUnicode) {
    EXPECT_TRUE(isValidUtf8("plain \xD8\xA8 \xE2\x82\xAC \xF0\x9F\x93\x96"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong, three bytes
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // cut short
    EXPECT_FALSE(isValidUtf8("\x80"));             // a lone continuation byte
}

} // namespace
