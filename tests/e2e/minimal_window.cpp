// The yardstick of the start-up benchmark: the least a Win32 program does to put a picture
// on screen. It opens one window and paints one bitmap (made in memory) into it.
#include <windows.h>

namespace {

constexpr COLORREF kPictureColour = RGB(32, 96, 160);
HBITMAP picture = nullptr;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, picture);
        BitBlt(dc, 0, 0, 400, 300, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    HDC screen = GetDC(nullptr);
    picture = CreateCompatibleBitmap(screen, 400, 300);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, picture);
    HBRUSH brush = CreateSolidBrush(kPictureColour);
    RECT all{0, 0, 400, 300};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "MINIMAL_PICTURE";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "MINIMAL_PICTURE", "Minimal", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, 500, 400, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DeleteObject(picture);
    return 0;
}
