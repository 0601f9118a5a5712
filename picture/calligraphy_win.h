// The ayat drawn from the font: the glyph runs file (picture/glyph_runs.h) and the Amiri
// Quran font beside the program, and the drawing of one ayah's runs into any device context
// at any scale and origin, in given colours. Any view that shows ayat draws them with this.
#ifndef NORAVEL_PICTURE_CALLIGRAPHY_WIN_H
#define NORAVEL_PICTURE_CALLIGRAPHY_WIN_H

#include "base/guards_win.h"
#include "base/mapped_file_win.h"
#include "picture/ayah_calligraphy.h"
#include "picture/glyph_runs.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// The file names in the program folder.
inline constexpr wchar_t kGlyphRunsFileName[] = L"ayah_runs.bin";
inline constexpr wchar_t kCalligraphyFontFileName[] = L"AmiriQuran.ttf";
// The largest scale an ayah is drawn at.
inline constexpr double kMaxRunsScale = kMaxAyahScale;

class Calligraphy {
  public:
    // The runs file and the font of folder (ending in a separator or not). Null when either
    // is missing or damaged, or when the font is not the one the runs were made with.
    static std::unique_ptr<Calligraphy> open(const std::wstring& folder);
    Calligraphy(const Calligraphy&) = delete;
    Calligraphy& operator=(const Calligraphy&) = delete;

    // The ayah's runs; empty when the file has no such ayah.
    AyahRuns ayah(int surah, int ayah) const { return core_.ayah(surah, ayah); }
    int emPixels() const { return core_.emPixels(); }
    int unitsPerEm() const { return core_.unitsPerEm(); }
    // The drawing itself, portable (picture/ayah_calligraphy.h).
    const AyahCalligraphy& core() const { return core_; }

  private:
    Calligraphy() = default;
    MappedFile runsFile_; // outlives core_, which reads it
    AyahCalligraphy core_;
};

// The calligraphy of the program folder, opened on the first call and kept for the run; null
// when it cannot be had (the views then show the 1x pictures). Later calls return the same.
const Calligraphy* programCalligraphy(const std::wstring& folder);

// The colours an ayah is drawn in. With ruleColours (kGlyphRunsRuleLimit entries) every glyph
// takes its rule's colour, rule 0 the ink; with markedLetters, glyphs of a letter whose entry
// is true take the mark colour.
struct RunColours {
    COLORREF ink = RGB(0, 0, 0);
    COLORREF paper = RGB(255, 255, 255);
    const COLORREF* ruleColours = nullptr;
    const std::vector<bool>* markedLetters = nullptr;
    COLORREF mark = RGB(0, 0, 0);
    // With 0 or more, only the glyphs of the first shownWords words are drawn, and the
    // end-of-ayah sign once all are (picture/word_reveal.h).
    int shownWords = -1;
};

// The size of the ayah's picture at scale (the 1x picture's size times scale, rounded up).
SIZE ayahRunsSize(const AyahRuns& runs, double scale);

// The ayah drawn at scale into pixels (0x00RRGGBB, top-down rows of size.cx), on paper: every
// glyph at its exact position, its colour blended onto the paper by its coverage. False when
// there is nothing to draw or the scale is out of range.
bool renderAyahRuns(const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                    const RunColours& colours, std::uint32_t* pixels, SIZE size);

// A 32-bit top-down DIB section of ayahRunsSize with the ayah rendered in it; null when GDI
// cannot make it. The caller deletes it.
HBITMAP makeAyahRunsBitmap(const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                           const RunColours& colours);

// The same drawn into dc with the picture's top-left at (left, top), paper included.
bool drawAyahRuns(HDC dc, const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                  int left, int top, const RunColours& colours);

#endif
