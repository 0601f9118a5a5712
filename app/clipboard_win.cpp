#include "app/clipboard_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "resources/version.h"
#include "arabic/arabic_bytes.h"
#include "base/global_block_win.h"
#include "base/guards_win.h"
#include "picture/dib_win.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr UINT kTextBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;
constexpr int kTranslationLimit = 10000;  // bytes read from the translation control
constexpr DWORD kSystemMessageSize = 260; // characters of a system error text
constexpr UINT kSystemMessageFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
constexpr DWORD kUserDefaultLanguage = 0x400;

MessageReporter currentReporter = showMessageBox;

void report(bool enabled, const char* text, const char* caption) {
    if (enabled) currentReporter(process.mainWindow, text, caption);
}

// A global block of size bytes holding a copy of bytes (the caller's), or nullptr after
// reporting why it could not be made.
HGLOBAL makeTextBlock(const void* bytes, size_t size, bool reportFailures) {
    GlobalBlock block(GlobalAlloc(kTextBlockFlags, size));
    if (!block) {
        report(reportFailures, "Error", "hMem=0");
        return nullptr;
    }
    {
        GlobalLock_ locked(block.get());
        if (!locked.data()) {
            report(reportFailures, "Error", "pMem=0");
            return nullptr; // the guard frees the block
        }
        std::memcpy(locked.data(), bytes, size);
    }
    return block.release();
}

// The system's text for an error code, or the code itself when the system has none.
void reportSystemError(bool reportFailures, DWORD error) {
    if (!reportFailures) return;
    char text[kSystemMessageSize] = "";
    if (FormatMessageA(kSystemMessageFlags, nullptr, error, kUserDefaultLanguage, text,
                       kSystemMessageSize, nullptr) == 0)
        std::snprintf(text, sizeof text, "Error %lu", static_cast<unsigned long>(error));
    report(true, text, "error");
}

// Appends the Arabic text converted unit by unit to UTF-16.
void appendArabic(std::vector<WCHAR>& wide, const char* text) {
    for (const char* c = text; *c != '\0'; ++c)
        wide.push_back(static_cast<WCHAR>(arabicByteToUnicode(static_cast<unsigned char>(*c))));
}

// Appends "(k)\r\n", formatted in the ANSI code page and widened.
void appendAyahNumber(std::vector<WCHAR>& wide, int ayah) {
    char number[32];
    std::snprintf(number, sizeof number, "(%i)\r\n", ayah);
    WCHAR units[32];
    const int count = MultiByteToWideChar(CP_ACP, 0, number, -1, units, 32);
    for (int i = 0; i + 1 < count; ++i) // count includes the terminator
        wide.push_back(units[i]);
}

bool putUnicodeText(const std::vector<WCHAR>& units) {
    return putClipboardText(CF_UNICODETEXT, units.data(), units.size() * sizeof(WCHAR), false);
}

// The text of one result line, or "" when the list gives none.
std::string resultLine(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0) return std::string();
    std::string line(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&line[0]));
    if (copied <= 0) return std::string();
    line.resize(static_cast<size_t>(copied < length ? copied : length));
    return line;
}

} // namespace

void showMessageBox(HWND owner, const char* text, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK);
}

MessageReporter setMessageReporter(MessageReporter reporter) {
    MessageReporter previous = currentReporter;
    currentReporter = reporter ? reporter : showMessageBox;
    return previous;
}

bool putClipboardText(UINT format, const void* bytes, size_t size, bool reportFailures) {
    if (!bytes || size == 0) return false;
    // The main window owns the clipboard after the copy. Every report comes after the
    // clipboard is closed again, so that no box keeps it from other programs.
    DWORD error = 0;
    GlobalBlock first(makeTextBlock(bytes, size, reportFailures));
    if (!first) return false;
    switch (handToClipboard(process.mainWindow, format, first, &error)) {
    case ClipboardHandover::Taken: return true;
    case ClipboardHandover::NotOpened:
        report(reportFailures, "Error", "OpenClipboard");
        return false;
    case ClipboardHandover::Refused: break; // tried once more with a fresh block
    }

    GlobalBlock second(makeTextBlock(bytes, size, reportFailures));
    if (!second) return false;
    switch (handToClipboard(process.mainWindow, format, second, &error)) {
    case ClipboardHandover::Taken: return true;
    case ClipboardHandover::NotOpened: return false; // both blocks freed, nothing reported
    case ClipboardHandover::Refused: break;
    }
    reportSystemError(reportFailures, error);
    return false;
}

void copyTranslation(HWND mainWindow) {
    char text[kTranslationLimit] = "";
    GetWindowTextA(GetDlgItem(mainWindow, IDC_TRANSLATION), text, sizeof text);
    text[sizeof text - 1] = '\0';
    if (text[0] == '\0') return;
    putClipboardText(CF_TEXT, text, std::strlen(text) + 1, true);
}

void copyResultList(HWND mainWindow) {
    try {
        HWND list = GetDlgItem(mainWindow, IDC_RESULT_LIST);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        if (count <= 0) return;
        std::string joined;
        for (int index = 0; index < count; ++index) {
            if (index > 0) joined += "\r\n";
            joined += resultLine(list, index);
        }
        if (joined.empty()) return;
        putClipboardText(CF_TEXT, joined.c_str(), joined.size() + 1, false);
    } catch (const std::bad_alloc&) {
        // Out of memory: nothing is copied.
    }
}

void copyArabicAyah(HWND) {
    try {
        std::vector<WCHAR> wide;
        appendArabic(wide, TextStore::arabic(currentSurah(), currentAyah()));
        wide.push_back(0);
        putUnicodeText(wide);
    } catch (const std::bad_alloc&) {
    }
}

void copyArabicSurah(HWND) {
    try {
        const int surah = currentSurah();
        std::vector<WCHAR> wide;
        const int count = TextStore::ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah) {
            appendArabic(wide, TextStore::arabic(surah, ayah));
            appendAyahNumber(wide, ayah);
        }
        wide.push_back(0);
        putUnicodeText(wide);
    } catch (const std::bad_alloc&) {
    }
}

void copyAyahPicture(HWND mainWindow) {
    copyPictureToClipboard(mainWindow, currentPicture, process.splitterLine);
}

void formatAboutText(char* text, size_t size) {
    if (!text || size == 0) return;
    std::snprintf(text, size, "%s\n%s, ver %s\nE-mail: %s\nHome page: %s", NORAVEL_DESCRIPTION,
                  NORAVEL_YEARS, NORAVEL_VERSION_TEXT, NORAVEL_CONTACT, NORAVEL_HOME_PAGE);
}

void showAbout(HWND mainWindow) {
    char text[512];
    formatAboutText(text, sizeof text);
    currentReporter(mainWindow, text, "About");
}
