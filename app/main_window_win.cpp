#include "app/main_window_win.h"

#include "app/commands_win.h"
#include "app/process_state_win.h"
#include "app/version.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

namespace {

BOOL onCreate(HWND window, LPCREATESTRUCTA) {
    process.mainWindow = window;
    TextStore::load();
    TextStore::loadArabic();
    return TRUE;
}

void onDestroy(HWND) {
    PostQuitMessage(0);
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN_ICON));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_WINDOWEDGE, kMainWindowClass, NORAVEL_CAPTION, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<LPCREATESTRUCTA>(lParam)) ? 0 : -1;
    case WM_DESTROY: onDestroy(window); return 0;
    case WM_COMMAND:
        if (handleMainWindowCommand(window, LOWORD(wParam), HIWORD(wParam),
                                    reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
