// The meaning of the shown surah's name in the chosen language, as the tooltip of the surah
// list: pointing at the list tells what "Al Baqarah" means ("The Cow", "Bakara", "黄牛").
#include "app/reader_window_win.h"

#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "text/translations_win.h"

#include <commctrl.h>

#include <string>

namespace {

TTTOOLINFOW surahListTool(HWND window, HWND list) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    return tool;
}

} // namespace

void ReaderWindow::showSurahMeaning(int surah) {
    HWND list = control(IDC_SURAH_LIST);
    if (!list) return;
    const std::wstring meaning =
        wideFromUtf8(std::string(chosenTranslationText().surahMeaning(surah)).c_str());
    TTTOOLINFOW tool = surahListTool(window_, list);
    tool.lpszText = const_cast<wchar_t*>(meaning.c_str());
    if (!surahTip_) {
        // Owned by the main window, which destroys it with itself.
        surahTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                    0, window_, nullptr, context_.instance, nullptr);
        if (!surahTip_) return;
        SendMessageW(surahTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    SendMessageW(surahTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring ReaderWindow::surahMeaningShown() const {
    if (!surahTip_) return std::wstring();
    wchar_t text[256] = L"";
    TTTOOLINFOW tool = surahListTool(window_, control(IDC_SURAH_LIST));
    tool.lpszText = text;
    SendMessageW(surahTip_, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}
