#include "app/translation_area_win.h"

#include "base/guards_win.h"
#include "base/wide_text_win.h"

#include <richedit.h>

#include <cstring>

namespace {

// Candidates per script, newest Windows first: "Nirmala UI" (Windows 8.1 on) and "Vrinda"
// (earlier) for Bengali, "Microsoft YaHei" and "SimSun" for Chinese, "Segoe UI" and "Tahoma"
// for Urdu.
const wchar_t* const kBengaliFaces[] = {L"Nirmala UI", L"Vrinda"};
const wchar_t* const kChineseFaces[] = {L"Microsoft YaHei", L"SimSun"};
// Urdu's own letters (heh goal, yeh barree) are in Segoe UI and Tahoma, not in every face a
// user may choose for the ayah font.
const wchar_t* const kUrduFaces[] = {L"Segoe UI", L"Tahoma"};

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceInstalled(const wchar_t* face) {
    WindowDc screen(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(screen.get(), &wanted, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

template <size_t N> std::wstring firstInstalled(const wchar_t* const (&faces)[N]) {
    for (const wchar_t* face : faces)
        if (faceInstalled(face)) return face;
    return faces[0]; // the system's font linking may still find its letters
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

const wchar_t* translationAreaClass() {
    static const wchar_t* loaded = []() -> const wchar_t* {
        if (loadSystemLibrary(L"Msftedit.dll")) return L"RICHEDIT50W";
        if (loadSystemLibrary(L"Riched20.dll")) return L"RichEdit20W";
        return nullptr;
    }();
    return loaded;
}

std::wstring scriptFaceFor(const TranslationLanguage& language) {
    if (std::strcmp(language.code, "bn") == 0) return firstInstalled(kBengaliFaces);
    if (std::strcmp(language.code, "zh") == 0) return firstInstalled(kChineseFaces);
    if (std::strcmp(language.code, "ur") == 0) return firstInstalled(kUrduFaces);
    return std::wstring();
}

namespace {

// Gives the characters [from, to) of the area the direction, alignment and face of a language.
void formatParagraph(HWND area, long from, long to, const TranslationLanguage& language) {
    SendMessageW(area, EM_SETSEL, from, to);
    PARAFORMAT2 paragraph{};
    paragraph.cbSize = sizeof paragraph;
    paragraph.dwMask = PFM_ALIGNMENT | PFM_RTLPARA;
    paragraph.wAlignment = static_cast<WORD>(language.rightToLeft ? PFA_RIGHT : PFA_CENTER);
    paragraph.wEffects = static_cast<WORD>(language.rightToLeft ? PFE_RTLPARA : 0);
    SendMessageW(area, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    const std::wstring face = scriptFaceFor(language);
    if (!face.empty()) {
        CHARFORMAT2W script{};
        script.cbSize = sizeof script;
        script.dwMask = CFM_FACE | CFM_CHARSET;
        script.bCharSet = DEFAULT_CHARSET;
        lstrcpynW(script.szFaceName, face.c_str(), LF_FACESIZE);
        SendMessageW(area, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&script));
    }
}

} // namespace

void showTranslationText(HWND area, std::string_view text, const TranslationLanguage& language) {
    showTranslationText(area, text, language, std::string_view(), nullptr);
}

void showTranslationText(HWND area, std::string_view text, const TranslationLanguage& language,
                         std::string_view secondText, const TranslationLanguage* second) {
    if (!area) return;
    const std::wstring first = wideFromUtf8(std::string(text).c_str());
    std::wstring whole = first;
    if (second) whole += L"\r" + wideFromUtf8(std::string(secondText).c_str());
    SetWindowTextW(area, whole.c_str());
    const long firstEnd = static_cast<long>(first.size());
    formatParagraph(area, 0, second ? firstEnd : -1, language);
    if (second) formatParagraph(area, firstEnd + 1, -1, *second);
    SendMessageW(area, EM_SETSEL, 0, 0);
}
