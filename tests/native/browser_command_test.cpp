#include "pages/browser_command.h"

#include <gtest/gtest.h>

namespace {

const std::string kUrl = "file:///C:/%D8%A8%D8%B1%D9%86%D8%A7%D9%85%D8%AC/html/qs2/260.html#255";

TEST(BrowserCommandLine, TheUrlTakesThePlaceOfTheHandlersArgument) {
    // The forms the common browsers register for http.
    EXPECT_EQ(browserCommandLine("\"C:\\Edge\\msedge.exe\" --single-argument %1", kUrl),
              "\"C:\\Edge\\msedge.exe\" --single-argument " + kUrl);
    EXPECT_EQ(browserCommandLine("\"C:\\Firefox\\firefox.exe\" -osint -url \"%1\"", kUrl),
              "\"C:\\Firefox\\firefox.exe\" -osint -url \"" + kUrl + "\"");
    EXPECT_EQ(browserCommandLine("\"C:\\B\\b.exe\" \"%L\" %*", kUrl),
              "\"C:\\B\\b.exe\" \"" + kUrl + "\" ");
    // No argument named: the URL goes last, quoted; a percent sign of its own stays.
    EXPECT_EQ(browserCommandLine("C:\\B\\b.exe -new 100%", kUrl),
              "C:\\B\\b.exe -new 100% \"" + kUrl + "\"");
    EXPECT_EQ(browserCommandLine("", kUrl), "");
}

TEST(RedirectPage, SendsTheBrowserOnToTheUrlWithItsAnchor) {
    const std::string page = redirectPage(kUrl);
    EXPECT_NE(page.find("http-equiv=\"refresh\" content=\"0;url=" + kUrl + "\""),
              std::string::npos);
    EXPECT_NE(page.find("<a href=\"" + kUrl + "\">"), std::string::npos);
    EXPECT_EQ(withoutAnchor("C:\\N\\html\\qs2\\260.html#255"), "C:\\N\\html\\qs2\\260.html");
    EXPECT_EQ(withoutAnchor("C:\\N\\help.htm"), "C:\\N\\help.htm");
}

} // namespace
