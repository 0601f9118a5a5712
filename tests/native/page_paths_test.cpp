// The paths of the pages beside the program and the URLs that show them.
#include "pages/page_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(CommentaryPage, TenAyatPerPageWithTheAyahAsAnchor) {
    char path[260];
    ASSERT_TRUE(formatCommentaryPath(path, sizeof path, "D:\\Q", 2, 1));
    EXPECT_STREQ(path, "D:\\Q\\html\\qs2\\10.html#1");
    ASSERT_TRUE(formatCommentaryPath(path, sizeof path, "D:\\Q", 2, 10));
    EXPECT_STREQ(path, "D:\\Q\\html\\qs2\\10.html#10");
    ASSERT_TRUE(formatCommentaryPath(path, sizeof path, "D:\\Q", 2, 11));
    EXPECT_STREQ(path, "D:\\Q\\html\\qs2\\20.html#11");
    ASSERT_TRUE(formatCommentaryPath(path, sizeof path, "D:\\Q", 2, 286));
    EXPECT_STREQ(path, "D:\\Q\\html\\qs2\\290.html#286");
    ASSERT_TRUE(formatHelpPath(path, sizeof path, "D:\\Q"));
    EXPECT_STREQ(path, "D:\\Q\\help.htm");
    char exact[12]; // "C:\help.htm" and its terminator
    EXPECT_FALSE(formatHelpPath(exact, 11, "C:"));
    EXPECT_TRUE(formatHelpPath(exact, 12, "C:"));
}

TEST(FileUrl, SlashesEncodedBlanksAndTheAnchorSurvive) {
    char url[300];
    ASSERT_TRUE(formatFileUrl(url, sizeof url, "C:\\Program Files\\Q\\html\\qs2\\20.html#11"));
    EXPECT_STREQ(url, "file:///C:/Program%20Files/Q/html/qs2/20.html#11");
    ASSERT_TRUE(formatFileUrl(url, sizeof url, "C:\\a#b\\c%\xE9.htm"));
    // Only the first "#" starts the anchor; "%" and bytes above 127 are encoded.
    EXPECT_STREQ(url, "file:///C:/a#b%5Cc%25%E9.htm");
    char small[16];
    EXPECT_FALSE(formatFileUrl(small, sizeof small, "C:\\Program Files\\x"));
    EXPECT_STREQ(small, "");
}

TEST(FileUrl, AFolderNamedInArabicBecomesPercentEncodedUtf8) {
    // "C:\<QAF><RA><ALEF><HAMZA>\help.htm#2" as the program holds it, in UTF-8.
    const char path[] = "C:\\\xD9\x82\xD8\xB1\xD8\xA7\xD8\xA1\\help.htm#2";
    char url[300];
    ASSERT_TRUE(formatFileUrl(url, sizeof url, path));
    EXPECT_STREQ(url, "file:///C:/%D9%82%D8%B1%D8%A7%D8%A1/help.htm#2");
}

} // namespace
