#include "base/wide_text_win.h"

#include <climits>
#include <cstring>

namespace {

std::wstring wideFrom(UINT codePage, DWORD flags, const char* text) {
    if (!text || !*text) return std::wstring();
    const size_t bytes = std::strlen(text);
    if (bytes > INT_MAX) return std::wstring();
    const int length = static_cast<int>(bytes);
    const int units = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, flags, text, length, &wide[0], units) != units)
        return std::wstring();
    return wide;
}

} // namespace

std::wstring wideFromUtf8(const char* utf8) {
    return wideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::string utf8FromWide(const wchar_t* wide) {
    if (!wide || !*wide) return std::string();
    const size_t units = std::wcslen(wide);
    if (units > INT_MAX / 3) return std::string();
    const int length = static_cast<int>(units);
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string utf8(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, &utf8[0], bytes, nullptr,
                            nullptr) != bytes)
        return std::string();
    return utf8;
}

int showUtf8MessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    std::wstring wideText = wideFromUtf8(text);
    if (wideText.empty()) wideText = wideFrom(CP_ACP, 0, text);
    const std::wstring wideCaption = wideFrom(CP_ACP, 0, caption);
    return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), flags);
}
