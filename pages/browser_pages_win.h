// The commentary page of the current ayah (command 111) and the help page (command 40012)
// in the web browser, as a file: URL (percent-encoded UTF-8) with the ayah's anchor:
//  1. the user's default browser for http, started on the URL;
//  2. else a small page in the temporary folder that redirects to the URL, opened by the
//     shell (the shell would drop the anchor of a file: URL given to it directly);
//  3. else the page itself through the shell, without its anchor;
//  4. only when none of that works, the retired browser's automation object
//     ("InternetExplorer.Application": made visible, then told to navigate to the URL).
#ifndef NORAVEL_BROWSER_PAGES_WIN_H
#define NORAVEL_BROWSER_PAGES_WIN_H

#include <string>

constexpr char kBrowserProgId[] = "InternetExplorer.Application";

// Opens a file or URL through the shell; false when it could not. Replaceable for tests.
using ShellPageOpener = bool (*)(const wchar_t* target);
// The registered command of the default browser for http; false when there is none.
// Replaceable for tests.
using DefaultBrowserFinder = bool (*)(std::wstring& command);

enum class BrowserOutcome {
    DefaultBrowser,   // the default browser was started on the URL
    RedirectOpened,   // the shell opened the redirect page
    ShellOpened,      // the shell opened the page without its anchor
    Navigated,        // the automation sequence ran to its end
    AutomationFailed, // a browser object was found but could not be made visible
    NothingShown,     // no way to show the page
};

// Shows the commentary page of the ayah selected in the surah and ayah lists.
void openCommentaryPage();
// Shows the help page beside the program.
void openHelpPage();

// The whole path of both commands, for a page path given in UTF-8 (with "#anchor").
BrowserOutcome showPageInBrowser(const char* pagePath, const char* progId = kBrowserProgId);

void setShellPageOpener(ShellPageOpener opener);
void resetShellPageOpener();
void setDefaultBrowserFinder(DefaultBrowserFinder finder);
void resetDefaultBrowserFinder();

#endif
