// The program's resources as Windows reads them: the three dialog templates with every
// control's id, class, kind, text and place, the icon and the background tile.
#include "resources/resource_ids.h"

#include <windows.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Expected {
    int id; // -1 for the labels and the group box
    const char* className;
    DWORD kind;     // the low style bits that say what kind of control it is
    DWORD kindMask; // which bits `kind` covers
    DWORD flags;    // further style bits that must be set
    const char* text;
    RECT place; // x, y, width, height in dialog units
};

constexpr DWORD kButtonType = 0x0F;
constexpr DWORD kComboType = 0x03;

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct DialogCheck {
    int id;
    const char* caption;
    const char* font;
    DWORD style;
    int width, height;
    std::vector<Expected> controls;
};

std::string classOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

void checkDialog(const DialogCheck& check) {
    SCOPED_TRACE(check.caption);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(check.id), nullptr,
                                     quietDialog, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(dialog), check.caption);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(style & check.style, check.style);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, check.font);

    RECT client;
    GetClientRect(dialog, &client);
    RECT size{0, 0, check.width, check.height};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    // The children in creation order are the template order (and the tab order).
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), check.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const Expected& want = check.controls[i];
        HWND child = children[i];
        SCOPED_TRACE(want.text);
        EXPECT_EQ(GetDlgCtrlID(child), want.id == -1 ? 0xFFFF : want.id);
        EXPECT_STREQ(classOf(child).c_str(), want.className);
        const DWORD childStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(childStyle & want.kindMask, want.kind);
        EXPECT_EQ(childStyle & want.flags, want.flags);
        if (std::strcmp(want.className, "ComboBox") != 0) {
            EXPECT_EQ(windowText(child), want.text);
        }
        // The dialog manager converts the position and the size separately.
        RECT origin{want.place.left, want.place.top, want.place.right, want.place.bottom};
        MapDialogRect(dialog, &origin);
        const RECT place{origin.left, origin.top, origin.left + origin.right,
                         origin.top + origin.bottom};
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, place.left);
        EXPECT_EQ(actual.top, place.top);
        EXPECT_EQ(actual.right, place.right);
        // A drop-down list's template height is that of its open list.
        if (std::strcmp(want.className, "ComboBox") != 0) {
            EXPECT_EQ(actual.bottom, place.bottom);
        }
    }
    DestroyWindow(dialog);
}

const DWORD kModal = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

Expected button(int id, const char* text, DWORD kind, RECT place, DWORD flags = 0) {
    return {id, "Button", kind, kButtonType, flags, text, place};
}
Expected label(const char* text, RECT place) {
    return {-1, "Static", SS_LEFT, 0x1F, 0, text, place};
}
// The system hands a drop-down list's WS_VSCROLL to its list and turns an edit's border
// into a sunken client edge, so those bits are not checked on the controls themselves.
Expected combo(int id, DWORD kind, RECT place, DWORD flags = 0) {
    return {id, "ComboBox", kind, kComboType, flags, "", place};
}
Expected edit(int id, RECT place) {
    return {id, "Edit", 0, 0, ES_AUTOHSCROLL | WS_TABSTOP, "", place};
}

TEST(Dialogs, SettingsDialogHasItsControlsInPlace) {
    checkDialog({IDD_SETTINGS,
                 "Setting",
                 "MS Sans Serif",
                 kModal,
                 244,
                 47,
                 {label("Font Ayat Al-Qur'an", {7, 7, 74, 12}),
                  combo(IDC_FONT_FACE, CBS_DROPDOWNLIST, {88, 7, 106, 138}),
                  combo(IDC_FONT_SIZE, CBS_DROPDOWN, {206, 7, 31, 106}, CBS_SORT),
                  button(IDOK, "OK", BS_DEFPUSHBUTTON, {131, 26, 50, 14}),
                  button(IDCANCEL, "Cancel", BS_PUSHBUTTON, {187, 26, 50, 14})}});
}

TEST(Dialogs, TranslationSearchDialogHasItsControlsInPlace) {
    checkDialog(
        {IDD_TRANSLATION_SEARCH,
         "Pencarian kata",
         "MS Sans Serif",
         kModal,
         245,
         194,
         {button(IDOK, "OK", BS_DEFPUSHBUTTON, {188, 7, 50, 14}),
          button(IDCANCEL, "Cancel", BS_PUSHBUTTON, {188, 24, 50, 14}),
          label("kata / kalimat 1", {7, 7, 57, 15}), edit(IDC_WORD_1, {71, 7, 107, 14}),
          label("kata / kalimat 2", {7, 32, 57, 15}), edit(IDC_WORD_2, {71, 33, 107, 13}),
          label("kata / kalimat 3", {7, 55, 57, 15}), edit(IDC_WORD_3, {71, 57, 107, 12}),
          label("hubungan antar kata / kalimat", {7, 81, 102, 13}),
          combo(IDC_WORD_RELATION, CBS_DROPDOWNLIST, {126, 81, 52, 74}),
          button(IDC_SEARCH_WHOLE_WORD, "kata harus utuh", BS_AUTOCHECKBOX, {7, 102, 80, 15}),
          button(IDC_SEARCH_MATCH_CASE, "huruf besar atau kecil diperhatikan", BS_AUTOCHECKBOX,
                 {7, 118, 145, 15}),
          button(IDC_SEARCH_IGNORE_ACCENTS, "abaikan aksen", BS_AUTOCHECKBOX, {100, 102, 90, 15}),
          button(-1, "Daerah Pencarian", BS_GROUPBOX, {7, 140, 231, 48}),
          button(IDC_SCOPE_ALL, "Seluruh ayat AlQuran", BS_AUTORADIOBUTTON, {16, 151, 79, 11}),
          button(IDC_SCOPE_SURAH, "Surat ", BS_AUTORADIOBUTTON, {16, 166, 55, 13}),
          combo(IDC_SCOPE_SURAH_LIST, CBS_DROPDOWNLIST, {71, 168, 148, 113})}});
}

TEST(Dialogs, ArabicSearchDialogHasItsKeysInTemplateOrder) {
    auto key = [](int id, const char* text, RECT place) {
        return button(id, text, BS_OWNERDRAW, place, WS_TABSTOP);
    };
    auto push = [](int id, const char* text, RECT place) {
        return button(id, text, BS_PUSHBUTTON, place, WS_TABSTOP);
    };
    checkDialog({IDD_ARABIC_SEARCH,
                 "Find (Arab)",
                 "Tahoma",
                 kModal | DS_CENTER,
                 309,
                 125,
                 {button(IDOK, "OK", BS_DEFPUSHBUTTON, {199, 104, 50, 14}, WS_TABSTOP),
                  push(IDCANCEL, "Cancel", {252, 104, 50, 14}),
                  key(1016, "alif", {283, 30, 19, 22}),
                  key(1021, "ba", {263, 30, 19, 22}),
                  key(1022, "ta", {243, 30, 19, 22}),
                  key(1023, "tsa", {224, 30, 19, 22}),
                  key(1024, "jim", {205, 30, 19, 22}),
                  key(1025, "ha", {185, 30, 19, 22}),
                  key(1026, "kha", {165, 30, 19, 22}),
                  key(1027, "dal", {145, 30, 19, 22}),
                  key(1028, "dzal", {125, 30, 19, 22}),
                  key(1029, "ra", {105, 30, 19, 22}),
                  key(1030, "za", {85, 30, 19, 22}),
                  key(1031, "sin", {65, 30, 19, 22}),
                  key(1032, "syin", {45, 30, 19, 22}),
                  key(1033, "shad", {25, 30, 19, 22}),
                  key(1034, "dhad", {7, 30, 19, 22}),
                  key(1035, "tha", {283, 57, 19, 20}),
                  key(1036, "zha", {262, 57, 19, 20}),
                  key(1037, "'ain", {243, 57, 19, 20}),
                  key(1038, "ghin", {223, 57, 21, 20}),
                  key(1043, "mim", {124, 57, 19, 20}),
                  key(1046, "fa", {205, 57, 19, 20}),
                  key(1047, "qaf", {185, 57, 19, 20}),
                  key(1048, "kaf", {165, 57, 19, 20}),
                  key(1049, "lam", {143, 57, 19, 20}),
                  key(1050, "nun", {103, 57, 19, 20}),
                  key(1051, "wau", {83, 57, 19, 20}),
                  key(1052, "Ha", {63, 57, 19, 20}),
                  key(1053, "lamalif", {38, 57, 24, 20}),
                  key(1054, "Hamzah", {7, 57, 28, 20}),
                  key(1055, "ya", {283, 81, 19, 19}),
                  push(1012, "Del", {89, 81, 35, 19}),
                  push(1019, "spasi", {54, 81, 33, 19}),
                  key(1056, "A", {205, 81, 19, 19}),
                  key(1057, "I", {186, 81, 19, 19}),
                  push(1040, "Hapus", {7, 81, 42, 19}),
                  key(1060, "ta:", {167, 81, 19, 19}),
                  key(1058, "ya2", {263, 81, 19, 19}),
                  key(1059, "yau", {244, 81, 19, 19}),
                  key(1061, "wu", {225, 81, 19, 19}),
                  key(1062, "aa", {145, 81, 19, 19}),
                  button(IDC_ARABIC_EXACT_SPELLING, "Ejaan persis", BS_AUTOCHECKBOX,
                         {7, 106, 80, 10}, WS_TABSTOP)}});
}

TEST(Pictures, TheIconHasA32And16PixelImage) {
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN_ICON), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(Pictures, TheBackgroundTileIs50By50With24Bits) {
    HRSRC found =
        FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        LockResource(LoadResource(GetModuleHandleA(nullptr), found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 50);
    EXPECT_EQ(header->biHeight, 50);
    EXPECT_EQ(header->biBitCount, 24);
    HBITMAP tile = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND));
    ASSERT_NE(tile, nullptr);
    HBRUSH brush = CreatePatternBrush(tile);
    EXPECT_NE(brush, nullptr);
    DeleteObject(brush);
    DeleteObject(tile);
}

} // namespace
