#include "app/startup_win.h"

#include "app/bookmarks_win.h"
#include "app/keyboard_win.h"
#include "app/main_window_win.h"
#include "app/process_state_win.h"
#include "app/program_directory.h"
#include "app/resume_win.h"
#include "app/version.h"
#include "arabic/arabic_edit_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_search_win.h"
#include "search/search_query.h"
#include "settings/settings_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstring>

ProcessState process;

namespace {

void readProgramDirectory() {
    char path[260] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) path[sizeof path - 1] = '\0';
    programDirectoryFromPath(path, process.programDirectory, sizeof process.programDirectory);
}

void readSettings() {
    const SettingsValues values = readAllSettings();
    std::memcpy(process.ayahFontName, values.fontName, sizeof process.ayahFontName);
    process.ayahFontName[sizeof process.ayahFontName - 1] = '\0';
    process.ayahFontSize = values.fontSize;
    process.language = values.language;
}

void makeBackgroundBrush() {
    // The tile stays loaded as long as the brush that repeats it: both live for the run.
    HBITMAP tile = LoadBitmapA(process.instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    if (tile) process.backgroundBrush = CreatePatternBrush(tile);
}

int runMessageLoop(HACCEL keys) {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (translateReaderKey(process.mainWindow, keys, message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

void showStartFailureBox(const char* text) {
    MessageBoxA(nullptr, text, NORAVEL_CAPTION, MB_OK | MB_ICONERROR);
}

void prepareProcessState(HINSTANCE instance) {
    readProgramDirectory();
    readSettings();
    LoadLibraryA("Riched32.dll"); // provides the "RICHEDIT" class; stays loaded for the run
    process.instance = instance;
    makeBackgroundBrush();
    InitCommonControls();
    process.controlBrush = CreateSolidBrush(kControlColour);
}

// The search texts start empty: the three phrases of the translation search and the
// Arabic query.
static void emptySearchState() {
    clearSearchWords(searchQuery);
    arabicQuery[0] = '\0';
}

int runReader(HINSTANCE instance, int showCommand, StartFailureReporter reportFailure) {
    CoInitialize(nullptr);
    registerArabicEditClass(instance);
    emptySearchState();
    prepareProcessState(instance);

    process.translationHeight = storedTranslationHeight(process.translationHeight);
    if (!registerMainWindowClass(instance)) {
        reportFailure("The reader cannot start: its window class could not be registered.");
        return kExitClassNotRegistered;
    }
    HWND window = createMainWindow(instance);
    if (!window) {
        reportFailure("The reader cannot start: its main window could not be created.");
        return kExitWindowNotCreated;
    }
    ShowWindow(window, restoreWindowPlacement(window, showCommand));
    UpdateWindow(window);
    loadBookmarks(window);

    const int exitCode = runMessageLoop(readerKeys(instance));

    // The companion player of the last recitation ends with the reader.
    TerminateProcess(process.playerProcess, 1);
    return exitCode;
}
