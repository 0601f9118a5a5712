// Ids of every resource, menu item, dialog and control of the reader.
// Shared by the resource script (resources/noravel.rc) and the code, so it holds
// preprocessor constants only.
#ifndef NORAVEL_RESOURCES_RESOURCE_IDS_H
#define NORAVEL_RESOURCES_RESOURCE_IDS_H

// Resources.
#define IDR_MAIN_MENU 111
#define IDI_MAIN_ICON 110
#define IDB_BACKGROUND 122
#define IDB_BACKGROUND_NIGHT 123
#define IDD_SETTINGS 102
#define IDD_TRANSLATION_SEARCH 107
#define IDD_ARABIC_SEARCH 138
#define IDD_GO_TO 140
#define IDD_ADD_BOOKMARK 141
#define IDD_BOOKMARKS 142
#define IDR_MAIN_ACCELERATORS 150
#define IDD_RECITATION 143

// Text resources of type "TXT".
#define IDT_SURAH_LIST 130
#define IDT_INDONESIAN 131
#define IDT_ENGLISH 133
#define IDT_ARABIC 134
#define IDT_RECITATION_TIMING 137
#define IDT_ARABIC_SPELLING 139
// The translations in UTF-8 with the meanings of the surah names (text/translation_text.h).
#define IDT_TRANSLATION_ID 150
#define IDT_TRANSLATION_EN 151
#define IDT_TRANSLATION_BN 152
#define IDT_TRANSLATION_ZH 153
#define IDT_TRANSLATION_FR 154
#define IDT_TRANSLATION_RU 155
#define IDT_TRANSLATION_ES 156
#define IDT_TRANSLATION_SV 157
#define IDT_TRANSLATION_TR 158
#define IDT_TRANSLATION_UR 159
#define IDT_TRANSLATION_TRANSLIT 160

// Menu commands.
#define IDM_EXIT 57665
#define IDM_COPY_PICTURE 40004
#define IDM_COPY_ARABIC_AYAH 40007
#define IDM_COPY_ARABIC_SURAH 40008
#define IDM_COPY_TRANSLATION 40005
#define IDM_COPY_RESULTS 40006
#define IDM_COMMENTARY_PAGE 111
#define IDM_HELP_PAGE 40012
#define IDM_ABOUT 40001
#define IDM_SETTINGS 40002
#define IDM_NEXT_AYAH 40020
#define IDM_PREVIOUS_AYAH 40021
#define IDM_NEXT_SURAH 40022
#define IDM_PREVIOUS_SURAH 40023
#define IDM_GO_TO 40024
#define IDM_ADD_BOOKMARK 40025
#define IDM_BOOKMARKS 40026
// The Bookmarks menu's last ten bookmarks, newest first.
#define IDM_BOOKMARK_FIRST 40030
#define IDM_BOOKMARK_LAST 40039
// The translation search, Arabic search and Listen items carry their buttons' ids.
// A command that no menu item or control carries: something must send it.
#define IDM_READING_HISTORY 40013
// The Recitation dialog (folder, repeats, download).
#define IDM_RECITATION 40040
// The picture's zoom, 75% to 200% of its size for the screen, and the night scheme.
#define IDM_ZOOM_IN 40041
#define IDM_ZOOM_OUT 40042
#define IDM_ZOOM_RESET 40043
#define IDM_NIGHT 40044
#define IDM_TRANSLATION_CREDITS 40048
// View > Second line: none, or the language of list index (id - IDM_SECOND_LINE_FIRST).
#define IDM_SECOND_LINE_NONE 40050
#define IDM_SECOND_LINE_FIRST 40051
#define IDM_SECOND_LINE_LAST 40061
// The Recitation menu: the Recitation window, then one item per built-in reciter and the
// typed address (40101 and on).
#define IDM_RECITER_WINDOW 40100
#define IDM_RECITER_FIRST 40101
#define IDM_RECITER_LAST 40160
// Memorising: the repeated range and the speed.
#define IDM_REPEAT_FROM_HERE 40270
#define IDM_REPEAT_TO_HERE 40271
#define IDM_REPEAT_CLEAR 40272
#define IDM_SPEED_DOWN 40273
#define IDM_SPEED_UP 40274
#define IDM_MEMORISE 40275
// View > Hide the text, and revealing the hidden ayah word by word (a click on the picture,
// Space) or whole (Enter).
#define IDM_HIDE_TEXT 40280
#define IDM_REVEAL_WORD 40281
#define IDM_REVEAL_ALL 40282
// View > Next page, Previous page: the first ayah of the next or previous page of the mushaf.
#define IDM_NEXT_PAGE 40320
#define IDM_PREVIOUS_PAGE 40321
// View > Reading: the surah's ayat in one scrolling column (app/reading_view_win.h).
#define IDM_READING_VIEW 40300
// The Memorise dialog.
#define IDD_MEMORISE 270
#define IDC_MEMORISE_FROM 2700
#define IDC_MEMORISE_TO 2701
#define IDC_MEMORISE_PASSES 2702
#define IDC_MEMORISE_PAUSE_NONE 2703
#define IDC_MEMORISE_PAUSE_FIXED 2704
#define IDC_MEMORISE_PAUSE_LENGTH 2705
#define IDC_MEMORISE_PAUSE_SECONDS 2706
#define IDC_MEMORISE_PAUSE_TIMES 2707
#define IDC_MEMORISE_PASS_SECONDS 2708
#define IDC_MEMORISE_SPEED 2709
#define IDC_RECITATION_MEMORISE 2710

// View > Reading plan... and its dialog.
#define IDM_READING_PLAN 40340
#define IDD_READING_PLAN 290
#define IDC_PLAN_DAYS 2900
#define IDC_PLAN_DAYS_SPIN 2901
#define IDC_PLAN_START 2902
#define IDC_PLAN_CARRY 2903
#define IDC_PLAN_SPREAD 2904
#define IDC_PLAN_BEGIN 2905
#define IDC_PLAN_STOP 2906
#define IDC_PLAN_TODAY 2907
#define IDC_PLAN_PROGRESS 2908
#define IDC_PLAN_DAYS_LIST 2909
#define IDC_PLAN_MARK_READ 2910
#define IDC_PLAN_GO_TO 2911

// Main window controls.
#define IDC_STATUS_BAR 1000
#define IDC_TRANSLATION 306
#define IDC_RESULT_LIST 301
#define IDC_SURAH_LIST 303
#define IDC_AYAH_LIST 304
#define IDC_TRANSLATION_SEARCH 302
#define IDC_ARABIC_SEARCH 118
#define IDC_TAJWID 400
#define IDC_CONTINUE 113
#define IDC_RECITATION_SCOPE 155
#define IDC_LISTEN 112
#define IDC_MATCH_CASE 307
#define IDC_WHOLE_WORD 308
#define IDC_LANGUAGE_LIST 401
#define IDC_AYAH_STEPPER 305

// Settings dialog (102).
#define IDC_FONT_FACE 303
#define IDC_FONT_SIZE 304

// Go to dialog (140).
#define IDC_GO_TO_TEXT 1101
#define IDC_GO_TO_PROBLEM 1102

// Add bookmark (141) and Bookmarks (142) dialogs.
#define IDC_BOOKMARK_AYAH 1110
#define IDC_BOOKMARK_NOTE 1111
#define IDC_BOOKMARK_LIST 1112
#define IDC_BOOKMARK_RENAME 1113
#define IDC_BOOKMARK_DELETE 1114

// Recitation dialog (143): its controls take ids 1120 to 1149.
#define IDC_RECITATION_FIRST_ID 1120
#define IDC_RECITATION_LAST_ID 1149
#define IDC_RECITATION_FOLDER 1120
#define IDC_RECITATION_CHOOSE_FOLDER 1121
#define IDC_RECITATION_COUNT 1122
#define IDC_RECITATION_REPEAT 1123
#define IDC_RECITATION_REPEAT_SPIN 1124
#define IDC_RECITATION_ADDRESS 1125
#define IDC_RECITATION_WHOLE 1126
#define IDC_RECITATION_SURAHS 1127
#define IDC_RECITATION_FIRST_SURAH 1128
#define IDC_RECITATION_LAST_SURAH 1129
#define IDC_RECITATION_DOWNLOAD 1130
#define IDC_RECITATION_STOP 1131
#define IDC_RECITATION_PROGRESS 1132
#define IDC_RECITATION_STATUS 1133
#define IDC_RECITATION_SUMMARY 1134
#define IDC_RECITATION_RECITERS 1135
#define IDC_RECITATION_DELETE 1136

// Translation search dialog (107).
#define IDC_WORD_1 1001
#define IDC_WORD_2 1002
#define IDC_WORD_3 1003
#define IDC_WORD_RELATION 1011
#define IDC_SEARCH_WHOLE_WORD 308
#define IDC_SEARCH_MATCH_CASE 307
#define IDC_SEARCH_IGNORE_ACCENTS 319
#define IDC_SCOPE_ALL 1006
#define IDC_SCOPE_SURAH 1008
#define IDC_SCOPE_SURAH_LIST 1013

// Arabic search dialog (138): the command keys ...
#define IDC_KEY_DELETE 1012
#define IDC_KEY_SPACE 1019
#define IDC_KEY_CLEAR 1040
// ... and the 37 letter keys, right to left, row by row.
#define IDC_KEY_ALIF 1016
#define IDC_KEY_BA 1021
#define IDC_KEY_TA 1022
#define IDC_KEY_TSA 1023
#define IDC_KEY_JIM 1024
#define IDC_KEY_HA 1025
#define IDC_KEY_KHA 1026
#define IDC_KEY_DAL 1027
#define IDC_KEY_DZAL 1028
#define IDC_KEY_RA 1029
#define IDC_KEY_ZA 1030
#define IDC_KEY_SIN 1031
#define IDC_KEY_SYIN 1032
#define IDC_KEY_SHAD 1033
#define IDC_KEY_DHAD 1034
#define IDC_KEY_THA 1035
#define IDC_KEY_ZHA 1036
#define IDC_KEY_AIN 1037
#define IDC_KEY_GHIN 1038
#define IDC_KEY_FA 1046
#define IDC_KEY_QAF 1047
#define IDC_KEY_KAF 1048
#define IDC_KEY_LAM 1049
#define IDC_KEY_MIM 1043
#define IDC_KEY_NUN 1050
#define IDC_KEY_WAU 1051
#define IDC_KEY_HEH 1052
#define IDC_KEY_LAMALIF 1053
#define IDC_KEY_HAMZAH 1054
#define IDC_KEY_YA 1055
#define IDC_KEY_ALEF_MAKSURA 1058
#define IDC_KEY_YEH_HAMZA 1059
#define IDC_KEY_WAW_HAMZA 1061
#define IDC_KEY_ALEF_HAMZA_ABOVE 1056
#define IDC_KEY_ALEF_HAMZA_BELOW 1057
#define IDC_KEY_TEH_MARBUTA 1060
#define IDC_KEY_ALEF_MADDA 1062
// Its check box for the exact (letter for letter) search.
#define IDC_ARABIC_EXACT_SPELLING 1063

// Private window message that hands a bitmap to the bitmap view (WM_USER + 111).
#define WM_SETPICTURE 1135
// Private window message to the main window: the Settings dialog changed the font face or
// size (WM_USER + 112).
#define WM_FONTS_CHANGED 1136

#endif
