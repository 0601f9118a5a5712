#include "recitation/recitation_dialog_win.h"

#include "base/guards_win.h"
#include "base/prompts_win.h"
#include "base/wide_text_win.h"
#include "recitation/memorise_dialog_win.h"
#include "recitation/recitation_download_win.h"
#include "recitation/recitation_rules.h"
#include "recitation/reciter_catalogue.h"
#include "recitation/reciter_choice_win.h"
#include "recitation/reciter_menu_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <new>
#include <string>

namespace {

// How long closing waits for a cancelled download to end.
constexpr DWORD kCloseWaitMs = 3000;
// The summary lists at most this many failures, then how many more there were.
constexpr size_t kListedFailures = 300;

struct DialogState {
    HWND window = nullptr;
    RecitationDownload download;
    Prompts* prompts = nullptr;
    std::string choice;   // the reciter chosen in the list
    bool filling = false; // the dialog sets its own controls: no setting is stored
};

MessageBoxPrompts systemPrompts;

DialogState* open = nullptr;

HWND item(int id) {
    return open ? GetDlgItem(open->window, id) : nullptr;
}

std::string itemTextUtf8(int id) {
    HWND control = item(id);
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return "";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, &text[0], length + 1);
    return utf8FromWide(text.c_str());
}

void setItemTextUtf8(int id, const char* text) {
    SetWindowTextW(item(id), wideFromUtf8(text).c_str());
}

// The reciter of list row `row`: the built-in ones in order, then the typed address.
const char* choiceOfRow(int row) {
    return row >= 0 ? reciterOfMenuItem(IDM_RECITER_FIRST + row) : nullptr;
}

void setListCell(HWND list, int row, int column, const char* utf8);
constexpr int kOnDiskColumn = 3;

// What each reciter has on disk, in the list's last column.
void showReciterSizes() {
    HWND list = item(IDC_RECITATION_RECITERS);
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        unsigned long long bytes = 0;
        const int ayat =
            measureAyahFiles(reciterFolderOnDisk(choiceOfRow(row)), TextStore::ayahCount, &bytes);
        char text[64];
        formatReciterOnDisk(text, sizeof text, ayat, bytes);
        setListCell(list, row, kOnDiskColumn, text);
    }
}

void showCount() {
    char text[64];
    formatAyahFileCount(text, sizeof text,
                        countAyahFiles(reciterFolderOnDisk(open->choice), TextStore::ayahCount));
    setItemTextUtf8(IDC_RECITATION_COUNT, text);
    showReciterSizes();
}

// A built-in reciter comes from its archive folder (or the mirror's); only the typed
// address is edited.
void showAddressOfChoice() {
    const bool typed = open->choice == kOtherAddressChoice;
    setItemTextUtf8(IDC_RECITATION_ADDRESS, reciterAddressTemplate(open->choice).c_str());
    SendMessageW(item(IDC_RECITATION_ADDRESS), EM_SETREADONLY, typed ? FALSE : TRUE, 0);
}

// One cell of the reciter list.
void setListCell(HWND list, int row, int column, const char* utf8) {
    const std::wstring wide = wideFromUtf8(utf8);
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(wide.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
}

// The reciters in four columns: the name in Latin letters, in Arabic, the style and bitrate,
// and what is on disk; the typed address last.
void fillReciterList() {
    HWND list = item(IDC_RECITATION_RECITERS);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT area{};
    GetClientRect(list, &area);
    const int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    const wchar_t* titles[] = {L"Reciter", L"Arabic", L"Style", L"On disk"};
    const int shares[] = {32, 26, 21, 21}; // percent of the width
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.pszText = const_cast<wchar_t*>(titles[column]);
        header.cx = width * shares[column] / 100;
        header.iSubItem = column;
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
    size_t count = 0;
    const Reciter* reciters = builtInReciters(&count);
    int chosenRow = -1;
    for (int row = 0; choiceOfRow(row); ++row) {
        const bool builtIn = static_cast<size_t>(row) < count;
        const std::wstring name =
            builtIn ? wideFromUtf8(reciters[row].latinName) : L"Other address\u2026";
        LVITEMW entry{};
        entry.mask = LVIF_TEXT;
        entry.iItem = row;
        entry.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        if (builtIn) {
            char style[64] = "";
            formatReciterStyle(style, sizeof style, reciters[row]);
            setListCell(list, row, 1, reciters[row].arabicName);
            setListCell(list, row, 2, style);
        }
        if (open->choice == choiceOfRow(row)) chosenRow = row;
    }
    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, chosenRow, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(list, LVM_ENSUREVISIBLE, chosenRow, FALSE);
}

// A row chosen in the list is the reciter from now on, here and in the main window's menu.
void onReciterChosen(int row) {
    const char* choice = choiceOfRow(row);
    if (open->filling || !choice || open->choice == choice) return;
    open->choice = choice;
    chooseReciter(choice);
    refreshReciterMenu(GetWindow(open->window, GW_OWNER));
    showAddressOfChoice();
    showCount();
}

void showFolder(const std::string& folder) {
    setItemTextUtf8(IDC_RECITATION_FOLDER, folder.c_str());
    showCount();
}

void fillSurahList(int id, int selected) {
    HWND list = item(id);
    for (int surah = 1; surah <= TextStore::kSurahs; ++surah) {
        char line[96];
        std::snprintf(line, sizeof line, "%d. %s", surah, TextStore::surahName(surah));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(line).c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, selected - 1, 0);
}

void enableDownloadControls(bool downloading) {
    for (int id : {IDC_RECITATION_DOWNLOAD, IDC_RECITATION_CHOOSE_FOLDER, IDC_RECITATION_ADDRESS,
                   IDC_RECITATION_WHOLE, IDC_RECITATION_SURAHS, IDC_RECITATION_FIRST_SURAH,
                   IDC_RECITATION_LAST_SURAH, IDC_RECITATION_RECITERS, IDC_RECITATION_DELETE})
        EnableWindow(item(id), !downloading);
    EnableWindow(item(IDC_RECITATION_STOP), downloading);
}

void onInitDialog(HWND dialog) {
    open->window = dialog;
    open->filling = true;
    open->choice = reciterInForce();
    fillReciterList();
    showFolder(recitationFolderInUse());
    SendMessageW(item(IDC_RECITATION_REPEAT_SPIN), UDM_SETRANGE32, kMinAyahRepeats,
                 kMaxAyahRepeats);
    SendMessageW(item(IDC_RECITATION_REPEAT_SPIN), UDM_SETPOS32, 0,
                 validAyahRepeats(readRepeatEachAyah()));
    SendMessageW(item(IDC_RECITATION_ADDRESS), EM_LIMITTEXT, kRecitationAddressUnits - 1, 0);
    showAddressOfChoice();
    CheckRadioButton(dialog, IDC_RECITATION_WHOLE, IDC_RECITATION_SURAHS, IDC_RECITATION_WHOLE);
    fillSurahList(IDC_RECITATION_FIRST_SURAH, 1);
    fillSurahList(IDC_RECITATION_LAST_SURAH, 1);
    SendMessageW(item(IDC_RECITATION_SUMMARY), EM_LIMITTEXT, 0, 0);
    enableDownloadControls(false);
    open->filling = false;
}

// "Repeat each ayah" is stored as soon as it holds a number of times the reading takes.
void onRepeatChanged() {
    if (open->filling) return;
    BOOL number = FALSE;
    const int times =
        static_cast<int>(GetDlgItemInt(open->window, IDC_RECITATION_REPEAT, &number, FALSE));
    if (number && times >= kMinAyahRepeats && times <= kMaxAyahRepeats) writeRepeatEachAyah(times);
}

// The system's folder picker; the older one where there is none. "" when nothing was chosen.
std::string pickFolderWithFileDialog(HWND owner, const std::string& current) {
    ComRef<IFileOpenDialog> picker;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(picker.put()))))
        return "\x01"; // no such dialog: the caller falls back
    FILEOPENDIALOGOPTIONS options = 0;
    picker->GetOptions(&options);
    picker->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    picker->SetTitle(L"Recitation folder");
    ComRef<IShellItem> start;
    if (!current.empty() && SUCCEEDED(SHCreateItemFromParsingName(
                                wideFromUtf8(current.c_str()).c_str(), nullptr, IID_IShellItem,
                                reinterpret_cast<void**>(start.put()))))
        picker->SetFolder(start.get());
    if (FAILED(picker->Show(owner))) return "";
    ComRef<IShellItem> chosen;
    if (FAILED(picker->GetResult(chosen.put()))) return "";
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path)
        folder = utf8FromWide(path);
    CoTaskMemFree(path);
    return folder;
}

std::string pickFolderWithBrowser(HWND owner) {
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = L"Recitation folder";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse);
    if (!list) return "";
    wchar_t path[MAX_PATH] = L"";
    std::string folder;
    if (SHGetPathFromIDListW(list, path)) folder = utf8FromWide(path);
    CoTaskMemFree(list);
    return folder;
}

void onChooseFolder() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::string folder =
        pickFolderWithFileDialog(open->window, itemTextUtf8(IDC_RECITATION_FOLDER));
    if (folder == "\x01") folder = pickFolderWithBrowser(open->window);
    if (SUCCEEDED(com)) CoUninitialize();
    if (folder.empty()) return;
    if (!writeRecitationFolder(folder.c_str())) {
        setItemTextUtf8(IDC_RECITATION_SUMMARY, "The folder could not be stored.");
        return;
    }
    showFolder(folder);
}

void onDownload() {
    const bool typed = open->choice == kOtherAddressChoice;
    const std::string address =
        typed ? itemTextUtf8(IDC_RECITATION_ADDRESS) : reciterAddressTemplate(open->choice);
    char probe[4096];
    if (!formatRecitationUrl(probe, sizeof probe, address.c_str(), 1, 1)) {
        setItemTextUtf8(IDC_RECITATION_SUMMARY,
                        "The address needs {SSS} where the surah's three digits go and {AAA} "
                        "where the ayah's go, for example\r\n"
                        "https://example.org/reciter/{SSS}{AAA}.mp3");
        return;
    }
    if (typed) writeRecitationAddress(address.c_str());
    RecitationDownloadRequest request;
    request.folder = reciterFolderOnDisk(open->choice);
    request.urlTemplate = address;
    request.ayahCount = TextStore::ayahCount;
    request.connections = downloadConnectionsInForce();
    if (IsDlgButtonChecked(open->window, IDC_RECITATION_SURAHS) == BST_CHECKED) {
        request.firstSurah =
            static_cast<int>(SendMessageW(item(IDC_RECITATION_FIRST_SURAH), CB_GETCURSEL, 0, 0)) +
            1;
        request.lastSurah =
            static_cast<int>(SendMessageW(item(IDC_RECITATION_LAST_SURAH), CB_GETCURSEL, 0, 0)) + 1;
        if (request.lastSurah < request.firstSurah) {
            setItemTextUtf8(IDC_RECITATION_SUMMARY, "The last surah comes before the first one.");
            return;
        }
    }
    if (!open->download.start(request, open->window, kRecitationDownloadMessage)) {
        setItemTextUtf8(IDC_RECITATION_SUMMARY, "The download could not be started.");
        return;
    }
    setItemTextUtf8(IDC_RECITATION_SUMMARY, "");
    setItemTextUtf8(IDC_RECITATION_STATUS, "Starting...");
    SendMessageW(item(IDC_RECITATION_PROGRESS), PBM_SETPOS, 0, 0);
    enableDownloadControls(true);
}

void showSummary(const RecitationDownloadProgress& progress) {
    char line[160];
    formatDownloadSummary(line, sizeof line, progress.done, progress.skipped, progress.failed,
                          progress.cancelled);
    std::string text = line;
    for (size_t i = 0; i < progress.failures.size() && i < kListedFailures; ++i)
        text += "\r\n" + progress.failures[i];
    if (progress.failures.size() > kListedFailures) {
        std::snprintf(line, sizeof line, "\r\n... and %u more",
                      static_cast<unsigned>(progress.failures.size() - kListedFailures));
        text += line;
    }
    setItemTextUtf8(IDC_RECITATION_SUMMARY, text.c_str());
}

void onDownloadProgress(bool finished) {
    const RecitationDownloadProgress progress = open->download.progress();
    HWND bar = item(IDC_RECITATION_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, progress.files > 0 ? progress.files : 1);
    const int handled = progress.done + progress.skipped + progress.failed;
    SendMessageW(bar, PBM_SETPOS, handled, 0);
    char status[96];
    formatDownloadProgress(status, sizeof status, progress.fileNumber, progress.files,
                           progress.bytes);
    setItemTextUtf8(IDC_RECITATION_STATUS, status);
    if (!finished) return;
    showSummary(progress);
    enableDownloadControls(false);
    showCount();
}

// Ends a download under way (bounded) and the dialog.
void closeDialog() {
    if (!open) return;
    DialogState* state = open;
    state->download.cancel();
    state->download.wait(kCloseWaitMs);
    DestroyWindow(state->window);
}

// Deletes the chosen reciter's files after the user has agreed.
void onDelete() {
    const std::string folder = reciterFolderOnDisk(open->choice);
    unsigned long long bytes = 0;
    const int ayat = measureAyahFiles(folder, TextStore::ayahCount, &bytes);
    if (ayat == 0) {
        setItemTextUtf8(IDC_RECITATION_SUMMARY, "The chosen reciter has no files on disk.");
        return;
    }
    char size[64];
    formatReciterOnDisk(size, sizeof size, ayat, bytes);
    const Reciter* reciter = findReciter(open->choice.c_str());
    char question[1024];
    std::snprintf(question, sizeof question, "Delete the recitation files of %s (%s) from\n%s?",
                  reciter ? reciter->latinName : "the typed address", size, folder.c_str());
    if (!open->prompts->ask(open->window, question, "Recitation", MB_ICONQUESTION)) return;
    const int kept = deleteAyahFiles(folder, TextStore::ayahCount, reciter != nullptr);
    char text[160];
    if (kept == 0)
        std::snprintf(text, sizeof text, "Deleted: %s.", size);
    else
        std::snprintf(text, sizeof text, "%d files could not be deleted.", kept);
    setItemTextUtf8(IDC_RECITATION_SUMMARY, text);
    showCount();
}

void onNotify(const NMHDR& header) {
    if (header.idFrom != IDC_RECITATION_RECITERS || header.code != LVN_ITEMCHANGED) return;
    const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
        !(change.uOldState & LVIS_SELECTED))
        onReciterChosen(change.iItem);
}

void onCommand(int id, int notification) {
    switch (id) {
    case IDC_RECITATION_DELETE: onDelete(); break;
    case IDC_RECITATION_CHOOSE_FOLDER: onChooseFolder(); break;
    case IDC_RECITATION_REPEAT:
        if (notification == EN_CHANGE) onRepeatChanged();
        break;
    case IDC_RECITATION_DOWNLOAD: onDownload(); break;
    case IDC_RECITATION_STOP: open->download.cancel(); break;
    case IDC_RECITATION_MEMORISE: showMemoriseDialog(open->window); break;
    case IDCANCEL: closeDialog(); break;
    default: break;
    }
}

INT_PTR CALLBACK recitationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: onInitDialog(dialog); return TRUE;
        case WM_COMMAND:
            if (open) onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            if (open && lParam) onNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return TRUE;
        case kRecitationDownloadMessage:
            if (open) onDownloadProgress(wParam == 1);
            return TRUE;
        case WM_NCDESTROY:
            delete open; // cancels and waits for a download that is still running
            open = nullptr;
            return FALSE;
        default: break;
        }
    } catch (...) { // out of memory: the dialog stays as it is
    }
    return FALSE;
}

} // namespace

void openRecitationDialog(HWND owner, Prompts* prompts) {
    if (open) {
        ShowWindow(open->window, SW_SHOWNORMAL);
        SetForegroundWindow(open->window);
        return;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    open = new (std::nothrow) DialogState;
    if (!open) return;
    open->prompts = prompts ? prompts : &systemPrompts;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RECITATION), owner,
                            recitationDialogProc, 0)) {
        delete open;
        open = nullptr;
        return;
    }
    if (open) ShowWindow(open->window, SW_SHOW);
}

HWND recitationDialog() {
    return open ? open->window : nullptr;
}

bool routeRecitationDialogMessage(MSG& message) {
    return open && open->window && IsDialogMessageW(open->window, &message);
}

void closeRecitationDialog() {
    closeDialog();
}
