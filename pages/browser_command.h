// How a page is handed to the user's browser, without the system's calls: the command
// line made from the http handler's registered command, and the redirect page that takes
// a browser to a file: URL with its anchor when only the shell can open a page.
#ifndef NORAVEL_PAGES_BROWSER_COMMAND_H
#define NORAVEL_PAGES_BROWSER_COMMAND_H

#include <string>

// The command line that opens `url` with a handler registered as `command` (the
// "shell\open\command" of http): every "%1" or "%L" is replaced by the URL, "%*" is
// dropped, and a command that names no argument gets the URL appended in quotes. The URL
// is a percent-encoded file: URL, so it holds no quote or blank that could break out of
// its argument. An empty command gives "".
std::string browserCommandLine(const std::string& command, const std::string& url);

// A page that sends the browser on to `url` at once (a meta refresh, and a link for a
// browser that does not follow it). `url` is put in as it is: a percent-encoded URL holds
// nothing that HTML would read as markup.
std::string redirectPage(const std::string& url);

// The file of a page path: the text before its "#anchor".
std::string withoutAnchor(const std::string& path);

#endif
