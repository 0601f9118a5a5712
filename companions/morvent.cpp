// morvent: the reader's companion tajwid reference. One window, opened maximised, that
// presents the main rules of tajwid (the rules of reciting the Quran) as a read-only text.
#include <windows.h>

namespace {

constexpr char kClassName[] = "MORVENT";
constexpr char kCaption[] = "Tajwid - the rules of recitation";
constexpr int kTextId = 1;

const char kRules[] =
    "TAJWID: THE MAIN RULES OF RECITATION\r\n"
    "\r\n"
    "Tajwid means giving every letter its due: its place of articulation, its qualities and "
    "its length. The rules below are the ones a reader meets on nearly every page.\r\n"
    "\r\n"
    "1. NUN SAKINAH AND TANWIN (a nun without a vowel, or the doubled ending -an, -in, -un)\r\n"
    "   Izhar (clear): before the six throat letters (hamzah, ha, ain, ha, ghin, kha) the nun "
    "is pronounced plainly, without nasal prolongation.\r\n"
    "   Idgham (merging): before ya, nun, mim and wau the nun merges into the next letter "
    "with a nasal sound (ghunnah); before lam and ra it merges without ghunnah. Inside one "
    "word there is no idgham.\r\n"
    "   Iqlab (turning): before ba the nun turns into a hidden mim, held with ghunnah.\r\n"
    "   Ikhfa (hiding): before the remaining fifteen letters the nun is hidden: the tongue "
    "prepares the next letter while the nose carries the sound for about two counts.\r\n"
    "\r\n"
    "2. MIM SAKINAH (a mim without a vowel)\r\n"
    "   Ikhfa syafawi: before ba the mim is hidden with the lips lightly closed, with ghunnah.\r\n"
    "   Idgham mitslain: before another mim the two merge into one doubled mim with ghunnah.\r\n"
    "   Izhar syafawi: before every other letter the mim is clear, above all before wau and "
    "fa.\r\n"
    "\r\n"
    "3. GHUNNAH\r\n"
    "   A doubled nun or a doubled mim (with shaddah) is always held with a nasal sound of "
    "two counts.\r\n"
    "\r\n"
    "4. QALQALAH (echo)\r\n"
    "   The five letters qaf, tha, ba, jim and dal, when they carry no vowel, are released "
    "with a slight bounce. The bounce is stronger when the reader stops on such a letter at "
    "the end of an ayah.\r\n"
    "\r\n"
    "5. MAD (lengthening)\r\n"
    "   Natural mad: alif after fathah, ya after kasrah and wau after dammah are held for two "
    "counts.\r\n"
    "   Connected mad (wajib muttasil): a mad letter followed by hamzah in the same word, four "
    "or five counts.\r\n"
    "   Separated mad (jaiz munfasil): a mad letter at the end of a word and hamzah at the "
    "start of the next, two, four or five counts.\r\n"
    "   Mad arid lissukun: a mad letter before the last letter of an ayah where the reader "
    "stops, two, four or six counts.\r\n"
    "   Mad lazim: a mad letter followed by a letter with a fixed sukun or shaddah, six "
    "counts.\r\n"
    "\r\n"
    "6. LAM OF THE ARTICLE (al-)\r\n"
    "   Qamariyah (moon letters): the lam is pronounced, as in al-qamar.\r\n"
    "   Syamsiyah (sun letters): the lam is silent and the next letter is doubled, as in "
    "asy-syams.\r\n"
    "\r\n"
    "7. RA: HEAVY OR LIGHT\r\n"
    "   Ra is heavy (tafkhim) with fathah or dammah, and light (tarqiq) with kasrah or after "
    "a kasrah when it has no vowel.\r\n"
    "\r\n"
    "8. STOPPING (waqf)\r\n"
    "   At a stop the last vowel is dropped; a ta marbutah is read as ha; a tanwin fathah is "
    "read as a long a. Follow the stop signs of the mushaf: a small mim requires a stop, la "
    "forbids it, and the other signs allow either.\r\n";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HWND text = CreateWindowExA(
            WS_EX_CLIENTEDGE, "EDIT", kRules,
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
            0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
            reinterpret_cast<LPCREATESTRUCTA>(lParam)->hInstance, nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     0);
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, kTextId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window =
        CreateWindowA(kClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
