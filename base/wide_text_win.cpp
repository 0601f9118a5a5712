#include "base/wide_text_win.h"

#include <climits>
#include <cstring>

namespace {

std::wstring wideFrom(UINT codePage, DWORD flags, const char* text, size_t bytes) {
    if (!text || bytes == 0 || bytes > INT_MAX) return std::wstring();
    const int length = static_cast<int>(bytes);
    const int units = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, flags, text, length, &wide[0], units) != units)
        return std::wstring();
    return wide;
}

std::wstring wideFrom(UINT codePage, DWORD flags, const char* text) {
    return text ? wideFrom(codePage, flags, text, std::strlen(text)) : std::wstring();
}

std::string narrowFrom(UINT codePage, DWORD flags, const wchar_t* wide, size_t units) {
    // At most three bytes a unit, in UTF-8 as in the multi-byte code pages.
    if (!wide || units == 0 || units > INT_MAX / 3) return std::string();
    const int length = static_cast<int>(units);
    const int bytes =
        WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(codePage, flags, wide, length, &narrow[0], bytes, nullptr, nullptr) !=
        bytes)
        return std::string();
    return narrow;
}

} // namespace

std::wstring wideFromUtf8(const char* utf8) {
    return wideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

bool tryWideFromUtf8(const char* utf8, std::wstring& wide) {
    wide = wideFromUtf8(utf8);
    return !wide.empty() || !utf8 || !*utf8;
}

std::string utf8FromWide(const wchar_t* wide) {
    return wide ? utf8FromWide(wide, std::wcslen(wide)) : std::string();
}

std::string utf8FromWide(const wchar_t* wide, size_t units) {
    return narrowFrom(CP_UTF8, WC_ERR_INVALID_CHARS, wide, units);
}

std::string utf8FromAnsi(const char* ansi, size_t length) {
    const std::wstring wide = wideFrom(CP_ACP, 0, ansi, length);
    return utf8FromWide(wide.data(), wide.size());
}

std::string ansiFromWide(const wchar_t* wide, size_t units) {
    return narrowFrom(CP_ACP, 0, wide, units);
}

int showUtf8MessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    std::wstring wideText = wideFromUtf8(text);
    if (wideText.empty()) wideText = wideFrom(CP_ACP, 0, text);
    std::wstring wideCaption = wideFromUtf8(caption);
    if (wideCaption.empty()) wideCaption = wideFrom(CP_ACP, 0, caption);
    return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), flags);
}
