// Starts the reader, lets it settle, saves a picture of its window and closes it.
//   shoot OUTPUT.bmp [WIDTH HEIGHT [SURAH AYAH]]
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: shoot OUTPUT.bmp [WIDTH HEIGHT [SURAH AYAH]]\n");
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
    if (argc >= 6) {
        // Chosen as a user chooses them: a list selection, then the list's CBN_SELENDOK
        // (sent, so that the second choice cannot overtake the first).
        const int choices[2][2] = {{IDC_SURAH_LIST, std::atoi(argv[4]) - 1},
                                   {IDC_AYAH_LIST, std::atoi(argv[5]) - 1}};
        for (const auto& choice : choices) {
            HWND list = reader.child(choice[0]);
            SendMessageA(list, CB_SETCURSEL, choice[1], 0);
            SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(choice[0], CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(list));
            reader.waitIdle();
        }
    }
    Sleep(1500); // let the X server draw what the window painted
    const bool saved = reader.saveWindowPicture(windowsPathOf(argv[1]));
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    const long code = reader.waitForExit();
    if (!saved) std::fprintf(stderr, "shoot: could not save %s\n", argv[1]);
    return saved && code == 0 ? 0 : 1;
}
