#include "app/go_to_dialog_win.h"

#include "app/ayah_navigation_win.h"
#include "app/go_to_input.h"
#include "app/process_state_win.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

namespace {

constexpr int kLongestInput = 80;

void onInitDialog(HWND dialog, LPARAM target) {
    SetWindowLongPtrA(dialog, DWLP_USER, target);
    SendDlgItemMessageA(dialog, IDC_GO_TO_TEXT, EM_LIMITTEXT, kLongestInput, 0);
}

void onOk(HWND dialog) {
    char text[kLongestInput + 1] = "";
    GetDlgItemTextA(dialog, IDC_GO_TO_TEXT, text, sizeof text);
    const GoToTarget found = parseGoToInput(text, TextStore::surahName, TextStore::ayahCount);
    if (!found.found) {
        SetDlgItemTextA(dialog, IDC_GO_TO_PROBLEM, found.problem.c_str());
        HWND field = GetDlgItem(dialog, IDC_GO_TO_TEXT);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (auto* target = reinterpret_cast<GoToTarget*>(GetWindowLongPtrA(dialog, DWLP_USER)))
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

INT_PTR showGoToDialog(HWND owner) {
    GoToTarget target;
    const INT_PTR result = DialogBoxParamA(process.instance, MAKEINTRESOURCEA(IDD_GO_TO), owner,
                                           goToDialogProc, reinterpret_cast<LPARAM>(&target));
    if (result == IDOK && target.found) selectAyah(target.surah, target.ayah);
    return result;
}
