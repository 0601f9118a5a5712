#include "search/arabic_search_win.h"

#include "arabic/arabic_bytes.h"
#include "arabic/arabic_draw_win.h"
#include "arabic/arabic_edit_win.h"
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_scan.h"
#include "search/arabic_spelling.h"
#include "search/search_query.h"
#include "search/translation_scan.h"
#include "text/text_store.h"

#include <commctrl.h>

#include <new>

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

// The input field's size at 96 DPI.
constexpr int kArabicFieldWidth = 450;
constexpr int kArabicFieldHeight = 30;

// The keys' face font while the dialog is open, when the keyboard font does not fit it;
// none otherwise (ArabicSearchDialog::fittedKeyFont). The keys are sized in dialog units, which
// follow the dialog font's pixel height rather than the DPI itself, so the faces keep their size
// within a key when they follow that height too: 16 pixels (12 points at 96 DPI) for a dialog font
// of 11 pixels (8 points at 96 DPI).
constexpr int kKeyFacePixelsAt96 = 16;
constexpr int kDialogFontPixelsAt96 = 11;

ArabicSearchDialog* stateOf(HWND dialog) {
    return reinterpret_cast<ArabicSearchDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void dropFittedKeyFont(ArabicSearchDialog& state) {
    if (state.fittedKeyFont) DeleteObject(state.fittedKeyFont);
    state.fittedKeyFont = nullptr;
}

// The keyboard font at the height in proportion to the dialog's font.
void fitKeyFontToDialog(HWND dialog, ArabicSearchDialog& state) {
    dropFittedKeyFont(state);
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW dialogDescription{}, keyDescription{};
    if (!dialogFont || !state.keyboardFont ||
        !GetObjectW(dialogFont, sizeof dialogDescription, &dialogDescription) ||
        !GetObjectW(state.keyboardFont, sizeof keyDescription, &keyDescription))
        return;
    const int dialogPixels =
        dialogDescription.lfHeight < 0 ? -dialogDescription.lfHeight : dialogDescription.lfHeight;
    const LONG wanted = -MulDiv(kKeyFacePixelsAt96, dialogPixels, kDialogFontPixelsAt96);
    if (dialogPixels == 0 || wanted == keyDescription.lfHeight) return;
    keyDescription.lfHeight = wanted;
    keyDescription.lfWidth = 0;
    state.fittedKeyFont = CreateFontIndirectW(&keyDescription);
}

// ---- The dialog ----

BOOL onInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrW(dialog, DWLP_USER, parameter);
    ArabicSearchDialog* state = stateOf(dialog);
    if (!state || !state->memory) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    const int dpi = windowDpi(dialog);
    state->field =
        CreateWindowExW(WS_EX_CLIENTEDGE, kArabicEditClassW, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                        scaledForDpi(kArabicFieldWidth, dpi), scaledForDpi(kArabicFieldHeight, dpi),
                        dialog, nullptr, state->instance, nullptr);
    SendMessageW(state->field, kArabicEditSetBytes, 0,
                 reinterpret_cast<LPARAM>(state->memory->arabic));
    CheckDlgButton(dialog, IDC_ARABIC_EXACT_SPELLING,
                   state->memory->exactSpelling ? BST_CHECKED : BST_UNCHECKED);
    fitKeyFontToDialog(dialog, *state);
    return TRUE; // the dialog manager gives the focus to the first tab stop, OK
}

void onDestroy(HWND dialog) {
    if (ArabicSearchDialog* state = stateOf(dialog)) {
        state->field = nullptr; // destroyed with the dialog
        dropFittedKeyFont(*state);
    }
}

void onDrawItem(HWND dialog, const DRAWITEMSTRUCT* item) {
    const ArabicSearchDialog* state = stateOf(dialog);
    if (!item || !state) return;
    const ArabicLetterKey* key = findArabicLetterKey(static_cast<int>(item->CtlID));
    if (!key) return;
    WCHAR face[3] = {};
    for (int i = 0; i < key->byteCount; ++i)
        face[i] = arabicByteToUnicode(key->bytes[i]);
    drawLetterButton(face, *item,
                     state->fittedKeyFont ? state->fittedKeyFont : state->keyboardFont);
}

// The key's own click holds the mouse button down (a double click's second press
// arrives before the release), so the keys type past the field's mouse check.
void sendToField(HWND field, WPARAM character) {
    SendMessageW(field, kArabicEditKeyMessage, character, 0);
}

// A click (or the second click of a double click on an owner-drawn key) acts; focus
// notifications do not.
bool isClick(int notification) {
    return notification == BN_CLICKED || notification == BN_DOUBLECLICKED;
}

INT_PTR onCommand(HWND dialog, int id, int notification) {
    ArabicSearchDialog* state = stateOf(dialog);
    if (!state) return FALSE;
    HWND field = state->field;
    switch (id) {
    case IDOK:
        SendMessageW(field, kArabicEditGetBytes, kArabicQuerySize,
                     reinterpret_cast<LPARAM>(state->memory->arabic));
        state->memory->exactSpelling =
            IsDlgButtonChecked(dialog, IDC_ARABIC_EXACT_SPELLING) == BST_CHECKED;
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_KEY_DELETE:
        if (isClick(notification)) sendToField(field, '\b');
        return TRUE;
    case IDC_KEY_SPACE:
        if (isClick(notification)) sendToField(field, ' ');
        return TRUE;
    case IDC_KEY_CLEAR:
        if (isClick(notification))
            SendMessageW(field, kArabicEditSetBytes, 0, reinterpret_cast<LPARAM>(""));
        return TRUE;
    }
    if (const ArabicLetterKey* key = findArabicLetterKey(id)) {
        if (isClick(notification)) sendToField(field, static_cast<unsigned char>(key->sent));
        return TRUE;
    }
    return FALSE;
}

// Adds one line per hit. The list is redrawn once at the end, not once per line.
void listHits(HWND list, const std::vector<SearchHit>& hits) {
    char line[kResultLineSize];
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const SearchHit& hit : hits) {
        formatResultLine(line, hit.surah, hit.ayah, TextStore::translation(hit.surah, hit.ayah));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(line).c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
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
std::vector<SearchHit> scanForQuery(const SearchMemory& memory, bool wholeWord) {
    if (!memory.exactSpelling && spellingForms().complete())
        return scanArabicSpelling(memory.arabic, spellingForms());
    return scanArabicTexts(memory.arabic, wholeWord, StoreArabicTexts());
}

} // namespace

HWND arabicSearchField(HWND dialog) {
    const ArabicSearchDialog* state = stateOf(dialog);
    return state ? state->field : nullptr;
}

INT_PTR CALLBACK arabicSearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog, lParam);
    case WM_DRAWITEM:
        onDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return FALSE;
    case WM_COMMAND: return onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY: onDestroy(dialog); return FALSE;
    }
    return FALSE;
}

bool showArabicSearch(const ProgramContext& context, ReaderView& reader, SearchMemory& memory) {
    ArabicSearchDialog state;
    state.instance = context.instance;
    state.memory = &memory;
    state.keyboardFont = reader.keyboardFont();
    const INT_PTR result =
        DialogBoxParamW(context.instance, MAKEINTRESOURCEW(IDD_ARABIC_SEARCH), reader.window(),
                        arabicSearchDialogProc, reinterpret_cast<LPARAM>(&state));
    dropFittedKeyFont(state); // should the dialog have gone without its WM_DESTROY
    return result == IDOK;
}

void runArabicSearch(const ProgramContext& context, ReaderView& reader, SearchMemory& memory,
                     bool matchCase, bool wholeWord) {
    if (memory.arabic[0] == '\0') return;
    // The main window's two check boxes feed the flags shared with the translation search.
    memory.translation.matchCase = matchCase;
    memory.translation.wholeWord = wholeWord;

    HWND list = reader.resultList();
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    try {
        listHits(list, scanForQuery(memory, wholeWord));
    } catch (const std::bad_alloc&) {
        // Out of memory for the hit list: the count below reports what was listed.
    }
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    char text[kHitCountTextSize];
    formatHitCount(text, count < 0 ? 0 : count);
    reader.setStatusText(1, text);
    memory.marksArabic = count > 0;
    markArabicSearch(reader, memory);
    if (count <= 0) context.prompts->tell(reader.window(), "Not Found", "Info", 0);
}

void markArabicSearch(ReaderView& reader, const SearchMemory& memory) {
    const AyahRef shown = reader.shownAyah();
    if (!memory.marksArabic || shown.surah < 1) {
        reader.markArabicText({}, false);
        return;
    }
    try {
        // The tolerant search marks what the query met in the ayah's form, as it searched.
        if (!memory.exactSpelling && spellingForms().complete())
            reader.markArabicText(
                matchedSpellingBytes(spellingForms().arabic(shown.surah, shown.ayah),
                                     memory.arabic),
                true);
        else
            reader.markArabicText(matchedArabicBytes(TextStore::arabic(shown.surah, shown.ayah),
                                                     memory.arabic, memory.translation.wholeWord),
                                  false);
    } catch (const std::bad_alloc&) {
        reader.markArabicText({}, false);
    }
}

void drawLetterButton(const WCHAR* face, const DRAWITEMSTRUCT& item, HFONT font) {
    WCHAR text[8] = {L' '};
    for (int i = 0; face && face[i] != 0 && i + 2 < 8; ++i)
        text[i + 1] = face[i];
    {
        SelectedObject selected(item.hDC, font);
        drawArabicText(item.hDC, text, item.rcItem);
    }
    RECT edge = item.rcItem;
    DrawEdge(item.hDC, &edge, item.itemAction == ODA_DRAWENTIRE ? EDGE_ETCHED : EDGE_RAISED,
             BF_RECT);
}
