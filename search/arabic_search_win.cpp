#include "search/arabic_search_win.h"

#include "app/process_state_win.h"
#include "arabic/arabic_bytes.h"
#include "arabic/arabic_draw_win.h"
#include "arabic/arabic_edit_win.h"
#include "base/guards_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_scan.h"
#include "search/arabic_spelling.h"
#include "search/search_query.h"
#include "search/translation_scan.h"
#include "text/text_store.h"

#include <commctrl.h>

#include <new>

char arabicQuery[kArabicQuerySize] = "";
bool arabicExactSpelling = false;

// Right to left, row by row, as the keys stand on the keyboard.
const ArabicLetterKey arabicLetterKeys[kArabicLetterKeys] = {
    {IDC_KEY_ALIF, 'h', {0xC7, 0}, 1},
    {IDC_KEY_BA, 'f', {0xC8, 0}, 1},
    {IDC_KEY_TA, 'j', {0xCA, 0}, 1},
    {IDC_KEY_TSA, 'e', {0xCB, 0}, 1},
    {IDC_KEY_JIM, '[', {0xCC, 0}, 1},
    {IDC_KEY_HA, 'p', {0xCD, 0}, 1},
    {IDC_KEY_KHA, 'o', {0xCE, 0}, 1},
    {IDC_KEY_DAL, ']', {0xCF, 0}, 1},
    {IDC_KEY_DZAL, '`', {0xD0, 0}, 1},
    {IDC_KEY_RA, 'v', {0xD1, 0}, 1},
    {IDC_KEY_ZA, '.', {0xD2, 0}, 1},
    {IDC_KEY_SIN, 's', {0xD3, 0}, 1},
    {IDC_KEY_SYIN, 'a', {0xD4, 0}, 1},
    {IDC_KEY_SHAD, 'w', {0xD5, 0}, 1},
    {IDC_KEY_DHAD, 'q', {0xD6, 0}, 1},
    {IDC_KEY_THA, '\'', {0xD8, 0}, 1},
    {IDC_KEY_ZHA, '/', {0xD9, 0}, 1},
    {IDC_KEY_AIN, 'u', {0xDA, 0}, 1},
    {IDC_KEY_GHIN, 'y', {0xDB, 0}, 1},
    {IDC_KEY_FA, 't', {0xDD, 0}, 1},
    {IDC_KEY_QAF, 'r', {0xDE, 0}, 1},
    {IDC_KEY_KAF, ';', {0xDF, 0}, 1},
    {IDC_KEY_LAM, 'g', {0xE1, 0}, 1},
    {IDC_KEY_MIM, 'l', {0xE3, 0}, 1},
    {IDC_KEY_NUN, 'k', {0xE4, 0}, 1},
    {IDC_KEY_WAU, ',', {0xE6, 0}, 1},
    {IDC_KEY_HEH, 'i', {0xE5, 0}, 1},
    {IDC_KEY_LAMALIF, 'b', {0xE1, 0xC7}, 2},
    {IDC_KEY_HAMZAH, 'x', {0xC1, 0}, 1},
    {IDC_KEY_YA, 'd', {0xED, 0}, 1},
    {IDC_KEY_ALEF_MAKSURA, 'n', {0xEC, 0}, 1},
    {IDC_KEY_YEH_HAMZA, 'z', {0xC6, 0}, 1},
    {IDC_KEY_WAW_HAMZA, 'c', {0xC4, 0}, 1},
    {IDC_KEY_ALEF_HAMZA_ABOVE, '@', {0xC3, 0}, 1},
    {IDC_KEY_ALEF_HAMZA_BELOW, '#', {0xC5, 0}, 1},
    {IDC_KEY_TEH_MARBUTA, 'm', {0xC9, 0}, 1},
    {IDC_KEY_ALEF_MADDA, '$', {0xC2, 0}, 1},
};

const ArabicLetterKey* findArabicLetterKey(int id) {
    for (const ArabicLetterKey& key : arabicLetterKeys)
        if (key.id == id) return &key;
    return nullptr;
}

namespace {

// The input field of the open dialog; the key commands send to it.
HWND field = nullptr;
void showNotFoundBox(HWND owner) {
    MessageBoxA(owner, "Not Found", "Info", MB_OK);
}

ArabicNotFoundReporter reportNotFound = showNotFoundBox;

// ---- The dialog ----

BOOL onInitDialog(HWND dialog) {
    field = CreateWindowExA(WS_EX_CLIENTEDGE, kArabicEditClass, "", WS_CHILD | WS_VISIBLE, 0, 0,
                            450, 30, dialog, nullptr, process.instance, nullptr);
    SendMessageA(field, kArabicEditSetBytes, 0, reinterpret_cast<LPARAM>(arabicQuery));
    CheckDlgButton(dialog, IDC_ARABIC_EXACT_SPELLING,
                   arabicExactSpelling ? BST_CHECKED : BST_UNCHECKED);
    return TRUE; // the dialog manager gives the focus to the first tab stop, OK
}

void onDrawItem(const DRAWITEMSTRUCT* item) {
    if (!item) return;
    const ArabicLetterKey* key = findArabicLetterKey(static_cast<int>(item->CtlID));
    if (!key) return;
    WCHAR face[3] = {};
    for (int i = 0; i < key->byteCount; ++i)
        face[i] = arabicByteToUnicode(key->bytes[i]);
    drawLetterButton(face, *item);
}

// The key's own click holds the mouse button down (a double click's second press
// arrives before the release), so the keys type past the field's mouse check.
void sendToField(WPARAM character) {
    SendMessageA(field, kArabicEditKeyMessage, character, 0);
}

// A click (or the second click of a double click on an owner-drawn key) acts; focus
// notifications do not.
bool isClick(int notification) {
    return notification == BN_CLICKED || notification == BN_DOUBLECLICKED;
}

INT_PTR onCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDOK:
        SendMessageA(field, kArabicEditGetBytes, kArabicQuerySize,
                     reinterpret_cast<LPARAM>(arabicQuery));
        arabicExactSpelling = IsDlgButtonChecked(dialog, IDC_ARABIC_EXACT_SPELLING) == BST_CHECKED;
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_KEY_DELETE:
        if (isClick(notification)) sendToField('\b');
        return TRUE;
    case IDC_KEY_SPACE:
        if (isClick(notification)) sendToField(' ');
        return TRUE;
    case IDC_KEY_CLEAR:
        if (isClick(notification))
            SendMessageA(field, kArabicEditSetBytes, 0, reinterpret_cast<LPARAM>(""));
        return TRUE;
    }
    if (const ArabicLetterKey* key = findArabicLetterKey(id)) {
        if (isClick(notification)) sendToField(static_cast<unsigned char>(key->sent));
        return TRUE;
    }
    return FALSE;
}

// Adds one line per hit. The list is redrawn once at the end, not once per line.
void listHits(HWND list, const std::vector<SearchHit>& hits) {
    char line[kResultLineSize];
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const SearchHit& hit : hits) {
        formatResultLine(line, hit.surah, hit.ayah, TextStore::translation(hit.surah, hit.ayah));
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The forms of resource 139, read again until they fit the loaded surah list.
const ArabicSpellingForms& spellingForms() {
    static ArabicSpellingForms forms{ResourceBytes{nullptr, 0}};
    if (!forms.complete()) forms = ArabicSpellingForms(findTextResource(IDT_ARABIC_SPELLING));
    return forms;
}

// The tolerant search reads the forms; without them (a damaged program file) it falls
// back to the exact search rather than finding nothing.
std::vector<SearchHit> scanForQuery(bool wholeWord) {
    if (!arabicExactSpelling && spellingForms().complete())
        return scanArabicSpelling(arabicQuery, spellingForms());
    return scanArabicTexts(arabicQuery, wholeWord, StoreArabicTexts());
}

} // namespace

HWND arabicSearchField() {
    return field;
}

INT_PTR CALLBACK arabicSearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_DRAWITEM: onDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return FALSE;
    case WM_COMMAND: return onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

void showArabicSearch(HWND owner) {
    const INT_PTR result = DialogBoxParamA(process.instance, MAKEINTRESOURCEA(IDD_ARABIC_SEARCH),
                                           owner, arabicSearchDialogProc, 0);
    field = nullptr; // destroyed with the dialog
    if (result == IDOK) runArabicSearch(owner);
}

void setArabicNotFoundReporter(ArabicNotFoundReporter reporter) {
    reportNotFound = reporter ? reporter : showNotFoundBox;
}

void runArabicSearch(HWND owner) {
    if (arabicQuery[0] == '\0') return;
    HWND main = process.mainWindow;
    // The main window's two check boxes feed the flags shared with the translation search.
    searchQuery.matchCase = IsDlgButtonChecked(main, IDC_MATCH_CASE) == BST_CHECKED;
    searchQuery.wholeWord = IsDlgButtonChecked(main, IDC_WHOLE_WORD) == BST_CHECKED;

    HWND list = GetDlgItem(main, IDC_RESULT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    try {
        listHits(list, scanForQuery(searchQuery.wholeWord));
    } catch (const std::bad_alloc&) {
        // Out of memory for the hit list: the count below reports what was listed.
    }
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    char text[kHitCountTextSize];
    formatHitCount(text, count < 0 ? 0 : count);
    SendMessageA(GetDlgItem(main, IDC_STATUS_BAR), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    if (count <= 0) reportNotFound(owner);
}

void drawLetterButton(const WCHAR* face, const DRAWITEMSTRUCT& item) {
    WCHAR text[8] = {L' '};
    for (int i = 0; face && face[i] != 0 && i + 2 < 8; ++i)
        text[i + 1] = face[i];
    {
        SelectedObject font(item.hDC, process.keyboardFont);
        drawArabicText(item.hDC, text, item.rcItem);
    }
    RECT edge = item.rcItem;
    DrawEdge(item.hDC, &edge, item.itemAction == ODA_DRAWENTIRE ? EDGE_ETCHED : EDGE_RAISED,
             BF_RECT);
}
