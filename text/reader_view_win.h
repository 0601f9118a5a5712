// What the rooms below the reader window may ask of it: the ayah it shows, showing another
// one, its result list and status bar, the marks in the shown translation and the font of
// the on-screen keyboard. The reader window implements it and hands itself to the search
// dialogs; they know nothing else of it.
#ifndef NORAVEL_TEXT_READER_VIEW_WIN_H
#define NORAVEL_TEXT_READER_VIEW_WIN_H

#include "text/ayah_ref.h"

#include <windows.h>

#include <vector>

class ReaderView {
  public:
    // The reader's main window (the owner of the boxes a search shows).
    virtual HWND window() const = 0;
    // The ayah the surah and ayah lists show; {0, 0} when they show none.
    virtual AyahRef shownAyah() const = 0;
    // Sets both lists to the ayah and shows it. An ayah outside the text changes nothing.
    virtual void goToAyah(AyahRef ayah) = 0;
    // The result list (a list box), which a search empties and fills.
    virtual HWND resultList() const = 0;
    // A part of the status bar (0 the juz, 1 the count of a search); UTF-8.
    virtual void setStatusText(int part, const char* text) = 0;
    // Takes every mark off the shown translation, then marks characters [start, end) of it
    // in bold. clearTranslationMarks alone takes the marks off.
    virtual void clearTranslationMarks() = 0;
    virtual void boldTranslationRange(long start, long end) = 0;
    // Marks the letters of the shown ayah's calligraphy made from the bytes of its Arabic
    // text (with inSpellingForm: of its spelling form) that are true in matchedBytes, one
    // entry per byte; an empty vector takes the marks off. Showing another ayah takes them
    // off as well.
    virtual void markArabicText(const std::vector<bool>& matchedBytes, bool inSpellingForm) = 0;
    // The font of the keys of the on-screen Arabic keyboard (made for the window's DPI).
    virtual HFONT keyboardFont() const = 0;

  protected:
    ~ReaderView() = default;
};

#endif
