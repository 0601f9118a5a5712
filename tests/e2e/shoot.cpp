// Starts the reader, brings it into a state, saves a picture of it as a BMP and closes it.
//   shoot OUTPUT.bmp [WIDTH HEIGHT [SURAH AYAH]]      the main window on an ayah
//   shoot --search WORD [--line N | --line SURAH:AYAH] OUTPUT.bmp [WIDTH HEIGHT]
//       searches the translation for WORD (whole words) through the search dialog and opens
//       line N (from 1, default 1) of the result list, or the line of that ayah: the ayah
//       with the word in bold
//   shoot --arabic OUTPUT.bmp [WIDTH HEIGHT]
//       the Arabic search dialog with "AR-RAHMAN" typed on its on-screen keyboard
//   shoot --tajwid OUTPUT.bmp [WIDTH HEIGHT [SURAH AYAH]]
//       the main window on an ayah with the tajwid window (Tajwid button) beside it
//   --language N (with any of the above) shows the translation of list index N (0 Indonesian,
//       1 English, ...), chosen in the language list; Indonesian is chosen again at the end
//   --second N (with any of the above) shows list index N as the second line of reading
//       (View > Second line), which is set back to none at the end
//   --night (with any of the above) takes the picture in the night scheme (View > Night),
//       which is switched off again before the reader closes
//   --reading (with any of the above) shows the reading view (View > Reading) on the ayah,
//       which is switched off again before the reader closes
//   --hide K (with any of the above) hides the text (View > Hide the text) and reveals its
//       first K words as K clicks on the picture do; the hiding is switched off at the end
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string searchWord;
    int line = 1;
    std::string lineOfAyah; // "SURAH:AYAH" when the line is chosen by its ayah
    bool arabic = false;
    bool tajwid = false;
    bool night = false;
    bool reading = false;
    int language = -1;
    int second = -1;
    int revealed = -1; // words revealed of the hidden ayah; -1: not hidden
    std::vector<std::string> positional;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--search" && i + 1 < argc) {
            options.searchWord = argv[++i];
        } else if (argument == "--line" && i + 1 < argc) {
            const std::string line = argv[++i];
            if (line.find(':') != std::string::npos) {
                options.lineOfAyah = line;
            } else {
                options.line = std::atoi(line.c_str());
                if (options.line < 1) return false;
            }
        } else if (argument == "--arabic") {
            options.arabic = true;
        } else if (argument == "--tajwid") {
            options.tajwid = true;
        } else if (argument == "--language" && i + 1 < argc) {
            options.language = std::atoi(argv[++i]);
        } else if (argument == "--second" && i + 1 < argc) {
            options.second = std::atoi(argv[++i]);
        } else if (argument == "--hide" && i + 1 < argc) {
            options.revealed = std::atoi(argv[++i]);
            if (options.revealed < 0) return false;
        } else if (argument == "--night") {
            options.night = true;
        } else if (argument == "--reading") {
            options.reading = true;
        } else if (argument.compare(0, 2, "--") == 0) {
            return false;
        } else {
            options.positional.push_back(argument);
        }
    }
    return !options.positional.empty() && !(options.arabic && !options.searchWord.empty());
}

// Saves what the screen shows of a window's client area (here: a dialog of the reader) as a
// 24-bit BMP. Without a window manager nobody draws the caption, so it is left out.
bool saveScreenOf(HWND window, const std::string& bmpPath) {
    RECT rect;
    if (!GetClientRect(window, &rect)) return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return saveScreenArea(rect, bmpPath);
}

// Chosen as a user chooses them: a list selection, then the list's CBN_SELENDOK (sent, so
// that the second choice cannot overtake the first).
void chooseLanguage(ReaderSession& reader, int index) {
    HWND list = reader.child(IDC_LANGUAGE_LIST);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(list));
    reader.waitIdle();
}

void showAyah(ReaderSession& reader, int surah, int ayah) {
    const int choices[2][2] = {{IDC_SURAH_LIST, surah - 1}, {IDC_AYAH_LIST, ayah - 1}};
    for (const auto& choice : choices) {
        HWND list = reader.child(choice[0]);
        SendMessageA(list, CB_SETCURSEL, choice[1], 0);
        SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(choice[0], CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(list));
        reader.waitIdle();
    }
}

// Types into a field of the dialog as key presses would (one WM_CHAR each).
void type(HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

// The index of the result line that begins with "SURAH:AYAH ", or -1. List texts come back
// from another process as UTF-16.
int lineOf(HWND list, const std::string& ayah) {
    const std::wstring prefix(ayah.begin(), ayah.end());
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length <= 0) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        if (text.compare(0, prefix.size() + 1, prefix + L" ") == 0) return i;
    }
    return -1;
}

bool searchAndOpen(ReaderSession& reader, const std::string& word, int line,
                   const std::string& lineOfAyah) {
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_TRANSLATION_SEARCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_TRANSLATION_SEARCH)));
    HWND dialog = reader.waitForWindow("#32770", "Pencarian kata");
    if (!dialog) return false;
    type(GetDlgItem(dialog, IDC_WORD_1), word);
    type(GetDlgItem(dialog, IDC_WORD_2), "");
    type(GetDlgItem(dialog, IDC_WORD_3), "");
    HWND wholeWord = GetDlgItem(dialog, IDC_SEARCH_WHOLE_WORD);
    if (SendMessageA(wholeWord, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageA(wholeWord, BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    for (int i = 0; i < 3000 && IsWindow(dialog); ++i)
        Sleep(10);
    reader.waitIdle(120000);
    HWND list = reader.child(IDC_RESULT_LIST);
    const int index = lineOfAyah.empty() ? line - 1 : lineOf(list, lineOfAyah);
    if (index < 0 || SendMessageA(list, LB_GETCOUNT, 0, 0) <= index) {
        std::fprintf(stderr, "shoot: the search for %s did not list the line asked for\n",
                     word.c_str());
        return false;
    }
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_RESULT_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return reader.waitIdle();
}

// Opens the Arabic search and clicks alif, lam, ra, ha, mim, nun; returns the dialog.
HWND typeOnArabicKeyboard(ReaderSession& reader) {
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_ARABIC_SEARCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_ARABIC_SEARCH)));
    HWND dialog = reader.waitForWindow("#32770", "Find (Arab)");
    if (!dialog) return nullptr;
    for (int key : {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_RA, IDC_KEY_HA, IDC_KEY_MIM, IDC_KEY_NUN})
        SendMessageA(GetDlgItem(dialog, key), BM_CLICK, 0, 0);
    return dialog;
}

// Clicks Tajwid and waits until the tajwid window shows the reader's ayah; returns it.
HWND openTajwidBeside(ReaderSession& reader, int surah, int ayah) {
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_TAJWID, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_TAJWID)));
    const std::string expected =
        "Tajwid - " + std::to_string(surah) + ":" + std::to_string(ayah) + " ";
    for (int i = 0; i < 200; ++i) {
        HWND window = FindWindowA("MORVENT", nullptr);
        char caption[200] = "";
        if (window) GetWindowTextA(window, caption, sizeof caption);
        if (window && std::string(caption).compare(0, expected.size(), expected) == 0) {
            RECT r;
            GetWindowRect(reader.window(), &r);
            SetWindowPos(window, HWND_TOP, r.right, r.top, 700, r.bottom - r.top, SWP_SHOWWINDOW);
            return window;
        }
        Sleep(50);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: shoot OUTPUT.bmp [WIDTH HEIGHT [SURAH AYAH]]\n"
                     "       shoot --search WORD [--line N|SURAH:AYAH] OUTPUT.bmp [WIDTH HEIGHT]\n"
                     "       shoot --arabic OUTPUT.bmp [WIDTH HEIGHT]\n");
        return 2;
    }
    const std::vector<std::string>& args = options.positional;
    ReaderSession reader(windowsPathOf(NORAVEL_READER_EXE));
    if (!reader.start()) {
        std::fprintf(stderr, "shoot: the reader did not start\n");
        return 1;
    }
    const int width = args.size() >= 3 ? std::atoi(args[1].c_str()) : 900;
    const int height = args.size() >= 3 ? std::atoi(args[2].c_str()) : 700;
    SetWindowPos(reader.window(), HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW);
    reader.waitIdle();

    if (options.language >= 0) chooseLanguage(reader, options.language);
    if (options.second >= 0) {
        SendMessageA(reader.window(), WM_COMMAND,
                     MAKEWPARAM(IDM_SECOND_LINE_FIRST + options.second, 0), 0);
        reader.waitIdle();
    }
    bool ready = true;
    HWND dialog = nullptr;
    if (!options.searchWord.empty()) {
        ready = searchAndOpen(reader, options.searchWord, options.line, options.lineOfAyah);
    } else if (options.arabic) {
        dialog = typeOnArabicKeyboard(reader);
        ready = dialog != nullptr;
    } else if (args.size() >= 5) {
        showAyah(reader, std::atoi(args[3].c_str()), std::atoi(args[4].c_str()));
    }
    HWND tajwid = nullptr;
    if (options.tajwid) {
        tajwid = openTajwidBeside(reader, args.size() >= 5 ? std::atoi(args[3].c_str()) : 1,
                                  args.size() >= 5 ? std::atoi(args[4].c_str()) : 1);
        ready = tajwid != nullptr;
    }
    if (ready && options.night) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_NIGHT, 0), 0);
        reader.waitIdle();
    }
    if (ready && options.reading) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_READING_VIEW, 0), 0);
        reader.waitIdle();
    }
    if (ready && options.revealed >= 0) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_HIDE_TEXT, 0), 0);
        for (int k = 0; k < options.revealed; ++k)
            PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_REVEAL_WORD, 0), 0);
        reader.waitIdle();
    }
    bool saved = false;
    if (ready) {
        Sleep(1500); // let the X server draw what the window painted
        const std::string path = windowsPathOf(args[0]);
        if (tajwid) {
            RECT both, second;
            GetWindowRect(reader.window(), &both);
            GetWindowRect(tajwid, &second);
            UnionRect(&both, &both, &second);
            saved = saveScreenArea(both, path);
        } else {
            saved = dialog ? saveScreenOf(dialog, path) : reader.saveWindowPicture(path);
        }
        if (!saved) std::fprintf(stderr, "shoot: could not save %s\n", args[0].c_str());
    } else {
        std::fprintf(stderr, "shoot: the reader did not reach the state to show\n");
    }
    if (dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        for (int i = 0; i < 500 && IsWindow(dialog); ++i)
            Sleep(10);
    }
    if (tajwid) {
        PostMessageA(tajwid, WM_CLOSE, 0, 0);
        for (int i = 0; i < 500 && IsWindow(tajwid); ++i)
            Sleep(10);
    }
    if (ready && options.night) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_NIGHT, 0), 0);
        reader.waitIdle();
    }
    if (ready && options.revealed >= 0) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_HIDE_TEXT, 0), 0);
        reader.waitIdle();
    }
    if (ready && options.reading) {
        PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_READING_VIEW, 0), 0);
        reader.waitIdle();
    }
    if (options.language >= 0) chooseLanguage(reader, 0);
    if (options.second >= 0) {
        SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_SECOND_LINE_NONE, 0), 0);
        reader.waitIdle();
    }
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    const long code = reader.waitForExit();
    return saved && code == 0 ? 0 : 1;
}
