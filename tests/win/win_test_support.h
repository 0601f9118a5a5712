// Small helpers shared by the Windows-side test programs.
#ifndef NORAVEL_WIN_TEST_SUPPORT_H
#define NORAVEL_WIN_TEST_SUPPORT_H

#include "app/main_window_win.h"
#include "app/process_state_win.h"
#include "app/startup_win.h"

#include <windows.h>

#include <cstdio>
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
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline std::string windowText(HWND window) {
    char text[10000] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Makes the main window in this process as the reader does, with the build's program
// folder, a fresh first layout and a known outer size. It is not shown: without a window
// manager nothing here needs the screen. Returns null when it cannot be made.
inline HWND createReaderWindow(int width = 900, int height = 700) {
    static const bool prepared = [] {
        prepareProcessState(GetModuleHandleA(nullptr));
        registerMainWindowClass(process.instance);
        return true;
    }();
    (void)prepared;
    useProgramDirectory(distDirectory().c_str());
    process.firstLayout = true;
    process.translationHeight = 140;
    HWND window = createMainWindow(process.instance);
    if (window) SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER);
    pumpMessages();
    return window;
}

#endif
