// Where every child of the main window goes, from the client size and the window's DPI.
// Plain arithmetic; the main window moves its controls to these rectangles. Every figure
// below is given for 96 DPI and scaled by dpi / 96 for the window's monitor.
#ifndef NORAVEL_APP_MAIN_LAYOUT_H
#define NORAVEL_APP_MAIN_LAYOUT_H

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

// The row for a window at `dpi`: every position and size of the table scaled by dpi / 96.
FixedRow fixedRowFor(int dpi);

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
    int splitterBottom = 0; // Y + 5 scaled: the bar is 7 pixels thick at 96 DPI
};

constexpr int kResultListHeight = 80;
constexpr int kPictureTop = 25;    // the bitmap view's top edge
constexpr int kPictureMargin = 40; // left and right of the bitmap view
constexpr int kLanguageListLeft = 616;
constexpr int kPictureFrameTop = 26;   // top of the sunken frame round the picture area
constexpr int kStatusFirstPart = 50;   // right edge of the status bar's first part
constexpr int kStatusPageWidth = 80;   // the status bar's part with the mushaf's page
constexpr int kStatusMarksWidth = 140; // its last part: the hizb quarter and sajdah marks
constexpr int kTranslationMargin = 10; // left and right margins inside the translation
constexpr int kLayoutBaseDpi = 96;

// A length given at 96 DPI, at `dpi`: rounded to the nearest pixel, halves away from zero
// (as MulDiv rounds), so that every length is the given one at 96. A DPI below 1 counts as 96.
int scaledLength(int pixels, int dpi);
// The other way: a length in pixels at `dpi`, in 96-DPI units (rounded the same way), so
// that a stored length means the same on every monitor.
int lengthAt96(int pixels, int dpi);

// The status bar's parts, by index: the juz, the messages of the searches and the
// recitation, the page of the mushaf, and the marks of the ayah (hizb quarter, sajdah).
constexpr int kStatusPartCount = 4;
constexpr int kStatusPagePart = 2;
constexpr int kStatusMarksPart = 3;
struct StatusParts {
    int rightEdges[kStatusPartCount];
};
// The right edges of the parts for a bar `width` pixels wide at `dpi`: the juz's ends at
// kStatusFirstPart, the page and the marks keep their widths at the right end and the
// messages take the rest; the last runs to the bar's end (-1). On a bar too narrow for all
// of them the messages' part shrinks to nothing first, and no edge lies left of the one
// before it.
StatusParts statusPartsFor(int width, int dpi = kLayoutBaseDpi);

// width, height: the client size; statusHeight: the status bar's client height (all in
// pixels); translationHeight: the height wanted for the translation control, in 96-DPI
// units; dpi: the window's. The translation height is kept between 0 and the room between
// the fixed row and the result list, so the picture's height never goes below 0, and no
// width goes below 0; the layout's translationHeight is the height given, in pixels.
MainLayout computeMainLayout(int width, int height, int statusHeight, int translationHeight,
                             int dpi = kLayoutBaseDpi);

// The point size of the translation and result list font for an ayah font size: 12 points
// at the default 14, in proportion for other sizes (rounded), and between 6 and 72.
int translationFontPoints(int ayahFontPoints);

#endif
