// Drives the real reader from another process: starts it, finds its window, sends it
// messages as a user's input would arrive, reads back what it shows, and closes it.
#ifndef NORAVEL_TESTS_E2E_READER_SESSION_WIN_H
#define NORAVEL_TESTS_E2E_READER_SESSION_WIN_H

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// The Windows form of a path of the build machine (Wine maps "/" to drive Z:).
std::string windowsPathOf(const std::string& unixPath);

// Copies a folder tree (the program folder) into to, made when missing; files already
// there with the same size and time are kept. Files are linked where the file system allows, which
// is as good as a copy for a reader that only reads them.
bool copyFolderTree(const std::wstring& from, const std::wstring& to);
// Puts a copy of source at target, removing target first (it may be a link).
bool replaceFile(const std::wstring& source, const std::wstring& target);

// Readers of what another process's controls show. List and combo box texts come back
// across processes as UTF-16 and are narrowed to the ANSI code page; "(none)" stands for
// a missing item.
std::string narrow(const std::wstring& wide);
// The same text in UTF-8, as it was typed.
std::string utf8Of(const std::wstring& wide);

// Waits up to ten seconds for the window to be gone; whether it is.
bool waitUntilClosed(HWND window);
// UTF-8 text (paths named in any script) as UTF-16.
std::wstring wideOfUtf8(const std::string& utf8);
std::string listItemText(HWND list, int index);
std::string comboItemText(HWND combo, int index);

// What the screen shows inside rect (screen coordinates): 24-bit rows, bottom row first,
// each padded to stride bytes, blue green red.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<BYTE> bgr;
};
bool captureScreenArea(const RECT& rect, ScreenPixels& pixels);
// Pixels inside rect darker than a mid grey: the ink of the ayah pictures.
size_t darkPixelsOnScreen(const RECT& rect);
// Saves what the screen shows inside rect (screen coordinates) as a 24-bit BMP file.
bool saveScreenArea(const RECT& rect, const std::string& bmpPath);

// A top-level window of the process with this class ("#32770" for a message box), or null.
HWND topWindowOf(DWORD processId, const char* className);

// The first child (at any depth) of parent with this class, or null.
HWND findChildWindow(HWND parent, const char* className);

// Real key presses, as a user's keyboard makes them, for the window that has the focus:
// every key of keys goes down in order and comes up in the reverse order
// (pressKeys({VK_CONTROL, 'G'}) is Ctrl+G).
void pressKeys(std::initializer_list<WORD> keys);
// A left click at a point of a window (client coordinates), as a user's mouse makes it.
void clickAt(HWND window, POINT point);

// Real key presses that type text into the window that has the focus, in any script: each
// UTF-16 unit goes down and up as a Unicode packet (KEYEVENTF_UNICODE, no virtual key), as an
// input method or an on-screen keyboard sends it. TranslateMessage makes each a WM_CHAR with
// that unit; an ANSI message loop or window gets it converted to its code page.
void typeText(const std::wstring& text);

// A window's text as UTF-16: WM_GETTEXT sent as a W message (carried across processes by the
// system), so that no code page stands between the control and the caller.
std::wstring windowTextW(HWND window);

// Removes the reader's stored reading position (see app/resume_win.h) from HKCU.
void clearStoredReadingPosition();

class ReaderSession;
// A part of the reader's status bar. SB_GETTEXT is not carried across processes, so the
// text is written into a buffer that lives in the reader and read back from there.
std::string statusBarText(const ReaderSession& reader, int part);
// Sends a message whose lParam points at a structure the control fills (LVM_GETITEMRECT and
// the like), which the system does not carry across processes: size bytes of data are copied
// into the reader's memory, lParam points there, and they are copied back. False when the
// reader's memory cannot be had.
bool sendWithReaderBuffer(const ReaderSession& reader, HWND window, UINT message, WPARAM wParam,
                          void* data, size_t size);

class ReaderSession {
  public:
    // exePath is UTF-8, so that the reader can be started from a folder named in any script.
    explicit ReaderSession(std::string exePath);
    ~ReaderSession();
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;

    // Starts the reader and waits until its main window exists and is idle. Unless told to
    // keep them, the values a reader stores at close about where it was (last ayah, window,
    // splitter) are removed first, so that every journey starts as a first run does.
    bool start(DWORD timeoutMs = 60000, bool keepReadingPosition = false);
    HWND window() const { return window_; }
    DWORD processId() const { return processInfo_.dwProcessId; }

    // Returns once the reader's user-interface thread has handled everything sent so far.
    bool waitIdle(DWORD timeoutMs = 20000) const;
    HWND child(int id) const { return GetDlgItem(window_, id); }
    std::string text(HWND control) const;
    // A choice in one of the reader's drop-down lists as a user's makes it: the selection,
    // then CBN_SELENDOK to the main window. goTo chooses the surah, then the ayah.
    bool choose(int listId, int index) const;
    bool goTo(int surah, int ayah) const;
    // A top-level window of the reader (a dialog: "#32770") with this caption, once it is
    // there; null after timeoutMs.
    HWND waitForWindow(const char* className, const char* caption, DWORD timeoutMs = 20000) const;
    // Makes the main window the foreground window, so that key presses reach it.
    bool bringToFront() const;
    // Ends the process at once, as a crash or a power cut would; true once it has ended.
    bool kill();

    // Waits for the process to end; returns its exit code, or -1 when it did not end in time.
    long waitForExit(DWORD timeoutMs = 20000);

    // Saves what the screen shows of the main window as a 24-bit BMP file.
    bool saveWindowPicture(const std::string& bmpPath) const;

  private:
    std::string exePath_;
    PROCESS_INFORMATION processInfo_{};
    HWND window_ = nullptr;
};

#endif
