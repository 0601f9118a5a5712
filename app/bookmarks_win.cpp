#include "app/bookmarks_win.h"

#include "app/user_files_win.h"

#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "text/text_store.h"

#include <cstdio>

namespace {

// More than any user writes by hand; a larger file is not read into memory.
constexpr int kRecentInMenu = IDM_BOOKMARK_LAST - IDM_BOOKMARK_FIRST + 1;
constexpr int kLongestNote = 200;      // characters the note fields accept
constexpr size_t kNoteInMenu = 40;     // characters of a note shown in the menu
constexpr int kFixedBookmarkItems = 2; // Add bookmark..., Bookmarks...

struct BookmarkStore {
    std::vector<Bookmark> items; // oldest first
    // False when the file exists but could not be read, or its damaged lines could not be
    // set aside: a save would then replace lines nobody has read.
    bool savable = true;
};
BookmarkStore store;

std::wstring widen(const std::string& text, UINT codePage) {
    if (text.empty()) return L"";
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return L"";
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::wstring surahNameOf(int surah) {
    std::string name = TextStore::surahName(surah);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return widen(name, CP_ACP);
}

std::wstring ayahLabel(const Bookmark& bookmark) {
    wchar_t label[16];
    std::swprintf(label, sizeof label / sizeof label[0], L"%d:%d", bookmark.surah, bookmark.ayah);
    return label + (L"  " + surahNameOf(bookmark.surah));
}

void report(Prompts& prompts, HWND owner, const std::wstring& text, UINT icon = MB_ICONWARNING) {
    prompts.tell(owner, utf8FromWide(text.c_str()).c_str(), NORAVEL_CAPTION, icon);
}

bool save() {
    if (!store.savable) return false;
    const std::wstring path = bookmarkFilePath();
    return !path.empty() && makeUserFolder() &&
           writeFileReplacing(path, formatBookmarkFile(store.items));
}

void reportUnsaved(Prompts& prompts, HWND owner) {
    report(prompts, owner,
           store.savable ? L"The bookmarks could not be saved to\n" + bookmarkFilePath() +
                               L"\nThey stay in the reader until it closes."
                         : L"The bookmark file could not be read, so it is left as it is and "
                           L"changes to the bookmarks are not saved:\n" +
                               bookmarkFilePath());
}

HMENU bookmarksPopup(HWND mainWindow) {
    HMENU bar = GetMenu(mainWindow);
    for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        if (popup && GetMenuState(popup, IDM_BOOKMARKS, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return popup;
    }
    return nullptr;
}

// The Bookmarks menu: its two commands, then the newest ten bookmarks.
void refreshMenu(HWND mainWindow) {
    HMENU popup = mainWindow ? bookmarksPopup(mainWindow) : nullptr;
    if (!popup) return;
    while (GetMenuItemCount(popup) > kFixedBookmarkItems)
        DeleteMenu(popup, kFixedBookmarkItems, MF_BYPOSITION);
    const int count = static_cast<int>(store.items.size());
    if (count > 0) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < kRecentInMenu && i < count; ++i) {
        const Bookmark& bookmark = store.items[count - 1 - i];
        std::wstring text = i < 9 ? L"&" + std::to_wstring(i + 1) : L"1&0";
        text += L"  " + ayahLabel(bookmark);
        std::wstring note = wideFromUtf8(bookmark.note.c_str());
        if (note.size() > kNoteInMenu) note = note.substr(0, kNoteInMenu) + L"...";
        for (wchar_t& c : note)
            if (c == L'\t' || c == L'\r' || c == L'\n' || c == L'&') c = L' ';
        if (!note.empty()) text += L" - " + note;
        AppendMenuW(popup, MF_STRING, IDM_BOOKMARK_FIRST + i, text.c_str());
    }
    DrawMenuBar(mainWindow);
}

std::string noteOf(HWND dialog) {
    wchar_t note[kLongestNote + 1] = L"";
    GetDlgItemTextW(dialog, IDC_BOOKMARK_NOTE, note, kLongestNote + 1);
    return utf8FromWide(note);
}

// ---- Add bookmark (dialog 141) ----

struct AddRequest {
    Bookmark ayah;
    std::string note;
};

INT_PTR CALLBACK addDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* request = reinterpret_cast<const AddRequest*>(lParam);
        SetDlgItemTextW(dialog, IDC_BOOKMARK_AYAH, ayahLabel(request->ayah).c_str());
        SendDlgItemMessageW(dialog, IDC_BOOKMARK_NOTE, EM_LIMITTEXT, kLongestNote, 0);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            reinterpret_cast<AddRequest*>(GetWindowLongPtrW(dialog, DWLP_USER))->note =
                noteOf(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
} catch (...) {
    return FALSE;
}

// ---- Bookmarks (dialog 142) ----

constexpr LRESULT kNoSelection = -1;

// What the Bookmarks dialog works with: the reader's window (whose menu lists the newest),
// where to report, and the file index of the bookmark chosen with OK.
struct ChooseRequest {
    HWND mainWindow = nullptr;
    Prompts* prompts = nullptr;
    LRESULT chosen = kNoSelection;
};

ChooseRequest* requestOf(HWND dialog) {
    return reinterpret_cast<ChooseRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The file index of the selected item, or -1.
LRESULT selectedBookmark(HWND dialog) {
    const LRESULT item = SendDlgItemMessageW(dialog, IDC_BOOKMARK_LIST, LB_GETCURSEL, 0, 0);
    if (item < 0) return kNoSelection;
    const LRESULT index = SendDlgItemMessageW(dialog, IDC_BOOKMARK_LIST, LB_GETITEMDATA, item, 0);
    return index >= 0 && static_cast<size_t>(index) < store.items.size() ? index : kNoSelection;
}

void showSelectedNote(HWND dialog) {
    const LRESULT index = selectedBookmark(dialog);
    const std::wstring note =
        index == kNoSelection ? L""
                              : wideFromUtf8(store.items[static_cast<size_t>(index)].note.c_str());
    SetDlgItemTextW(dialog, IDC_BOOKMARK_NOTE, note.c_str());
}

// Lists the bookmarks newest first and selects the item at position (clamped).
void fillList(HWND dialog, LRESULT position) {
    HWND list = GetDlgItem(dialog, IDC_BOOKMARK_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = store.items.size(); i-- > 0;) {
        const Bookmark& bookmark = store.items[i];
        std::wstring text = ayahLabel(bookmark) + L"   " + widen(bookmark.when, CP_ACP);
        if (!bookmark.note.empty()) text += L"   " + wideFromUtf8(bookmark.note.c_str());
        const LRESULT item =
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (item >= 0) SendMessageW(list, LB_SETITEMDATA, item, static_cast<LPARAM>(i));
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count > 0) {
        if (position >= count) position = count - 1;
        SendMessageW(list, LB_SETCURSEL, position < 0 ? 0 : position, 0);
    }
    showSelectedNote(dialog);
}

void afterChange(HWND dialog, bool saved) {
    const LRESULT position = SendDlgItemMessageW(dialog, IDC_BOOKMARK_LIST, LB_GETCURSEL, 0, 0);
    fillList(dialog, position);
    ChooseRequest* request = requestOf(dialog);
    if (request) refreshMenu(request->mainWindow);
    if (!saved && request) reportUnsaved(*request->prompts, dialog);
}

void openSelected(HWND dialog) {
    const LRESULT index = selectedBookmark(dialog);
    if (index == kNoSelection) return;
    if (ChooseRequest* request = requestOf(dialog)) request->chosen = index;
    EndDialog(dialog, IDOK);
}

void onBookmarksCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDOK: openSelected(dialog); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    case IDC_BOOKMARK_LIST:
        if (notification == LBN_DBLCLK) openSelected(dialog);
        if (notification == LBN_SELCHANGE) showSelectedNote(dialog);
        break;
    case IDC_BOOKMARK_RENAME: {
        const LRESULT index = selectedBookmark(dialog);
        if (index != kNoSelection)
            afterChange(dialog, renameBookmark(static_cast<size_t>(index), noteOf(dialog)));
        break;
    }
    case IDC_BOOKMARK_DELETE: {
        const LRESULT index = selectedBookmark(dialog);
        if (index != kNoSelection) afterChange(dialog, deleteBookmark(static_cast<size_t>(index)));
        break;
    }
    }
}

INT_PTR CALLBACK bookmarksDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, IDC_BOOKMARK_NOTE, EM_LIMITTEXT, kLongestNote, 0);
        fillList(dialog, 0);
        return TRUE;
    case WM_COMMAND: onBookmarksCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    }
    return FALSE;
} catch (...) {
    return FALSE;
}

} // namespace

std::wstring bookmarkFilePath() {
    const std::wstring folder = userFolder();
    return folder.empty() ? folder : folder + L"\\bookmarks.txt";
}

std::wstring damagedBookmarkFilePath() {
    const std::wstring folder = userFolder();
    return folder.empty() ? folder : folder + L"\\bookmarks-damaged.txt";
}

void loadBookmarks(HWND mainWindow, Prompts& prompts) {
    store = BookmarkStore{};
    const std::wstring path = bookmarkFilePath();
    std::string text;
    const UserFileRead outcome = path.empty() ? UserFileRead::failed : readUserFile(path, text);
    if (outcome == UserFileRead::failed) {
        store.savable = false;
        report(prompts, mainWindow,
               L"The bookmark file could not be read:\n" + path +
                   L"\nIt is left as it is; bookmarks added now are not saved.");
    } else if (outcome == UserFileRead::read) {
        BookmarkFileContent content = parseBookmarkFile(text, TextStore::ayahCount);
        store.items = std::move(content.bookmarks);
        const size_t damaged = content.damagedLines.size();
        if (damaged > 0) {
            const std::wstring aside = damagedBookmarkFilePath();
            const std::wstring lines =
                std::to_wstring(damaged) + (damaged == 1 ? L" line" : L" lines");
            // The lines leave the bookmark file only once they are safe in the side file.
            if (!aside.empty() && makeUserFolder() &&
                appendLinesToFile(aside, content.damagedLines) && save()) {
                report(prompts, mainWindow,
                       lines +
                           L" of the bookmark file could not be read as "
                           L"bookmarks. They were moved, unchanged, to\n" +
                           aside,
                       MB_ICONINFORMATION);
            } else {
                store.savable = false;
                report(prompts, mainWindow,
                       lines +
                           L" of the bookmark file could not be read and could "
                           L"not be set aside. The file is left as it is and "
                           L"bookmarks are not saved:\n" +
                           path);
            }
        }
    }
    refreshMenu(mainWindow);
}

const std::vector<Bookmark>& bookmarks() {
    return store.items;
}

bool addBookmark(int surah, int ayah, const std::string& note) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char when[32];
    std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    Bookmark bookmark;
    bookmark.surah = surah;
    bookmark.ayah = ayah;
    bookmark.when = when;
    bookmark.note = note;
    store.items.push_back(std::move(bookmark));
    return save();
}

bool renameBookmark(size_t index, const std::string& note) {
    if (index >= store.items.size()) return false;
    store.items[index].note = note;
    return save();
}

bool deleteBookmark(size_t index) {
    if (index >= store.items.size()) return false;
    store.items.erase(store.items.begin() + static_cast<std::ptrdiff_t>(index));
    return save();
}

void addBookmarkForAyah(HINSTANCE instance, HWND mainWindow, AyahRef ayah, Prompts& prompts) try {
    AddRequest request;
    request.ayah.surah = ayah.surah;
    request.ayah.ayah = ayah.ayah;
    if (request.ayah.surah < 1 || request.ayah.ayah < 1) return;
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ADD_BOOKMARK), mainWindow, addDialogProc,
                        reinterpret_cast<LPARAM>(&request)) != IDOK)
        return;
    const bool saved = addBookmark(request.ayah.surah, request.ayah.ayah, request.note);
    refreshMenu(mainWindow);
    if (!saved) reportUnsaved(prompts, mainWindow);
} catch (...) { // out of memory: no bookmark added
}

AyahRef chooseBookmark(HINSTANCE instance, HWND mainWindow, Prompts& prompts) {
    ChooseRequest request;
    request.mainWindow = mainWindow;
    request.prompts = &prompts;
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BOOKMARKS), mainWindow, bookmarksDialogProc,
                        reinterpret_cast<LPARAM>(&request)) == IDOK &&
        request.chosen >= 0 && static_cast<size_t>(request.chosen) < store.items.size()) {
        const Bookmark& chosen = store.items[static_cast<size_t>(request.chosen)];
        return {chosen.surah, chosen.ayah};
    }
    return {};
}

AyahRef recentBookmark(int newestIndex) {
    const int count = static_cast<int>(store.items.size());
    if (newestIndex < 0 || newestIndex >= count) return {};
    const Bookmark& bookmark = store.items[count - 1 - newestIndex];
    return {bookmark.surah, bookmark.ayah};
}
