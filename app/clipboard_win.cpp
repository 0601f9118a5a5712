#include "app/clipboard_win.h"

#include "arabic/arabic_bytes.h"
#include "base/global_block_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/dib_win.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr UINT kTextBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;
constexpr int kTranslationLimit = 10000;  // bytes read from the translation control
constexpr DWORD kSystemMessageSize = 260; // characters of a system error text
constexpr UINT kSystemMessageFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
constexpr DWORD kUserDefaultLanguage = 0x400;

// Tells the user a failure of the copy when there is someone to tell.
void report(const ClipboardOwner& owner, const char* text, const char* caption) {
    if (owner.reportTo) owner.reportTo->tell(owner.window, text, caption, 0);
}

// A global block of size bytes holding a copy of bytes (the caller's), or nullptr after
// reporting why it could not be made.
HGLOBAL makeTextBlock(const void* bytes, size_t size, const ClipboardOwner& owner) {
    GlobalBlock block(GlobalAlloc(kTextBlockFlags, size));
    if (!block) {
        report(owner, "Error", "hMem=0");
        return nullptr;
    }
    {
        GlobalLock_ locked(block.get());
        if (!locked.data()) {
            report(owner, "Error", "pMem=0");
            return nullptr; // the guard frees the block
        }
        std::memcpy(locked.data(), bytes, size);
    }
    return block.release();
}

// The system's text for an error code, or the code itself when the system has none.
void reportSystemError(const ClipboardOwner& owner, DWORD error) {
    if (!owner.reportTo) return;
    wchar_t text[kSystemMessageSize] = L"";
    std::string utf8;
    if (FormatMessageW(kSystemMessageFlags, nullptr, error, kUserDefaultLanguage, text,
                       kSystemMessageSize, nullptr) != 0)
        utf8 = utf8FromWide(text);
    if (utf8.empty()) utf8 = "Error " + std::to_string(static_cast<unsigned long>(error));
    report(owner, utf8.c_str(), "error");
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

bool putUnicodeText(HWND mainWindow, const std::vector<WCHAR>& units) {
    return putClipboardText({mainWindow, nullptr}, CF_UNICODETEXT, units.data(),
                            units.size() * sizeof(WCHAR));
}

// The text of one result line, or "" when the list gives none.
std::wstring resultLine(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0) return std::wstring();
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&line[0]));
    if (copied <= 0) return std::wstring();
    line.resize(static_cast<size_t>(copied < length ? copied : length));
    return line;
}

} // namespace

bool putClipboardText(const ClipboardOwner& owner, UINT format, const void* bytes, size_t size) {
    if (!bytes || size == 0) return false;
    // The main window owns the clipboard after the copy. Every report comes after the
    // clipboard is closed again, so that no box keeps it from other programs.
    DWORD error = 0;
    GlobalBlock first(makeTextBlock(bytes, size, owner));
    if (!first) return false;
    switch (handToClipboard(owner.window, format, first, &error)) {
    case ClipboardHandover::Taken: return true;
    case ClipboardHandover::NotOpened: report(owner, "Error", "OpenClipboard"); return false;
    case ClipboardHandover::Refused: break; // tried once more with a fresh block
    }

    GlobalBlock second(makeTextBlock(bytes, size, owner));
    if (!second) return false;
    switch (handToClipboard(owner.window, format, second, &error)) {
    case ClipboardHandover::Taken: return true;
    case ClipboardHandover::NotOpened: return false; // both blocks freed, nothing reported
    case ClipboardHandover::Refused: break;
    }
    reportSystemError(owner, error);
    return false;
}

void copyTranslation(HWND mainWindow, Prompts& prompts) {
    wchar_t wide[kTranslationLimit] = L"";
    GetWindowTextW(GetDlgItem(mainWindow, IDC_TRANSLATION), wide, kTranslationLimit);
    wide[kTranslationLimit - 1] = L'\0';
    // The chosen translation only: a second line of reading follows it as its own paragraph.
    if (wchar_t* secondLine = std::wcschr(wide, L'\r')) *secondLine = L'\0';
    if (wide[0] == L'\0') return;
    // Unicode text in every script; the system gives programs that ask for CF_TEXT the
    // ANSI form of it, which holds the letters wherever the code page has them.
    putClipboardText({mainWindow, &prompts}, CF_UNICODETEXT, reinterpret_cast<const char*>(wide),
                     (std::wcslen(wide) + 1) * sizeof(wchar_t));
}

void copyTranslationText(HWND mainWindow, Prompts& prompts, const char* utf8Text) {
    const std::wstring wide = wideFromUtf8(utf8Text ? utf8Text : "");
    if (wide.empty()) return;
    putClipboardText({mainWindow, &prompts}, CF_UNICODETEXT, wide.c_str(),
                     (wide.size() + 1) * sizeof(wchar_t));
}

void copyResultList(HWND mainWindow) {
    try {
        HWND list = GetDlgItem(mainWindow, IDC_RESULT_LIST);
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (count <= 0) return;
        std::wstring joined;
        for (int index = 0; index < count; ++index) {
            if (index > 0) joined += L"\r\n";
            joined += resultLine(list, index);
        }
        if (joined.empty()) return;
        // Unicode, so that lines in any script copy whole; ANSI readers get the system's
        // conversion.
        putClipboardText({mainWindow, nullptr}, CF_UNICODETEXT, joined.c_str(),
                         (joined.size() + 1) * sizeof(wchar_t));
    } catch (const std::bad_alloc&) {
        // Out of memory: nothing is copied.
    }
}

void copyArabicAyah(HWND mainWindow, AyahRef ayah) {
    try {
        std::vector<WCHAR> wide;
        appendArabic(wide, TextStore::arabic(ayah.surah, ayah.ayah));
        wide.push_back(0);
        putUnicodeText(mainWindow, wide);
    } catch (const std::bad_alloc&) {
    }
}

void copyArabicSurah(HWND mainWindow, int surah) {
    try {
        std::vector<WCHAR> wide;
        const int count = TextStore::ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah) {
            appendArabic(wide, TextStore::arabic(surah, ayah));
            appendAyahNumber(wide, ayah);
        }
        wide.push_back(0);
        putUnicodeText(mainWindow, wide);
    } catch (const std::bad_alloc&) {
    }
}

void copyAyahPicture(HWND mainWindow, HBITMAP picture, int splitterLine) {
    copyPictureToClipboard(mainWindow, picture, splitterLine);
}
