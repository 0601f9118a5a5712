// Bookmarks: kept per user in %APPDATA%\Noravel\bookmarks.txt (format: app/bookmark_file.h),
// listed in the Bookmarks menu (the last ten) and in the Bookmarks dialog (142), added with
// the Add bookmark dialog (141).
//
// Every save writes bookmarks.txt.tmp beside the file and moves it over the old file in
// one step, so the file on disk is always either the old or the new one. Lines of the file
// that do not read are appended to bookmarks-damaged.txt beside it and reported once; the
// file is then saved without them.
#ifndef NORAVEL_APP_BOOKMARKS_WIN_H
#define NORAVEL_APP_BOOKMARKS_WIN_H

#include "app/bookmark_file.h"
#include "app/user_files_win.h"
#include "base/prompts_win.h"
#include "text/ayah_ref.h"

#include <windows.h>

#include <string>
#include <vector>

// The files in the user's folder (app/user_files_win.h); "" when the system names no
// application data folder.
std::wstring bookmarkFilePath();
std::wstring damagedBookmarkFilePath();

// Reads the bookmark file (after the text store is loaded), moves damaged lines aside and
// reports them to the user once, and fills the Bookmarks menu of mainWindow.
void loadBookmarks(HWND mainWindow, Prompts& prompts);

// The bookmarks in memory, oldest first (as in the file).
const std::vector<Bookmark>& bookmarks();

// Adds the ayah with the current local time and note (UTF-8) and saves; true when saved.
bool addBookmark(int surah, int ayah, const std::string& note);
bool renameBookmark(size_t index, const std::string& note);
bool deleteBookmark(size_t index);

// Commands. Ctrl+D: asks for a note (dialog 141) and adds the ayah. Ctrl+B: the Bookmarks
// dialog (142); returns the ayah of the bookmark opened with OK, else {0, 0}. The menu's
// recent items: the ayah of the newest but newestIndex, else {0, 0}. Failures to save are
// told through prompts; the Bookmarks menu of mainWindow follows every change.
void addBookmarkForAyah(HINSTANCE instance, HWND mainWindow, AyahRef ayah, Prompts& prompts);
AyahRef chooseBookmark(HINSTANCE instance, HWND mainWindow, Prompts& prompts);
AyahRef recentBookmark(int newestIndex);

#endif
