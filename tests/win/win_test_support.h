// Small helpers shared by the Windows-side test programs.
#ifndef NORAVEL_TESTS_WIN_WIN_TEST_SUPPORT_H
#define NORAVEL_TESTS_WIN_WIN_TEST_SUPPORT_H

#include "app/reader_window_win.h"
#include "app/resume_win.h"
#include "app/startup_win.h"
#include "base/prompts_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"
#include "text/translations_win.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

// The Windows form of a path of the build machine (Wine maps "/" to drive Z:).
inline std::string windowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

// The program folder the build fills (pictures, pages, companions).
inline std::string distDirectory() {
    return windowsPath(NORAVEL_DIST_DIR);
}

// Handles every message waiting for this thread; the quit message of a destroyed main
// window is dropped.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A window's text in UTF-8, read through the W call (the translation area holds any script).
inline std::string windowText(HWND window) {
    wchar_t text[10000] = L"";
    GetWindowTextW(window, text, 10000);
    return utf8FromWide(text);
}

// An ayah of the translation in force as the translation area shows it.
inline std::string shownTranslationOf(int surah, int ayah) {
    return std::string(chosenTranslationText().ayah(surah, ayah));
}

// Removes what a closed reader window stored about where it was (last ayah, window
// rectangle, splitter), so that the next window starts as a first run does.
inline void clearStoredReadingPosition() {
    const SettingsLocation& where = defaultSettingsLocation();
    for (const char* name : kReadingPositionValues)
        deleteRegistryValue(where.userRoot, where.key, where.subkey, name);
}

// What the program would tell or ask in a box, handed to the test instead: nothing waits
// for a click. Without a hook a report is dropped and a question answered No.
class TestPrompts : public Prompts {
  public:
    std::function<void(HWND owner, const char* text, const char* caption)> onTell;
    std::function<bool(HWND owner, const char* text)> onAsk;
    void tell(HWND owner, const char* text, const char* caption, UINT) override {
        if (onTell) onTell(owner, text, caption);
    }
    bool ask(HWND owner, const char* text, const char*, UINT) override {
        return onAsk ? onAsk(owner, text) : false;
    }
    void reset() {
        onTell = nullptr;
        onAsk = nullptr;
    }
};

inline TestPrompts& testPrompts() {
    static TestPrompts prompts;
    return prompts;
}

// The program context of the test program, made once as the reader makes its own, with the
// test's prompts. Tests may point its program folder elsewhere (useProgramDirectory).
inline ProgramContext& testContext() {
    static ProgramContext context;
    static const bool prepared = [] {
        prepareProgramContext(GetModuleHandleW(nullptr), testPrompts(), context);
        ReaderWindow::registerClass(context.instance);
        return true;
    }();
    (void)prepared;
    return context;
}

// The reader window the test made last (null before the first or after it is destroyed).
inline HWND& testReaderWindow() {
    static HWND window = nullptr;
    return window;
}

// The object of the test's reader window.
inline ReaderWindow& reader() {
    return *ReaderWindow::from(testReaderWindow());
}

// Makes the main window in this process as the reader does, with the build's program
// folder, a fresh first layout and a known outer size. It is not shown: without a window
// manager nothing here needs the screen. Returns null when it cannot be made.
inline HWND createReaderWindow(int width = 900, int height = 700) {
    ProgramContext& context = testContext();
    useProgramDirectory(context, distDirectory().c_str());
    clearStoredReadingPosition();
    HWND window = ReaderWindow::create(context, readReaderSettings(), kDefaultTranslationHeight);
    testReaderWindow() = window;
    if (window) SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER);
    pumpMessages();
    return window;
}

// The reader's navigation as the tests use it.
inline void selectAyah(int surah, int ayah) {
    reader().goToAyah({surah, ayah});
}
inline void showAyah(int surah, int ayah) {
    reader().showAyah({surah, ayah});
}
inline int currentSurah() {
    return reader().shownAyah().surah;
}
inline int currentAyah() {
    return reader().shownAyah().ayah;
}
// A part of a reader window's status bar in UTF-8 (the marks hold a quarter sign), read
// through the W call; "(too long)" past 511 units.
inline std::string statusBarPart(HWND window, int part) {
    wchar_t text[512] = L"";
    HWND status = GetDlgItem(window, IDC_STATUS_BAR);
    if (LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, part, 0)) >= 512) return "(too long)";
    SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return utf8FromWide(text);
}
inline HWND bitmapViewWindow() {
    return ReaderWindow::from(testReaderWindow()) ? reader().bitmapView() : nullptr;
}

#endif
