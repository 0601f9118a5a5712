#include "recitation/memorise_dialog_win.h"

#include "base/wide_text_win.h"
#include "recitation/memorise_input.h"
#include "recitation/memorise_settings_win.h"
#include "recitation/time_stretch.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "text/text_store.h"

#include <cstdio>
#include <string>

namespace {

std::string itemText(HWND dialog, int id) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, id, text, 64);
    return utf8FromWide(text);
}

void setItemText(HWND dialog, int id, const char* text) {
    SetDlgItemTextW(dialog, id, wideFromUtf8(text).c_str());
}

void setTenths(HWND dialog, int id, int tenths) {
    char text[16];
    if (formatTenths(text, sizeof text, tenths)) setItemText(dialog, id, text);
}

void onInitDialog(HWND dialog) {
    const MemoriseSettings s = readMemoriseSettings();
    char text[32];
    if (formatAyahText(text, sizeof text, s.rangeFrom))
        setItemText(dialog, IDC_MEMORISE_FROM, text);
    if (formatAyahText(text, sizeof text, s.rangeTo)) setItemText(dialog, IDC_MEMORISE_TO, text);
    SetDlgItemInt(dialog, IDC_MEMORISE_PASSES, static_cast<UINT>(s.passes), FALSE);
    const int radio = s.pauses.afterAyah == AyahPause::kFixed            ? IDC_MEMORISE_PAUSE_FIXED
                      : s.pauses.afterAyah == AyahPause::kLengthMultiple ? IDC_MEMORISE_PAUSE_LENGTH
                                                                         : IDC_MEMORISE_PAUSE_NONE;
    CheckRadioButton(dialog, IDC_MEMORISE_PAUSE_NONE, IDC_MEMORISE_PAUSE_LENGTH, radio);
    setTenths(dialog, IDC_MEMORISE_PAUSE_SECONDS, s.pauses.ayahTenths);
    setTenths(dialog, IDC_MEMORISE_PAUSE_TIMES, s.pauses.ayahLengthPercent / 10);
    setTenths(dialog, IDC_MEMORISE_PASS_SECONDS, s.pauses.afterPassTenths);
    HWND speed = GetDlgItem(dialog, IDC_MEMORISE_SPEED);
    for (int p = 50; p <= 200; p += 5) {
        std::snprintf(text, sizeof text, "%d.%02dx", p / 100, p % 100);
        SendMessageW(speed, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
    }
    SendMessageW(speed, CB_SETCURSEL, static_cast<WPARAM>((s.speedPercent - 50) / 5), 0);
}

// Names the field that is wrong and puts the focus on it.
bool refuse(HWND dialog, int id, const wchar_t* text) {
    MessageBoxW(dialog, text, wideFromUtf8(NORAVEL_CAPTION).c_str(), MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(dialog, id));
    return false;
}

// A tenths field within [least, most], or 0 when `zeroAllowed` and it says 0.
bool readTenths(HWND dialog, int id, int least, int most, bool zeroAllowed, int* tenths) {
    return parseTenths(itemText(dialog, id).c_str(), tenths) &&
           ((*tenths >= least && *tenths <= most) || (zeroAllowed && *tenths == 0));
}

bool onOk(HWND dialog) {
    AyahRef from, to;
    if (!parseAyahText(itemText(dialog, IDC_MEMORISE_FROM).c_str(), TextStore::ayahCount, &from))
        return refuse(dialog, IDC_MEMORISE_FROM, L"Type the first ayah as surah:ayah, like 2:255.");
    if (!parseAyahText(itemText(dialog, IDC_MEMORISE_TO).c_str(), TextStore::ayahCount, &to))
        return refuse(dialog, IDC_MEMORISE_TO, L"Type the last ayah as surah:ayah, like 2:286.");
    if (from.valid() != to.valid())
        return refuse(dialog, from.valid() ? IDC_MEMORISE_TO : IDC_MEMORISE_FROM,
                      L"A range needs both its ayat (or neither, for no range).");
    BOOL number = FALSE;
    const UINT passes = GetDlgItemInt(dialog, IDC_MEMORISE_PASSES, &number, FALSE);
    if (!number || passes > kMaxPasses)
        return refuse(dialog, IDC_MEMORISE_PASSES, L"Passes: 1 to 99, or 0 for without end.");
    int kind = static_cast<int>(AyahPause::kNone);
    if (IsDlgButtonChecked(dialog, IDC_MEMORISE_PAUSE_FIXED) == BST_CHECKED)
        kind = static_cast<int>(AyahPause::kFixed);
    if (IsDlgButtonChecked(dialog, IDC_MEMORISE_PAUSE_LENGTH) == BST_CHECKED)
        kind = static_cast<int>(AyahPause::kLengthMultiple);
    int ayahTenths = 0, lengthTenths = 0, passTenths = 0;
    if (!readTenths(dialog, IDC_MEMORISE_PAUSE_SECONDS, kMinPauseTenths, kMaxPauseTenths, false,
                    &ayahTenths))
        return refuse(dialog, IDC_MEMORISE_PAUSE_SECONDS,
                      L"The pause after each ayah: 0.5 to 10 seconds.");
    if (!readTenths(dialog, IDC_MEMORISE_PAUSE_TIMES, kMinPauseLengthPercent / 10,
                    kMaxPauseLengthPercent / 10, false, &lengthTenths))
        return refuse(dialog, IDC_MEMORISE_PAUSE_TIMES,
                      L"The pause as long as the ayah: 0.5 to 3 times.");
    if (!readTenths(dialog, IDC_MEMORISE_PASS_SECONDS, kMinPauseTenths, kMaxPauseTenths, true,
                    &passTenths))
        return refuse(dialog, IDC_MEMORISE_PASS_SECONDS,
                      L"The pause after each pass: 0.5 to 10 seconds, or 0 for none.");
    const int speed = 50 + 5 * static_cast<int>(SendDlgItemMessageW(dialog, IDC_MEMORISE_SPEED,
                                                                    CB_GETCURSEL, 0, 0));
    const bool stored = writeRepeatRangeEnd(true, from) && writeRepeatRangeEnd(false, to) &&
                        writeMemoriseSetting(kRepeatRangePassesValue, static_cast<int>(passes)) &&
                        writeMemoriseSetting(kPauseAfterAyahValue, kind) &&
                        writeMemoriseSetting(kPauseAfterAyahTenthsValue, ayahTenths) &&
                        writeMemoriseSetting(kPauseAfterAyahPercentValue, lengthTenths * 10) &&
                        writeMemoriseSetting(kPauseAfterPassTenthsValue, passTenths) &&
                        writePlaySpeed(speed);
    if (!stored) return refuse(dialog, IDOK, L"The settings could not be stored.");
    return true;
}

INT_PTR CALLBACK memoriseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    try {
        switch (message) {
        case WM_INITDIALOG: onInitDialog(dialog); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                if (onOk(dialog)) EndDialog(dialog, IDOK);
                return TRUE;
            case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
            default: return FALSE;
            }
        default: break;
        }
    } catch (...) { // out of memory: the dialog stays as it is
    }
    return FALSE;
}

} // namespace

bool showMemoriseDialog(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MEMORISE), owner,
                           memoriseDialogProc, 0) == IDOK;
}
