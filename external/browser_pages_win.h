// The commentary page of the current ayah (command 111) and the help page (command 40012)
// in the web browser. The browser is driven through its automation object
// ("InternetExplorer.Application": made visible, then told to navigate to the page's
// path). Where no such object exists, as on current Windows, the page is opened in the
// user's default browser through the shell instead, as a file: URL with its anchor.
#ifndef NORAVEL_BROWSER_PAGES_WIN_H
#define NORAVEL_BROWSER_PAGES_WIN_H

constexpr char kBrowserProgId[] = "InternetExplorer.Application";

// Opens a file: URL in the default browser. Replaceable for tests.
using ShellPageOpener = void (*)(const char* url);

enum class BrowserOutcome {
    Navigated,        // the automation sequence ran to its end
    AutomationFailed, // a browser was found but could not be made visible: nothing shown
    ShellOpened,      // no browser object: the page went to the shell
    NothingShown,     // no browser object and no usable URL
};

// Shows the commentary page of the ayah selected in the surah and ayah lists.
void openCommentaryPage();
// Shows the help page beside the program.
void openHelpPage();

// The whole path of both commands, for a page path given (UTF-8; the shell gets it as a
// URL of percent-encoded UTF-8): the automation sequence on the
// object registered under `progId`, and the shell when there is none.
BrowserOutcome showPageInBrowser(const char* pagePath, const char* progId = kBrowserProgId);

void setShellPageOpener(ShellPageOpener opener);
void resetShellPageOpener();

#endif
