// Where every child of the main window goes, from the client size. Plain arithmetic; the
// main window moves its controls to these rectangles.
#ifndef NORAVEL_MAIN_LAYOUT_H
#define NORAVEL_MAIN_LAYOUT_H

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The row of navigation and action controls along the top. It is placed once, at the
// first layout, and never moves afterwards. Drop-down lists are 225 high so that the list
// that drops down has room.
struct FixedRow {
    Placement surahList{0, 0, 140, 225};
    Placement ayahList{140, 0, 50, 225};
    Placement upDown{190, 0, 14, 24};
    Placement translationSearch{204, 0, 90, 24};
    Placement arabicSearch{294, 0, 70, 24};
    Placement tajwid{364, 0, 50, 24};
    Placement listen{416, 0, 58, 24};
    Placement continueBox{474, 0, 80, 24};
    Placement recitationScope{554, 0, 60, 225};
};

struct MainLayout {
    Placement languageList;
    Placement statusBar; // the status bar then puts itself at the bottom at its own height
    Placement resultList;
    Placement bitmapView;
    Placement translation;
    int splitterLine = 0;      // Y: client y of the top of the translation control
    int translationHeight = 0; // the height actually given, after clamping
    // The splitter bar's setPosition arguments: its rectangle then runs from Y - 2 to Y + 5.
    int splitterLeft = 0;
    int splitterTop = 0;
    int splitterRight = 0;
};

constexpr int kResultListHeight = 80;
constexpr int kPictureTop = 25;    // the bitmap view's top edge
constexpr int kPictureMargin = 40; // left and right of the bitmap view
constexpr int kLanguageListLeft = 616;
constexpr int kPictureFrameTop = 26; // top of the sunken frame round the picture area

// width, height: the client size; statusHeight: the status bar's client height;
// translationHeight: the height wanted for the translation control. The translation
// height is kept between 0 and the room between the fixed row and the result list, so
// the picture's height never goes below 0, and no width goes below 0.
MainLayout computeMainLayout(int width, int height, int statusHeight, int translationHeight);

// The point size of the translation and result list font for an ayah font size: 12 points
// at the default 14, in proportion for other sizes (rounded), and between 6 and 72.
int translationFontPoints(int ayahFontPoints);

#endif
