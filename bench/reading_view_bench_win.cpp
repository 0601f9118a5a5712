// What one frame of the reading view costs while surah 2 is scrolled from top to bottom by the
// wheel (three lines a notch), at 96 and 192 DPI: every frame's paint into the view's buffer,
// timed alone. The baseline, measured in the same run and size, is a frame that only covers
// the buffer with the paper. A measurement, not a test: it prints its figures and fails
// nothing.
// With a folder for pictures it also saves a frame of each DPI on 2:255 recited, by day and
// by night, as BMP files there (reading-96-day.bmp, ...).
//   reading_view_bench [program folder [picture folder]]
#include "app/reading_marks_win.h"
#include "app/reading_view_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/calligraphy_win.h"
#include "text/text_store.h"
#include "text/translations_win.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class NoHost : public ReadingViewHost {
  public:
    void readingViewMoved(AyahRef) override {}
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    int frames = 0;
    double median = 0;
    double p95 = 0;
    double p99 = 0;
    double worst = 0;
    double first = 0;
};

Figures figuresOf(std::vector<double> times) {
    Figures figures;
    if (times.empty()) return figures;
    figures.frames = static_cast<int>(times.size());
    figures.first = times.front();
    std::sort(times.begin(), times.end());
    figures.median = times[times.size() / 2];
    figures.p95 = times[times.size() * 95 / 100];
    figures.p99 = times[times.size() * 99 / 100];
    figures.worst = times.back();
    return figures;
}

// The view painted into a 24-bit DIB section and written as a BMP file.
bool saveFrame(ReadingView& view, SIZE size, const std::string& path) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy; // bottom row first, as a BMP file holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    GdiObject<HBITMAP> section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc dc(nullptr);
    if (!section || !dc) return false;
    {
        SelectedObject selected(dc.get(), section.get());
        view.paint(dc.get(), size);
        GdiFlush();
    }
    const DWORD stride = ((size.cx * 3 + 3) / 4) * 4;
    const DWORD bytes = stride * size.cy;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + bytes;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                   std::fwrite(bits, bytes, 1, out) == 1;
    written = std::fclose(out) == 0 && written;
    return written;
}

HFONT translationFontAt(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(12, dpi, 72);
    font.lfWeight = FW_NORMAL;
    lstrcpynW(font.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void measure(HWND parent, const std::wstring& folder, const Calligraphy* calligraphy, int dpi,
             const std::string& shots) {
    NoHost host;
    std::unique_ptr<ReadingView> view =
        ReadingView::create(GetModuleHandleW(nullptr), parent, host, folder, calligraphy);
    if (!view) {
        std::printf("the view cannot be made\n");
        return;
    }
    view->marks() = mushafReadingMarks(); // the pages' rules and the marks, as the reader has
    // A reader of 900 x 520 pixels of column at 96 DPI, the same room at 192.
    const SIZE size{MulDiv(900, dpi, 96), MulDiv(520, dpi, 96)};
    MoveWindow(view->window(), 0, 0, size.cx, size.cy, FALSE);
    GdiObject<HFONT> font(translationFontAt(dpi));
    ReadingLook look;
    look.dpi = dpi;
    look.textFont = font.get();
    const auto layoutStart = Clock::now();
    view->setLook(look);
    view->showAyah({2, 1});
    const double layoutMs = millisecondsSince(layoutStart);

    WindowDc screen(nullptr);
    MemoryDc memory(screen.get());
    GdiObject<HBITMAP> buffer(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    SelectedObject selected(memory.get(), buffer.get());

    std::vector<double> frames;
    std::vector<double> baseline;
    std::vector<double> ahead;
    GdiObject<HBRUSH> paper(CreateSolidBrush(kReadingPaper));
    const RECT all{0, 0, size.cx, size.cy};
    for (;;) {
        auto start = Clock::now();
        view->paint(memory.get(), size);
        GdiFlush();
        frames.push_back(millisecondsSince(start));
        start = Clock::now();
        FillRect(memory.get(), &all, paper.get());
        GdiFlush();
        baseline.push_back(millisecondsSince(start));
        // What the view's queue does after a paint: the pictures next to the screen, one a
        // message.
        for (;;) {
            start = Clock::now();
            if (!view->drawAhead()) break;
            GdiFlush();
            ahead.push_back(millisecondsSince(start));
        }
        if (view->scrollOffset() >= view->column().maxScroll()) break;
        view->scrollLines(3);
    }
    const Figures f = figuresOf(frames);
    const Figures scroll = figuresOf(std::vector<double>(frames.begin() + 1, frames.end()));
    const Figures b = figuresOf(baseline);
    const Figures a = figuresOf(ahead);
    std::printf(
        "%3i DPI, %ix%i, column %i px, layout %.1f ms\n"
        "  %i frames: median %.2f ms, 95th %.2f ms, 99th %.2f ms, worst %.2f ms; the first (the "
        "view opened) %.2f ms, the worst of the scroll frames after it %.2f ms\n"
        "  baseline (a frame of paper only) median %.3f ms: median frame / baseline %.1f\n"
        "  %i pictures drawn ahead between frames: median %.2f ms, 99th %.2f ms, worst %.2f ms\n",
        dpi, static_cast<int>(size.cx), static_cast<int>(size.cy), view->column().totalHeight(),
        layoutMs, f.frames, f.median, f.p95, f.p99, f.worst, f.first, scroll.worst, b.median,
        b.median > 0 ? f.median / b.median : 0.0, a.frames, a.median, a.p99, a.worst);

    if (shots.empty()) return;
    view->showAyah({2, 254});
    view->setRecited(255);
    for (bool night : {false, true}) {
        look.night = night;
        view->setLook(look);
        const std::string path =
            shots + "\\reading-" + std::to_string(dpi) + (night ? "-night" : "-day") + ".bmp";
        if (!saveFrame(*view, size, path)) std::printf("could not save %s\n", path.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::wstring wideFolder = wideFromUtf8(folder.c_str());
    TextStore::load(1);
    TextStore::loadArabic();
    chooseTranslation(1);
    const Calligraphy* calligraphy = programCalligraphy(wideFolder);
    std::printf("reading view paint, surah 2 top to bottom, %s\n",
                calligraphy ? "calligraphy from the font" : "the 1x pictures");
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int dpi : {96, 192})
        measure(parent, wideFolder, calligraphy, dpi, argc > 2 ? argv[2] : "");
    DestroyWindow(parent);
    return 0;
}
