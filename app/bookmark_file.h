// The bookmark file: UTF-8 text, one bookmark per line,
//   surah:ayah TAB yyyy-mm-dd hh:mm:ss [TAB note]
// The note is UTF-8 with backslash, tab, carriage return and line feed written as \\, \t,
// \r and \n. Lines end with LF (a CR before it is accepted); a UTF-8 byte order mark at
// the start and empty lines are skipped. A line that does not read is damaged: the reader
// keeps it aside, byte for byte, rather than dropping it.
#ifndef NORAVEL_APP_BOOKMARK_FILE_H
#define NORAVEL_APP_BOOKMARK_FILE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Bookmark {
    int surah = 0;
    int ayah = 0;
    std::string when; // local time, "yyyy-mm-dd hh:mm:ss"
    std::string note; // UTF-8, may be empty
};

bool operator==(const Bookmark& a, const Bookmark& b);

struct BookmarkFileContent {
    std::vector<Bookmark> bookmarks;       // in file order (oldest first)
    std::vector<std::string> damagedLines; // as written, without the LF
};

// ayahCount gives the number of ayat of a surah 1..114 (the loaded text store).
std::optional<Bookmark> parseBookmarkLine(std::string_view line, int (*ayahCount)(int surah));
BookmarkFileContent parseBookmarkFile(std::string_view text, int (*ayahCount)(int surah));

// The line of a bookmark, without its line end. The note's invalid UTF-8 is not checked
// here: notes come from the user interface in UTF-8.
std::string formatBookmarkLine(const Bookmark& bookmark);
// Every bookmark on its line, each ending with LF.
std::string formatBookmarkFile(const std::vector<Bookmark>& bookmarks);

bool isValidUtf8(std::string_view text);

#endif
