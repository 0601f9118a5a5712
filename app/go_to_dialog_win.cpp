#include "app/go_to_dialog_win.h"

#include "app/go_to_input.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <string>

namespace {

constexpr int kLongestInput = 80;

void onInitDialog(HWND dialog, LPARAM target) {
    SetWindowLongPtrW(dialog, DWLP_USER, target);
    SendDlgItemMessageW(dialog, IDC_GO_TO_TEXT, EM_LIMITTEXT, kLongestInput, 0);
}

void onOk(HWND dialog) {
    wchar_t text[kLongestInput + 1] = L"";
    GetDlgItemTextW(dialog, IDC_GO_TO_TEXT, text, kLongestInput + 1);
    const GoToTarget found =
        parseGoToInput(utf8FromWide(text), TextStore::surahName, TextStore::ayahCount);
    if (!found.found) {
        SetDlgItemTextW(dialog, IDC_GO_TO_PROBLEM, wideFromUtf8(found.problem.c_str()).c_str());
        HWND field = GetDlgItem(dialog, IDC_GO_TO_TEXT);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (auto* target = reinterpret_cast<GoToTarget*>(GetWindowLongPtrW(dialog, DWLP_USER)))
        *target = found;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK goToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog, lParam); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: try { onOk(dialog);
            } catch (...) { // out of memory: the dialog stays as it is
            }
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

INT_PTR showGoToDialog(HINSTANCE instance, HWND owner, AyahRef& chosen) {
    GoToTarget target;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_GO_TO), owner,
                                           goToDialogProc, reinterpret_cast<LPARAM>(&target));
    chosen = result == IDOK && target.found ? AyahRef{target.surah, target.ayah} : AyahRef{};
    return result;
}
