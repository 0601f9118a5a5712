// The commentary page of an ayah (command 111) and the help page (command 40012)
// in the web browser, as a file: URL (percent-encoded UTF-8) with the ayah's anchor:
//  1. the user's default browser for http, started on the URL;
//  2. else a small page in the temporary folder that redirects to the URL, opened by the
//     shell (the shell would drop the anchor of a file: URL given to it directly);
//  3. else the page itself through the shell, without its anchor;
//  4. only when none of that works, the retired browser's automation object
//     ("InternetExplorer.Application": made visible, then told to navigate to the URL).
#ifndef NORAVEL_PAGES_BROWSER_PAGES_WIN_H
#define NORAVEL_PAGES_BROWSER_PAGES_WIN_H

#include "text/ayah_ref.h"

#include <windows.h>

#include <string>

constexpr char kBrowserProgId[] = "InternetExplorer.Application";

// Opens a file or URL through the shell (owner: the window of any box it shows); false
// when it could not.
using ShellPageOpener = bool (*)(HWND owner, const wchar_t* target);
// The registered command of the default browser for http; false when there is none.
using DefaultBrowserFinder = bool (*)(std::wstring& command);

// The two ways into the system the pages use; tests stand in their own.
struct BrowserShell {
    ShellPageOpener open;
    DefaultBrowserFinder findBrowser;
};
// The system's: ShellExecuteW and the association of http.
BrowserShell systemBrowserShell();

enum class BrowserOutcome {
    DefaultBrowser,   // the default browser was started on the URL
    RedirectOpened,   // the shell opened the redirect page
    ShellOpened,      // the shell opened the page without its anchor
    Navigated,        // the automation sequence ran to its end
    AutomationFailed, // a browser object was found but could not be made visible
    NothingShown,     // no way to show the page
};

// Shows the commentary page of the ayah, in the program folder (UTF-8).
void openCommentaryPage(HWND owner, const char* programDirectoryUtf8, AyahRef ayah,
                        const BrowserShell& shell = systemBrowserShell());
// Shows the help page beside the program.
void openHelpPage(HWND owner, const char* programDirectoryUtf8,
                  const BrowserShell& shell = systemBrowserShell());

// The whole path of both commands, for a page path given in UTF-8 (with "#anchor").
BrowserOutcome showPageInBrowser(HWND owner, const char* pagePath,
                                 const BrowserShell& shell = systemBrowserShell(),
                                 const char* progId = kBrowserProgId);

#endif
