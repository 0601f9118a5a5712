#include "app/startup_win.h"

#include "app/bookmarks_win.h"
#include "app/keyboard_win.h"
#include "app/night_scheme_win.h"
#include "app/reader_window_win.h"
#include "app/reading_plan_win.h"
#include "app/resume_win.h"
#include "arabic/arabic_edit_win.h"
#include "base/dpi_win.h"
#include "base/program_directory.h"
#include "base/wide_text_win.h"
#include "recitation/recitation_dialog_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "settings/settings_win.h"
#include "text/mushaf_pages.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The longest path the system gives a program file (UTF-16 units, terminator counted).
constexpr DWORD kLongestModulePathUnits = 32768;

// The program's own folder from its file's UTF-16 path; false when that path is cut or the
// folder is too long to hold the names beside it.
bool readProgramDirectory(ProgramContext& context) {
    std::vector<wchar_t> path(kLongestModulePathUnits, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestModulePathUnits);
    if (length == 0 || length >= kLongestModulePathUnits) return false;
    const std::string utf8 = utf8FromWide(path.data());
    char directory[kUtf8PathBytes];
    return !utf8.empty() && programDirectoryFromPath(utf8.c_str(), directory, sizeof directory) &&
           useProgramDirectory(context, directory);
}

// Riched32.dll from the system folder: by the search flag where the system knows it, else
// by its full path in the system folder.
bool loadRichEditLibrary() {
    if (LoadLibraryExW(L"riched32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 14 >= MAX_PATH) return false;
    std::wcscpy(path + length, L"\\riched32.dll");
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) != nullptr;
}

// A brush that repeats a tile of the resources; the tile stays loaded as long as the brush:
// both live for the run.
HBRUSH makeTileBrush(HINSTANCE instance, int id) {
    HBITMAP tile = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    return tile ? CreatePatternBrush(tile) : nullptr;
}

int runMessageLoop(HWND mainWindow, HACCEL keys) {
    MSG message;
    BOOL got;
    // Taken in UTF-16: the Recitation dialog is a Unicode window (the system converts what
    // goes to the reader's narrow windows).
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (routeRecitationDialogMessage(message)) continue;
        const ReaderWindow* reader = ReaderWindow::from(mainWindow);
        if (reader && translateReaderKey(mainWindow, reader->pictureWindow(), keys, message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

void showStartFailureBox(const char* text) {
    showUtf8MessageBox(nullptr, text, NORAVEL_CAPTION, MB_OK | MB_ICONERROR);
}

void restrictLibrarySearchToSystem() {
    // SetDefaultDllDirectories comes with Windows 8 (and update KB2533623 of Windows 7):
    // looked up, not linked, so that the program still starts where it is missing.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesProc>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    else
        SetDllDirectoryW(L""); // at least the current folder leaves the search
}

bool useProgramDirectory(ProgramContext& context, const char* utf8Directory) {
    context.programDirectory.clear();
    context.programDirectoryUtf8.clear();
    if (!utf8Directory || utf16UnitsOf(utf8Directory) > kMaxProgramDirectoryUnits) return false;
    const std::size_t bytes = std::strlen(utf8Directory);
    const std::wstring wide = wideFromUtf8(utf8Directory);
    if (bytes >= kUtf8PathBytes || (bytes > 0 && wide.empty())) return false;
    context.programDirectory = wide;
    context.programDirectoryUtf8 = utf8Directory;
    return true;
}

bool prepareProgramContext(HINSTANCE instance, Prompts& prompts, ProgramContext& context) {
    context.instance = instance;
    context.prompts = &prompts;
    const bool folderUsable = readProgramDirectory(context);
    // Provides the "RICHEDIT" class; stays loaded for the run.
    context.richEditLoaded = loadRichEditLibrary();
    context.backgroundBrush = makeTileBrush(instance, IDB_BACKGROUND);
    context.nightBackgroundBrush = makeTileBrush(instance, IDB_BACKGROUND_NIGHT);
    InitCommonControls();
    context.controlBrush = CreateSolidBrush(kControlColour);
    context.nightControlBrush = CreateSolidBrush(kNightControlColour);
    return folderUsable;
}

ReaderSettings readReaderSettings() {
    const SettingsValues values = readAllSettings();
    ReaderSettings settings;
    settings.fontName = values.fontName;
    settings.fontSize = values.fontSize;
    settings.language = values.language;
    return settings;
}

int runReader(HINSTANCE instance, int showCommand, StartFailureReporter reportFailure) {
    // The manifest says the same; this is for systems that do not read its DPI elements.
    becomeDpiAware();
    restrictLibrarySearchToSystem();
    MessageBoxPrompts prompts;
    ProgramContext context;
    const bool folderUsable = prepareProgramContext(instance, prompts, context);
    registerArabicEditClass(instance, context.controlBrush);
    if (!folderUsable) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "The reader cannot start from this folder: its path is longer than %u "
                      "characters.\nMove the program folder to a shorter path and start it again.",
                      static_cast<unsigned>(kMaxProgramDirectoryUnits));
        reportFailure(text);
        return kExitFolderPathTooLong;
    }

    if (!context.richEditLoaded) {
        reportFailure("The reader cannot start: the Rich Edit library (Riched32.dll) could not "
                      "be loaded from the Windows system folder.");
        return kExitRichEditMissing;
    }
    if (!ReaderWindow::registerClass(instance)) {
        reportFailure("The reader cannot start: its window class could not be registered.");
        return kExitClassNotRegistered;
    }
    // Made where it was left, so that it is made at the DPI of that monitor and no DPI
    // change resizes it on the way there.
    RECT stored{};
    const bool placed = storedWindowRect(stored);
    HWND window = ReaderWindow::create(context, readReaderSettings(),
                                       storedTranslationHeight(kDefaultTranslationHeight),
                                       placed ? &stored : nullptr);
    if (!window) {
        reportFailure("The reader cannot start: its main window could not be created.");
        return kExitWindowNotCreated;
    }
    ShowWindow(window, restoreWindowPlacement(window, showCommand));
    UpdateWindow(window);
    loadBookmarks(window, prompts);
    // The plan's portions are pages of the Madinah mushaf.
    useReadingPlanPages(firstAyahOfPage, kMushafPageCount);
    loadReadingPlan(window, prompts);

    // The companion players of the recitation end with the window that started them.
    return runMessageLoop(window, readerKeys(instance));
}
