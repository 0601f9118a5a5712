// The reading view: the ayat of one surah in one scrolling column, each with its calligraphy
// (from the glyph runs and the font, or the 1x picture where those cannot be had) and under
// it the chosen translation and the second line of reading; the surah's name and its basmala
// head the column. Only the blocks on screen are drawn, into a buffer the size of the view;
// the drawn calligraphy is kept for the ayat drawn last (a bounded cache), so a scroll draws
// text and copies pictures. The ayah at the top of the view is the one its host shows: a
// scroll tells the host, a host's choice scrolls the view. The ayah being recited is drawn on
// a soft band.
#ifndef NORAVEL_APP_READING_VIEW_WIN_H
#define NORAVEL_APP_READING_VIEW_WIN_H

#include "app/reading_layout.h"
#include "base/guards_win.h"
#include "text/ayah_ref.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Calligraphy;

// The window the view tells when the ayah at its top changes by a scroll of its own (wheel,
// keys, scroll bar); never for a showAyah of the host.
class ReadingViewHost {
  public:
    virtual void readingViewMoved(AyahRef top) = 0;

  protected:
    ~ReadingViewHost() = default;
};

// What the view draws with: the window's DPI, the picture zoom in percent, the scheme, and
// the translation font at that DPI (borrowed; the stock GUI font when null).
struct ReadingLook {
    int dpi = 96;
    int zoom = 100;
    bool night = false;
    HFONT textFont = nullptr;
};

// Marks that other parts of the reader may add to the column: a rule above an ayah's block
// (ruleHeight gives its height at the DPI, 0 for none; drawRule draws it in the rectangle
// given) and a mark beside an ayah (drawMark gets the block's rectangle). Any may be empty.
// The rules' heights are read when the column is laid out: call relayout after a change.
struct ReadingMarks {
    std::function<int(AyahRef ayah, int dpi)> ruleHeight;
    std::function<void(HDC dc, AyahRef ayah, const RECT& rule, bool night)> drawRule;
    std::function<void(HDC dc, AyahRef ayah, const RECT& block, bool night)> drawMark;
};

// The view's ground and band colours in either scheme.
constexpr COLORREF kReadingPaper = RGB(255, 255, 255);
constexpr COLORREF kReadingNightPaper = RGB(30, 28, 28);
constexpr COLORREF kReadingBand = RGB(255, 240, 190);
constexpr COLORREF kReadingNightBand = RGB(62, 56, 38);
// At most this many drawn pictures are kept.
constexpr std::size_t kReadingKeptPictures = 48;

class ReadingView {
  public:
    // A hidden child of parent (the host's window); null when it cannot be made. The
    // calligraphy (may be null: the 1x pictures of programDirectory are drawn then) must
    // outlive the view.
    static std::unique_ptr<ReadingView> create(HINSTANCE instance, HWND parent,
                                               ReadingViewHost& host,
                                               const std::wstring& programDirectory,
                                               const Calligraphy* calligraphy);
    ~ReadingView();
    ReadingView(const ReadingView&) = delete;
    ReadingView& operator=(const ReadingView&) = delete;

    HWND window() const { return window_; }
    // The view of a window made by create, null for any other.
    static ReadingView* from(HWND window);

    // Lays the column out again for the look, keeping the ayah at the top.
    void setLook(const ReadingLook& look);
    // Shows ayah's surah with ayah at the top. An ayah already at the top stays where it is.
    // The host is not told.
    void showAyah(AyahRef ayah);
    // Lays the column out again (another translation or second line), keeping the ayah at the
    // top.
    void relayout();
    // The ayah drawn on the band (0: none). The host keeps it on screen by showing it.
    void setRecited(int ayah);
    int recited() const { return recited_; }

    // Scrolls to the offset (kept within the column) and tells the host when the ayah at the
    // top changed; by whole lines, pages, or to either end.
    void scrollTo(int offset);
    void scrollLines(int lines);
    void scrollPages(int pages);

    AyahRef topAyah() const { return {surah_, column_.ayahAt(offset_)}; }
    int scrollOffset() const { return offset_; }
    const ReadingColumn& column() const { return column_; }
    int lineHeight() const;
    ReadingMarks& marks() { return marks_; }

    // Draws the whole client area of the given size into dc, as WM_PAINT does.
    void paint(HDC dc, SIZE size);
    // Draws the pictures of the ayah after the last one on screen and of the one before the
    // first into the cache, if they are not there, so that a scroll finds them drawn. The
    // view does it when its queue is idle after a paint; true when it drew one.
    bool drawAhead();

  private:
    ReadingView(ReadingViewHost& host, const std::wstring& programDirectory,
                const Calligraphy* calligraphy);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void onPaint();
    void onSize();
    void onMouseWheel(int delta);
    bool onKeyDown(WPARAM key);
    void onVScroll(int request);

    // The column for the surah, the width and the look; the offset is set again so that
    // `top` is at the top (within `within` pixels of its block top).
    void layOut(int top, int within);
    void updateScrollBar();
    void makeFonts();
    double scale() const { return look_.dpi * look_.zoom / (96.0 * 100.0); }
    // The size of an ayah's picture (ayah 0: the basmala of the opening) at the scale.
    SIZE pictureSize(int ayah) const;
    // The ayah's picture drawn at the scale on the paper (or on the band), kept in the cache.
    HBITMAP picture(int ayah, bool onBand, SIZE& size);
    bool isKept(int ayah, bool onBand) const;
    void drawPicture(HDC dc, int ayah, bool onBand, int top, int width);
    void drawHead(HDC dc, int top, int width);
    void drawBlock(HDC dc, int ayah, int top, int width);
    int textWidth(int width) const;
    COLORREF paperColour() const;
    COLORREF inkColour() const;

    ReadingViewHost& host_;
    std::wstring programDirectory_;
    const Calligraphy* calligraphy_;
    HWND window_ = nullptr;
    ReadingLook look_;
    ReadingMarks marks_;
    int surah_ = 0;
    int width_ = 0;
    int height_ = 0;
    int offset_ = 0;
    int wheelRest_ = 0; // a wheel's delta short of a notch, kept for the next
    int recited_ = 0;
    int translation_ = -1; // the texts laid out: the translation and the second line
    int second_ = -1;
    ReadingColumn column_;
    std::vector<AyahBlockParts> parts_;
    std::vector<std::wstring> firstTexts_;
    std::vector<std::wstring> secondTexts_;
    bool firstRightToLeft_ = false;
    bool secondRightToLeft_ = false;
    int headName_ = 0; // the heights of the opening's name line and basmala
    int headBasmala_ = 0;
    std::wstring headText_;
    GdiObject<HFONT> headFont_;
    GdiObject<HFONT> firstFont_;             // the translation's script face, when it has one
    GdiObject<HFONT> secondFont_;            // the second line's
    mutable std::vector<SIZE> pictureSizes_; // of the 1x pictures, read once per surah
    struct Kept {
        int ayah = 0;
        bool onBand = false;
        SIZE size{};
        GdiObject<HBITMAP> bitmap;
        std::uint64_t used = 0;
    };
    std::vector<Kept> kept_;
    std::uint64_t uses_ = 0;
    // The buffer the view is drawn into before it is copied to the screen.
    GdiObject<HBITMAP> buffer_;
    SIZE bufferSize_{};
    bool aheadPosted_ = false;
};

#endif
