// The files the reader keeps for its user in %APPDATA%\Noravel (bookmarks, the reading
// plan): reading one whole, appending lines to one, and saving one through a temporary
// file beside it and one replacing move, so that the file on disk is always either the old
// or the new one.
#ifndef NORAVEL_APP_USER_FILES_WIN_H
#define NORAVEL_APP_USER_FILES_WIN_H

#include <string>
#include <vector>

// %APPDATA%\Noravel; "" when the system names no application data folder. It is made only
// when something is written into it (makeUserFolder), so that a reader that never saves
// anything leaves no trace there.
std::wstring userFolder();
// Makes the folder when it is not there; false when it cannot be had.
bool makeUserFolder();

// The whole of a file (at most 16 MB); missing when there is none.
enum class UserFileRead { read, missing, failed };
UserFileRead readUserFile(const std::wstring& path, std::string& text);
// Lines appended to a file, each ending with LF, and flushed to disk.
bool appendLinesToFile(const std::wstring& path, const std::vector<std::string>& lines);

// Writes text to path through a temporary file beside it and one replacing move.
bool writeFileReplacing(const std::wstring& path, const std::string& text);
// Its two steps: path + ".tmp" written and flushed to disk, then moved over path (the
// temporary file is deleted when a step fails).
bool writeTemporaryFile(const std::wstring& path, const std::string& text);
bool replaceWithTemporaryFile(const std::wstring& path);

#endif
