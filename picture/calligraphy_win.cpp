// Opening the glyph runs and the font beside the program, and drawing an ayah's runs into
// GDI bitmaps. The drawing itself is portable (picture/ayah_calligraphy): the glyphs' outlines
// read from the font file, drawn by the coverage rasteriser at their exact fractional places
// and blended linearly from paper to ink, as the build draws its pictures. GDI's own text
// output places every glyph at a whole pixel and bends its grey edges, which would move and
// thin the strokes against the pictures.
#include "picture/calligraphy_win.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// Reads a whole file of at most limit bytes; false when it cannot be opened, is larger or
// cannot be read to its end.
bool readWholeFile(const std::wstring& path, DWORD limit, std::vector<std::uint8_t>& bytes) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > limit)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD done = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
            done == bytes.size());
}

std::wstring inFolder(const std::wstring& folder, const wchar_t* name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path + name;
}

std::uint32_t rgb(COLORREF c) { // as 0x00RRGGBB
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 |
           static_cast<std::uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

// The colour of every colour number of the canvas.
void inkTable(const RunColours& colours, std::uint32_t (&table)[kInkNumbers]) {
    for (int n = 0; n < kInkNumbers; ++n)
        table[n] = rgb(n == kMarkInk                   ? colours.mark
                       : n != 0 && colours.ruleColours ? colours.ruleColours[n]
                                                       : colours.ink);
}

GlyphInks inksOf(const RunColours& colours) {
    GlyphInks inks;
    inks.byRule = colours.ruleColours != nullptr;
    inks.markedLetters = colours.markedLetters;
    inks.shownWords = colours.shownWords;
    return inks;
}

} // namespace

std::unique_ptr<Calligraphy> Calligraphy::open(const std::wstring& folder) {
    std::unique_ptr<Calligraphy> calligraphy(new (std::nothrow) Calligraphy);
    if (!calligraphy) return nullptr;
    // The runs file is mapped, not read: opening it reads its tables, and only the records
    // of the ayat drawn are ever read.
    std::vector<std::uint8_t> font;
    if (!calligraphy->runsFile_.open(inFolder(folder, kGlyphRunsFileName),
                                     kMaxGlyphRunsFileBytes) ||
        !readWholeFile(inFolder(folder, kCalligraphyFontFileName),
                       static_cast<DWORD>(kMaxFontFileBytes), font) ||
        !calligraphy->core_.attach(calligraphy->runsFile_.data(), calligraphy->runsFile_.size(),
                                   std::move(font)))
        return nullptr;
    return calligraphy;
}

const Calligraphy* programCalligraphy(const std::wstring& folder) {
    static bool tried = false;
    static std::unique_ptr<Calligraphy> opened;
    if (!tried) {
        tried = true;
        opened = Calligraphy::open(folder);
    }
    return opened.get();
}

SIZE ayahRunsSize(const AyahRuns& runs, double scale) {
    int width = 0, height = 0;
    ayahPictureSize(runs, scale, width, height);
    return SIZE{width, height};
}

bool renderAyahRuns(const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                    const RunColours& colours, std::uint32_t* pixels, SIZE size) {
    if (runs.empty() || !(scale > 0.0) || scale > kMaxRunsScale || size.cx < 1 || size.cy < 1)
        return false;
    const CoverageCanvas& canvas =
        calligraphy.core().draw(runs, scale, inksOf(colours), size.cx, size.cy);
    if (canvas.width() != size.cx || canvas.height() != size.cy) return false;
    std::uint32_t table[kInkNumbers];
    inkTable(colours, table);
    blendCoverage(canvas, rgb(colours.paper), table, pixels);
    return true;
}

HBITMAP makeAyahRunsBitmap(const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                           const RunColours& colours) {
    const SIZE size = ayahRunsSize(runs, scale);
    if (runs.empty() || !(scale > 0.0) || scale > kMaxRunsScale || size.cx < 1 || size.cy < 1 ||
        size.cx > 16384 || size.cy > 16384)
        return nullptr;
    // In one ink the coverage itself is the picture: 8 bits a pixel, a colour table from paper
    // to ink. In several colours 32 bits a pixel.
    const bool oneInk = colours.ruleColours == nullptr && colours.markedLetters == nullptr;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = size.cx;
    info.header.biHeight = -size.cy;
    info.header.biPlanes = 1;
    info.header.biBitCount = oneInk ? 8 : 32;
    info.header.biCompression = BI_RGB;
    if (oneInk) {
        info.header.biClrUsed = 256;
        for (int c = 0; c < 256; ++c) {
            auto mix = [c](int p, int i) {
                return static_cast<BYTE>((p * (255 - c) + i * c + 127) / 255);
            };
            info.colours[c] = RGBQUAD{mix(GetBValue(colours.paper), GetBValue(colours.ink)),
                                      mix(GetGValue(colours.paper), GetGValue(colours.ink)),
                                      mix(GetRValue(colours.paper), GetRValue(colours.ink)), 0};
        }
    }
    void* bits = nullptr;
    GdiObject<HBITMAP> section(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                                DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return nullptr;
    GdiFlush();
    if (oneInk) {
        const CoverageCanvas& canvas =
            calligraphy.core().draw(runs, scale, inksOf(colours), size.cx, size.cy);
        if (canvas.width() != size.cx || canvas.height() != size.cy) return nullptr;
        const std::size_t stride = (static_cast<std::size_t>(size.cx) + 3) / 4 * 4;
        for (LONG y = 0; y < size.cy; ++y)
            std::memcpy(static_cast<std::uint8_t*>(bits) + stride * y,
                        canvas.coverage().data() + static_cast<std::size_t>(size.cx) * y,
                        static_cast<std::size_t>(size.cx));
        return section.release();
    }
    if (!renderAyahRuns(calligraphy, runs, scale, colours, static_cast<std::uint32_t*>(bits), size))
        return nullptr;
    return section.release();
}

bool drawAyahRuns(HDC dc, const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                  int left, int top, const RunColours& colours) {
    GdiObject<HBITMAP> picture(makeAyahRunsBitmap(calligraphy, runs, scale, colours));
    if (!picture) return false;
    const SIZE size = ayahRunsSize(runs, scale);
    MemoryDc memory(dc);
    if (!memory) return false;
    SelectedObject selected(memory.get(), picture.get());
    return BitBlt(dc, left, top, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY) != FALSE;
}
