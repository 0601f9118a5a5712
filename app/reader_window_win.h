// The main window "AL-QURAN" and everything it owns: its child controls, fonts, splitter,
// picture, reading history, night scheme, the search memory, the recitation and where the
// reading is stored. One object per window: made by create, attached to its window at
// WM_NCCREATE and deleted with the window at WM_NCDESTROY.
//
// The current ayah has no variable of its own: it is the selection of the surah list and
// of the ayah list (each index + 1), so the lists and the ayah shown never disagree.
//
// The members are defined in the files named for their job: reader_window_win.cpp (the
// window, its messages and layout), reader_navigation_win.cpp (showing and moving between
// ayat), reader_commands_win.cpp (the table of commands) and reader_splitter_win.cpp (the
// splitter drag).
#ifndef NORAVEL_APP_READER_WINDOW_WIN_H
#define NORAVEL_APP_READER_WINDOW_WIN_H

#include "app/bookmarks_win.h"
#include "app/reading_view_win.h"
#include "app/resume_win.h"
#include "app/splitter_bar_win.h"
#include "base/program_context_win.h"
#include "picture/picture_loader_win.h"
#include "picture/word_reveal.h"
#include "recitation/recitation_player_win.h"
#include "search/search_memory.h"
#include "settings/language_switch_win.h"
#include "text/reader_view_win.h"
#include "text/reading_history.h"

#include <windows.h>

#include <richedit.h>

#include <memory>
#include <string>
#include <vector>

constexpr wchar_t kMainWindowClass[] = L"AL-QURAN";

// The translation control's height (96-DPI pixels) before the user drags the splitter.
constexpr int kDefaultTranslationHeight = 140;

// Colour of the translation control's background by day.
constexpr COLORREF kTranslationBackground = RGB(243, 228, 117);

// The timer of the reading view's rest after a scroll (reading_mode_win.cpp).
constexpr UINT_PTR kReadingRestTimer = 102;

// The settings the window starts with: the ayah font's face (UTF-8) and size, and the
// language (0 Indonesian, any other value English).
struct ReaderSettings {
    std::string fontName = "Microsoft Sans Serif";
    int fontSize = 14;
    int language = 0;
    // The translation shown: its index in the language list (text/translation_languages.h);
    // -1 takes the stored choice when the lists are filled.
    int translation = -1;
};

class ReaderWindow final : public ReaderView, public RecitationHost, public ReadingViewHost {
  public:
    // Registers the window class (once per instance; true when it is there).
    static bool registerClass(HINSTANCE instance);
    // Makes the window (not shown) with the settings and the translation height (96-DPI
    // pixels), at the given window rectangle when there is one (the window is then made on
    // that rectangle's monitor, at its DPI). The object lives as long as the window. Null
    // when it cannot be made.
    static HWND create(const ProgramContext& context, const ReaderSettings& settings,
                       int translationHeight, const RECT* placed = nullptr);
    // The object of a reader window, or null for any other window.
    static ReaderWindow* from(HWND window);

    ReaderWindow(const ReaderWindow&) = delete;
    ReaderWindow& operator=(const ReaderWindow&) = delete;

    // ---- ReaderView and RecitationHost ----
    HWND window() const override { return window_; }
    AyahRef shownAyah() const override;
    void goToAyah(AyahRef ayah) override;
    void showAyah(AyahRef ayah) override;
    HWND resultList() const override;
    void setStatusText(int part, const char* text) override;
    void clearTranslationMarks() override;
    void boldTranslationRange(long start, long end) override;
    void markArabicText(const std::vector<bool>& matchedBytes, bool inSpellingForm) override;
    HFONT keyboardFont() const override { return keyboardFont_; }
    void openRecitationDialog() override;
    void showRecitationStatus(const char* utf8Text) override { setStatusText(1, utf8Text); }

    // ---- moving between ayat (reader_navigation_win.cpp) ----
    // Fills the surah, recitation scope and language lists (once, after the text store is
    // loaded).
    void fillNavigationLists();
    // Refills the ayah list with 1..count of the surah.
    void fillAyahList(int surah);
    // The picture, the juz label, the history entry and the stored position of an ayah shown.
    void showAyahPicture(AyahRef ayah);
    // The ayah's page of the mushaf and its marks (hizb quarter, sajdah) in the status bar.
    void showMushafPlace(AyahRef ayah);
    // One step of the up-down control (delta 1 or more: the next ayah, else the previous),
    // across surah ends; also Page Down and Page Up.
    void stepAyah(int delta);
    // Command 40013: fills the result list with the visited ayat, newest first,
    // "%i:%i " + translation.
    void listReadingHistory();
    // Makes index of the language list the language in force (through store), reloads the
    // text and shows the same ayah again.
    void switchLanguage(int index, LanguageStore store = storeLanguageSetting);
    // View > Second line (reader_second_line_win.cpp): shows the translation of list index
    // `index` under the first (-1: none), stores the choice per user and checks its item.
    void chooseSecondLine(int index);
    // The stored second line, taken when the lists are filled.
    void takeStoredSecondLine();
    // The tooltip of the surah list (surah_meaning_win.cpp): the meaning of the surah's name
    // in the chosen language; and what it says now (for tests).
    void showSurahMeaning(int surah);
    std::wstring surahMeaningShown() const;

    // ---- hiding the text to recite from memory (hide_text_win.cpp) ----
    // View > Hide the text: hides the shown ayah's calligraphy and translation (or shows
    // them) at once and stores the choice. While it is on every other ayah shown is hidden.
    void toggleHiddenText();
    bool textHidden() const { return hideText_; }
    // Whether part of the shown ayah is still hidden (Space and Enter reveal it then).
    bool revealPending() const { return hideText_ && reveal_.pending(); }
    // The next word (a click on the picture, Space) or the rest (Enter).
    void revealNextWord();
    void revealAllWords();
    const WordReveal& reveal() const { return reveal_; }
    // Edit > Copy terjemahan: the whole translation, hidden words included.
    void copyWholeTranslation();

    // ---- the reading view (reading_mode_win.cpp) ----
    // View > Reading: the surah's ayat in one scrolling column in place of the picture and
    // the translation (or back to those, on the current ayah); the choice is stored.
    void toggleReadingView();
    bool readingViewOn() const { return readingOn_; }
    // The view, once it has been shown (null before).
    ReadingView* readingView() const { return reading_.get(); }
    // The window that shows the ayat: the reading view while it is on, else the picture (it
    // takes the picture's place in the Tab order).
    HWND pictureWindow() const { return readingOn_ && reading_ ? reading_->window() : bitmapView_; }
    // The ayah at the view's top changed by a scroll: the lists, the juz and the stored
    // position follow at once, the rest of what showing an ayah does once the scroll rests.
    void readingViewMoved(AyahRef top) override;
    // The view takes the window's DPI, zoom, scheme and font again.
    void refreshReadingLook();

    // ---- commands (reader_commands_win.cpp) ----
    // Carries out one WM_COMMAND. False for an id the window does not handle.
    bool onCommand(int id, int notification, HWND control);

    // ---- the window ----
    // Places every child from the current client size (on creation, on WM_SIZE and after a
    // splitter drag). The row along the top is placed only by the first layout.
    void layout();
    // View > Night: shows the other scheme at once and stores it.
    void toggleNightScheme();
    bool nightScheme() const { return night_; }
    // Settings > ayah font: takes the face and size and remakes the fonts (the translation
    // and the result list show it at once); applyAyahFont stores both settings too.
    void showAyahFont(const std::string& face, int size);
    void applyAyahFont(const std::string& face, int size);
    // Settings > Font: the Settings dialog over the window, applied on OK. Returns the
    // dialog's result (IDOK, IDCANCEL, or -1 when it cannot open).
    INT_PTR chooseAyahFont();

    // What the window shows and holds, for its commands and for tests.
    const ProgramContext& context() const { return context_; }
    const ReaderSettings& settings() const { return settings_; }
    HWND bitmapView() const { return bitmapView_; }
    HBITMAP currentPicture() const { return currentPicture_; }
    HFONT ayahFont() const { return ayahFont_; }
    HFONT translationFont() const { return translationFont_; }
    const CHARFORMAT2W& defaultCharFormat() const { return defaultCharFormat_; }
    const ReadingHistory& readingHistory() const { return history_; }
    ReadingHistory& readingHistory() { return history_; }
    SplitterBar& splitterBar() { return splitterBar_; }
    int splitterLine() const { return splitterLine_; }
    int translationHeight() const { return translationHeight_; }
    SearchMemory& searchMemory() { return *search_; }
    RecitationPlayer& recitation() { return *recitation_; }

  private:
    // What create hands the window: the object, and whether WM_NCCREATE took it over.
    struct Creation {
        ReaderWindow* reader;
        bool attached;
    };

    ReaderWindow(const ProgramContext& context, const ReaderSettings& settings,
                 int translationHeight);
    ~ReaderWindow();

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Message handlers (reader_window_win.cpp).
    bool onCreate();
    void onDestroy();
    void onPaint();
    LRESULT onEraseBackground(HDC dc);
    LRESULT onControlColour(HDC dc);
    LRESULT onNotify(const NMHDR* header);
    void onTimer(WPARAM id);
    void onFontsChanged();
    void onDpiChanged(int dpi, const RECT* suggested);
    void onEndSession(bool ending);
    // The splitter drag (reader_splitter_win.cpp).
    void onMouseMove(POINT point);
    void onLButtonDown(POINT point);
    void onLButtonUp(POINT point);
    void onCaptureChanged();
    bool onTheBar(POINT point) const;

    // Creation and fonts.
    void makeFonts();
    void makeStatusBar();
    void makeChildren();
    void setUpTranslationControl();
    void fitControlFont();
    void placeFixedRow();
    int placeStatusBar(int x, int y, int width, int height);
    void showScheme(bool night);

    // The reading view (reading_mode_win.cpp): shown or hidden, its look taken from the
    // window, its place, the ayah shown in it, the recited ayah marked, the timer's work.
    void showReadingView(bool on);
    void placeReadingView(const RECT& area);
    // Leaves the view's area out of what dc draws: the window's ground never shows under it.
    void excludeReadingView(HDC dc) const;
    void followInReadingView(AyahRef ayah);
    void markRecitedAyah();
    void onReadingRestTimer();
    // The juz in the status bar and the stored position of the current ayah.
    void noteCurrentAyah(AyahRef ayah);

    // Navigation helpers (reader_navigation_win.cpp).
    HWND control(int id) const;
    void showTranslation(AyahRef ayah);
    void nameAyahPicture(AyahRef ayah);
    // Hides an ayah other than the one hidden last while the hiding is on; shows the
    // reveal's state in the picture and the translation.
    void hideForAyah(AyahRef ayah);
    void setHiding(bool hide);
    void showReveal();

    const ProgramContext& context_;
    ReaderSettings settings_;
    HWND window_ = nullptr;
    HWND bitmapView_ = nullptr;
    int dpi_ = 96;
    // Fonts made for the window's DPI: the ayah font from the settings, the translation's
    // and the result list's (the ayah face at a smaller size), the on-screen keyboard's
    // (Tahoma 12 points), and the message font of the row's buttons and lists and the
    // status bar.
    HFONT ayahFont_ = nullptr;
    HFONT translationFont_ = nullptr;
    HFONT keyboardFont_ = nullptr;
    HFONT controlFont_ = nullptr;
    // The splitter between the picture and the translation, its drag, and the heights.
    SplitterBar splitterBar_{false};
    bool dragging_ = false;
    POINT lastMouse_{0, 0};
    int dragStartY_ = 0;
    int translationHeight_ = kDefaultTranslationHeight; // 96-DPI pixels, as stored
    int shownTranslationHeight_ = 0;                    // pixels, as the last layout gave it
    int splitterLine_ = 246;
    bool firstLayout_ = true;
    // The bitmap shown in the bitmap view (the clipboard copy takes it), owned here.
    HBITMAP currentPicture_ = nullptr;
    Picture picture_;
    // The translation control's character format, read once after its font is set;
    // applying it to the whole text clears bold search marks.
    CHARFORMAT2W defaultCharFormat_{};
    // The search marks in the translation (character positions), set again when the font
    // changes with the DPI.
    struct TextRange {
        long start;
        long end;
    };
    std::vector<TextRange> translationMarks_;
    ReadingHistory history_;
    bool night_ = false;
    ResumeKeeper resume_;
    std::unique_ptr<SearchMemory> search_;
    std::unique_ptr<RecitationPlayer> recitation_;
    HWND surahTip_ = nullptr;
    bool hideText_ = false;
    WordReveal reveal_;
    AyahRef revealAyah_{0, 0}; // the ayah the reveal counts for
    std::unique_ptr<ReadingView> reading_;
    bool readingOn_ = false;
};

#endif
