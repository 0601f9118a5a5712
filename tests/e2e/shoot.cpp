// Starts the reader, lets it settle, saves a picture of its window and closes it.
//   shoot OUTPUT.bmp [WIDTH HEIGHT]
#include "reader_session_win.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: shoot OUTPUT.bmp [WIDTH HEIGHT]\n");
        return 2;
    }
    ReaderSession reader(windowsPathOf(NORAVEL_READER_EXE));
    if (!reader.start()) {
        std::fprintf(stderr, "shoot: the reader did not start\n");
        return 1;
    }
    const int width = argc >= 4 ? std::atoi(argv[2]) : 900;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 700;
    SetWindowPos(reader.window(), HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW);
    reader.waitIdle();
    Sleep(1500); // let the X server draw what the window painted
    const bool saved = reader.saveWindowPicture(windowsPathOf(argv[1]));
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    const long code = reader.waitForExit();
    if (!saved) std::fprintf(stderr, "shoot: could not save %s\n", argv[1]);
    return saved && code == 0 ? 0 : 1;
}
