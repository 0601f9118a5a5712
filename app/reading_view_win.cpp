#include "app/reading_view_win.h"

#include "app/translation_area_win.h"
#include "base/dpi_win.h"
#include "base/program_directory.h"
#include "base/wide_text_win.h"
#include "picture/calligraphy_win.h"
#include "picture/picture_loader_win.h"
#include "picture/picture_scale.h"
#include "text/text_store.h"
#include "text/translations_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string_view>

namespace {

const wchar_t kClassName[] = L"NORAVEL_READING";
// Posted to the view after a paint: the pictures next to the screen are drawn ahead.
constexpr UINT kDrawAheadMessage = WM_APP + 1;

// A line of scrolling (arrows, one wheel notch is three) and the margins beside the text, at
// 96 DPI.
constexpr int kLineStep = 40;
constexpr int kWheelLines = 3;
constexpr int kTextMargin = 24;
// The basmala heads every surah but the first (where it is the first ayah) and the ninth.
constexpr int kBasmalaSurah = 1;
constexpr int kBasmalaAyah = 1;

bool hasBasmalaHead(int surah) {
    return surah != 1 && surah != 9;
}

COLORREF colourOf(const DibColour& c) {
    return RGB(c.red, c.green, c.blue);
}

// Takes the glyphs of the end-of-ayah sign out of the runs.
void withoutEndSign(AyahRuns& runs) {
    for (RunLine& line : runs.lines)
        line.glyphs.erase(std::remove_if(line.glyphs.begin(), line.glyphs.end(),
                                         [](const RunGlyph& g) { return g.word == kNoWord; }),
                          line.glyphs.end());
}

UINT textFormat(bool rightToLeft) {
    return DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL |
           (rightToLeft ? DT_RIGHT | DT_RTLREADING : DT_CENTER);
}

// The text's height wrapped at width in the font selected into dc.
int measuredHeight(HDC dc, const std::wstring& text, int width, bool rightToLeft) {
    if (text.empty() || width <= 0) return 0;
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              textFormat(rightToLeft) | DT_CALCRECT);
    return rect.bottom - rect.top;
}

// A font like base in another face (empty: none is made).
HFONT fontWithFace(HFONT base, const std::wstring& face, int weight = -1, int heightPercent = 100) {
    LOGFONTW font{};
    if (!GetObjectW(base ? base : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font))
        return nullptr;
    if (!face.empty()) lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    if (weight >= 0) font.lfWeight = weight;
    font.lfHeight = MulDiv(font.lfHeight, heightPercent, 100);
    return CreateFontIndirectW(&font);
}

std::wstring wideText(std::string_view utf8) {
    return wideFromUtf8(std::string(utf8).c_str());
}

} // namespace

// ---- the object and its window ----

ReadingView::ReadingView(ReadingViewHost& host, const std::wstring& programDirectory,
                         const Calligraphy* calligraphy)
    : host_(host), programDirectory_(programDirectory), calligraphy_(calligraphy) {}

ReadingView::~ReadingView() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

std::unique_ptr<ReadingView> ReadingView::create(HINSTANCE instance, HWND parent,
                                                 ReadingViewHost& host,
                                                 const std::wstring& programDirectory,
                                                 const Calligraphy* calligraphy) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
        windowClass.lpszClassName = kClassName;
        registered = RegisterClassExW(&windowClass) != 0;
        if (!registered) return nullptr;
    }
    std::unique_ptr<ReadingView> view(new ReadingView(host, programDirectory, calligraphy));
    HWND window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VSCROLL | WS_TABSTOP, 0, 0, 0,
                                  0, parent, nullptr, instance, view.get());
    if (!window) return nullptr;
    return view;
}

ReadingView* ReadingView::from(HWND window) {
    wchar_t className[32] = L"";
    if (!window || !GetClassNameW(window, className, 32) || std::wcscmp(className, kClassName))
        return nullptr;
    return reinterpret_cast<ReadingView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ReadingView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<ReadingView*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<ReadingView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes with its parent; the object stays with the reader until it goes.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return view->handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT ReadingView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPaint(); return 0;
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_PRINTCLIENT: paint(reinterpret_cast<HDC>(wParam), {width_, height_}); return 0;
    case WM_SIZE: onSize(); return 0;
    case WM_MOUSEWHEEL: onMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_KEYDOWN:
        if (onKeyDown(wParam)) return 0;
        break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_VSCROLL: onVScroll(LOWORD(wParam)); return 0;
    case WM_LBUTTONDOWN: SetFocus(window_); return 0;
    case kDrawAheadMessage:
        // One picture a message, so that input waits for one drawing at most.
        aheadPosted_ = false;
        if (drawAhead()) aheadPosted_ = PostMessageW(window_, kDrawAheadMessage, 0, 0) != FALSE;
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// ---- layout ----

int ReadingView::lineHeight() const {
    return scaledForDpi(kLineStep, look_.dpi);
}

int ReadingView::textWidth(int width) const {
    return std::max(0, width - 2 * scaledForDpi(kTextMargin, look_.dpi));
}

void ReadingView::makeFonts() {
    const TranslationLanguage& first = chosenTranslationLanguage();
    const TranslationLanguage* second = translationLanguageAt(secondTranslation());
    firstFont_.reset(fontWithFace(look_.textFont, scriptFaceFor(first)));
    secondFont_.reset(second ? fontWithFace(look_.textFont, scriptFaceFor(*second)) : nullptr);
    headFont_.reset(fontWithFace(look_.textFont, L"", FW_BOLD, 140));
}

SIZE ReadingView::pictureSize(int ayah) const {
    const int surah = ayah == 0 ? kBasmalaSurah : surah_;
    const int number = ayah == 0 ? kBasmalaAyah : ayah;
    if (calligraphy_) {
        const AyahRuns runs = calligraphy_->ayah(surah, number);
        return runs.empty() ? SIZE{0, 0} : ayahRunsSize(runs, scale());
    }
    // The 1x pictures: their size read from the file once per surah.
    if (pictureSizes_.empty()) pictureSizes_.assign(TextStore::ayahCount(surah_) + 1, SIZE{-1, -1});
    if (ayah < 0 || ayah >= static_cast<int>(pictureSizes_.size())) return {0, 0};
    SIZE& known = pictureSizes_[ayah];
    if (known.cy >= 0) return known;
    known = {0, 0};
    char path[kUtf8PathBytes];
    if (!formatPicturePath(path, sizeof path, utf8FromWide(programDirectory_.c_str()).c_str(),
                           surah, number))
        return {0, 0};
    const PictureData data = decodePictureFile(path);
    if (data.ok()) known = {data.header().width, std::abs(data.header().height)};
    return known;
}

void ReadingView::layOut(int top, int within) {
    kept_.clear();
    const int count = surah_ >= 1 ? TextStore::ayahCount(surah_) : 0;
    translation_ = chosenTranslation();
    second_ = secondTranslation();
    makeFonts();
    const TranslationText& firstText = chosenTranslationText();
    const TranslationText* secondText = second_ >= 0 ? translationTextAt(second_) : nullptr;
    firstRightToLeft_ = chosenTranslationLanguage().rightToLeft;
    const TranslationLanguage* secondLanguage = translationLanguageAt(second_);
    secondRightToLeft_ = secondLanguage && secondLanguage->rightToLeft;

    MemoryDc dc(nullptr);
    const int wrap = textWidth(width_);
    parts_.assign(count, AyahBlockParts{});
    firstTexts_.assign(count, std::wstring());
    secondTexts_.assign(count, std::wstring());
    std::vector<int> heights(count, 0);
    for (int ayah = 1; ayah <= count; ++ayah) {
        AyahBlockParts& parts = parts_[ayah - 1];
        if (marks_.ruleHeight) parts.rule = marks_.ruleHeight({surah_, ayah}, look_.dpi);
        parts.picture = pictureSize(ayah).cy;
        firstTexts_[ayah - 1] = wideText(firstText.ayah(surah_, ayah));
        {
            SelectedObject font(dc.get(), firstFont_.get());
            parts.first = measuredHeight(dc.get(), firstTexts_[ayah - 1], wrap, firstRightToLeft_);
        }
        if (secondText) {
            secondTexts_[ayah - 1] = wideText(secondText->ayah(surah_, ayah));
            SelectedObject font(dc.get(), secondFont_.get());
            parts.second =
                measuredHeight(dc.get(), secondTexts_[ayah - 1], wrap, secondRightToLeft_);
        }
        heights[ayah - 1] = placeAyahBlock(parts, look_.dpi).height;
    }

    char name[160];
    std::snprintf(name, sizeof name, "%i - %s", surah_, TextStore::surahName(surah_));
    headText_ = wideFromUtf8(name);
    {
        SelectedObject font(dc.get(), headFont_.get());
        headName_ = measuredHeight(dc.get(), headText_, std::max(1, wrap), false);
    }
    headBasmala_ = hasBasmalaHead(surah_) ? pictureSize(0).cy : 0;
    const int padding = scaledForDpi(kReadingBlockPadding, look_.dpi);
    const int gap = scaledForDpi(kReadingPartGap, look_.dpi);
    column_.set(padding + headName_ + (headBasmala_ ? gap + headBasmala_ : 0) + padding, heights);

    if (top <= 1 && within <= 0)
        offset_ = 0;
    else
        offset_ = column_.clampScroll(
            column_.ayahTop(top) + std::clamp(within, 0, std::max(0, column_.ayahHeight(top) - 1)));
    updateScrollBar();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void ReadingView::setLook(const ReadingLook& look) {
    const AyahRef top = topAyah();
    const int within = offset_ - column_.ayahTop(top.ayah);
    look_ = look;
    if (surah_ >= 1) layOut(top.ayah, within);
}

void ReadingView::relayout() {
    setLook(look_);
}

void ReadingView::showAyah(AyahRef ayah) {
    if (!ayah.valid()) return;
    if (ayah.surah != surah_ || chosenTranslation() != translation_ ||
        secondTranslation() != second_) {
        const bool sameSurah = ayah.surah == surah_;
        const int within = offset_ - column_.ayahTop(topAyah().ayah);
        surah_ = ayah.surah;
        pictureSizes_.clear();
        // Another translation keeps the place within the ayah; another surah starts at it.
        layOut(ayah.ayah, sameSurah && ayah.ayah == topAyah().ayah ? within : 0);
    }
    if (topAyah().ayah == ayah.ayah) return;
    offset_ = column_.scrollFor(ayah.ayah);
    updateScrollBar();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void ReadingView::setRecited(int ayah) {
    if (ayah == recited_) return;
    recited_ = ayah;
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

// ---- scrolling ----

void ReadingView::updateScrollBar() {
    if (!window_) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nPage = static_cast<UINT>(std::max(1, height_));
    info.nMax = column_.maxScroll() + static_cast<int>(info.nPage) - 1;
    info.nPos = offset_;
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void ReadingView::scrollTo(int offset) {
    const int before = column_.ayahAt(offset_);
    const int clamped = column_.clampScroll(offset);
    if (clamped == offset_) return;
    offset_ = clamped;
    updateScrollBar();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    const AyahRef top = topAyah();
    if (top.ayah != before) host_.readingViewMoved(top);
}

void ReadingView::scrollLines(int lines) {
    scrollTo(offset_ + lines * lineHeight());
}

void ReadingView::scrollPages(int pages) {
    const int page = std::max(lineHeight(), height_ - lineHeight());
    scrollTo(offset_ + pages * page);
}

void ReadingView::onMouseWheel(int delta) {
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    if (notches == 0) return;
    wheelRest_ -= notches * WHEEL_DELTA;
    scrollLines(-notches * kWheelLines);
}

bool ReadingView::onKeyDown(WPARAM key) {
    switch (key) {
    case VK_UP: scrollLines(-1); return true;
    case VK_DOWN: scrollLines(1); return true;
    case VK_PRIOR: scrollPages(-1); return true;
    case VK_NEXT: scrollPages(1); return true;
    case VK_HOME: scrollTo(0); return true;
    case VK_END: scrollTo(column_.maxScroll()); return true;
    }
    return false;
}

void ReadingView::onVScroll(int request) {
    switch (request) {
    case SB_LINEUP: scrollLines(-1); break;
    case SB_LINEDOWN: scrollLines(1); break;
    case SB_PAGEUP: scrollPages(-1); break;
    case SB_PAGEDOWN: scrollPages(1); break;
    case SB_TOP: scrollTo(0); break;
    case SB_BOTTOM: scrollTo(column_.maxScroll()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(window_, SB_VERT, &info)) scrollTo(info.nTrackPos);
        break;
    }
    }
}

void ReadingView::onSize() {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right - client.left;
    height_ = client.bottom - client.top;
    if (width != width_) {
        width_ = width;
        relayout(); // the text wraps at another width
    } else {
        updateScrollBar();
    }
}

// ---- drawing ----

COLORREF ReadingView::paperColour() const {
    return look_.night ? kReadingNightPaper : kReadingPaper;
}

COLORREF ReadingView::inkColour() const {
    return look_.night ? colourOf(kNightInk) : colourOf(kDayInk);
}

bool ReadingView::isKept(int ayah, bool onBand) const {
    for (const Kept& kept : kept_)
        if (kept.ayah == ayah && kept.onBand == onBand) return true;
    return false;
}

bool ReadingView::drawAhead() {
    if (surah_ < 1 || height_ <= 0) return false;
    const ReadingColumn::Range range = column_.visibleAyat(offset_, height_);
    if (range.last < range.first) return false;
    for (int ayah : {range.last + 1, range.last + 2, range.first - 1}) {
        if (ayah < 1 || ayah > column_.ayatCount() || isKept(ayah, ayah == recited_)) continue;
        SIZE size{};
        picture(ayah, ayah == recited_, size);
        return true;
    }
    return false;
}

HBITMAP ReadingView::picture(int ayah, bool onBand, SIZE& size) {
    for (Kept& kept : kept_) {
        if (kept.ayah == ayah && kept.onBand == onBand) {
            kept.used = ++uses_;
            size = kept.size;
            return kept.bitmap.get();
        }
    }
    const int surah = ayah == 0 ? kBasmalaSurah : surah_;
    const int number = ayah == 0 ? kBasmalaAyah : ayah;
    Kept made;
    made.ayah = ayah;
    made.onBand = onBand;
    made.used = ++uses_;
    if (calligraphy_) {
        AyahRuns runs = calligraphy_->ayah(surah, number);
        if (ayah == 0) withoutEndSign(runs); // the basmala of the opening bears no number
        RunColours colours;
        colours.ink = inkColour();
        colours.paper = onBand ? (look_.night ? kReadingNightBand : kReadingBand) : paperColour();
        made.bitmap.reset(makeAyahRunsBitmap(*calligraphy_, runs, scale(), colours));
        made.size = ayahRunsSize(runs, scale());
    } else {
        char path[kUtf8PathBytes];
        if (formatPicturePath(path, sizeof path, utf8FromWide(programDirectory_.c_str()).c_str(),
                              surah, number)) {
            Picture loader;
            made.bitmap.reset(loader.load(path));
            BITMAP info{};
            if (made.bitmap && GetObjectW(made.bitmap.get(), sizeof info, &info))
                made.size = {info.bmWidth, info.bmHeight};
        }
    }
    if (!made.bitmap) return nullptr;
    if (kept_.size() >= kReadingKeptPictures) {
        // The picture used longest ago makes room.
        auto oldest =
            std::min_element(kept_.begin(), kept_.end(),
                             [](const Kept& a, const Kept& b) { return a.used < b.used; });
        kept_.erase(oldest);
    }
    size = made.size;
    kept_.push_back(std::move(made));
    return kept_.back().bitmap.get();
}

// The picture centred in the width, or from the right edge when it is wider (Arabic begins
// on the right).
void ReadingView::drawPicture(HDC dc, int ayah, bool onBand, int top, int width) {
    SIZE size{};
    HBITMAP bitmap = picture(ayah, onBand, size);
    if (!bitmap) return;
    MemoryDc source(dc);
    SelectedObject selected(source.get(), bitmap);
    const int left = size.cx <= width ? (width - size.cx) / 2 : width - size.cx;
    BitBlt(dc, left, top, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

void ReadingView::drawHead(HDC dc, int top, int width) {
    const int padding = scaledForDpi(kReadingBlockPadding, look_.dpi);
    const int margin = scaledForDpi(kTextMargin, look_.dpi);
    RECT name{margin, top + padding, width - margin, top + padding + headName_};
    SelectedObject font(dc, headFont_.get());
    DrawTextW(dc, headText_.c_str(), static_cast<int>(headText_.size()), &name, textFormat(false));
    if (headBasmala_)
        drawPicture(dc, 0, false, name.bottom + scaledForDpi(kReadingPartGap, look_.dpi), width);
}

void ReadingView::drawBlock(HDC dc, int ayah, int top, int width) {
    const AyahBlockParts& parts = parts_[ayah - 1];
    const AyahBlockPlaces places = placeAyahBlock(parts, look_.dpi);
    const bool onBand = ayah == recited_;
    const RECT block{0, top, width, top + places.height};
    if (onBand) {
        GdiObject<HBRUSH> band(CreateSolidBrush(look_.night ? kReadingNightBand : kReadingBand));
        RECT area = block;
        area.top += parts.rule;
        FillRect(dc, &area, band.get());
    }
    if (parts.rule > 0 && marks_.drawRule)
        marks_.drawRule(dc, {surah_, ayah}, RECT{0, top, width, top + parts.rule}, look_.night);
    drawPicture(dc, ayah, onBand, top + places.picture, width);
    const int margin = scaledForDpi(kTextMargin, look_.dpi);
    const std::wstring& first = firstTexts_[ayah - 1];
    RECT text{margin, top + places.first, width - margin, top + places.first + parts.first};
    {
        SelectedObject font(dc, firstFont_.get());
        DrawTextW(dc, first.c_str(), static_cast<int>(first.size()), &text,
                  textFormat(firstRightToLeft_));
    }
    if (parts.second > 0) {
        const std::wstring& second = secondTexts_[ayah - 1];
        text = {margin, top + places.second, width - margin, top + places.second + parts.second};
        SelectedObject font(dc, secondFont_.get());
        DrawTextW(dc, second.c_str(), static_cast<int>(second.size()), &text,
                  textFormat(secondRightToLeft_));
    }
    if (marks_.drawMark) marks_.drawMark(dc, {surah_, ayah}, block, look_.night);
}

void ReadingView::paint(HDC dc, SIZE size) {
    RECT client{0, 0, size.cx, size.cy};
    GdiObject<HBRUSH> paper(CreateSolidBrush(paperColour()));
    FillRect(dc, &client, paper.get());
    if (surah_ < 1) return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look_.night ? RGB(232, 226, 200) : RGB(24, 24, 24));
    const int headHeight = column_.ayatCount() ? column_.ayahTop(1) : column_.totalHeight();
    if (offset_ < headHeight) drawHead(dc, -offset_, size.cx);
    const ReadingColumn::Range range = column_.visibleAyat(offset_, size.cy);
    for (int ayah = range.first; ayah <= range.last; ++ayah)
        drawBlock(dc, ayah, column_.ayahTop(ayah) - offset_, size.cx);
}

void ReadingView::onPaint() {
    PaintDc screen(window_);
    const SIZE size{width_, height_};
    if (size.cx <= 0 || size.cy <= 0) return;
    if (!buffer_ || bufferSize_.cx != size.cx || bufferSize_.cy != size.cy) {
        buffer_.reset(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
        bufferSize_ = size;
    }
    MemoryDc memory(screen.get());
    if (!buffer_ || !memory) {
        paint(screen.get(), size); // no buffer to be had: drawn straight, with some flicker
        return;
    }
    SelectedObject selected(memory.get(), buffer_.get());
    paint(memory.get(), size);
    BitBlt(screen.get(), 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
    // The pictures next to the screen are drawn after this frame, before the next one needs
    // them.
    if (!aheadPosted_) aheadPosted_ = PostMessageW(window_, kDrawAheadMessage, 0, 0) != FALSE;
}
