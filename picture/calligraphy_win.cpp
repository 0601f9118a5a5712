// Opening the glyph runs and the font beside the program, and drawing an ayah's runs. The
// glyphs' outlines come from the font through GDI (GetGlyphOutlineW, in font units); they are
// drawn by the coverage rasteriser (picture/glyph_raster) at their exact fractional positions
// and blended linearly from paper to ink, as the build draws its pictures. GDI's own text
// output places every glyph at a whole pixel and bends its grey edges, which would move and
// thin the strokes against the pictures.
#include "picture/calligraphy_win.h"

#include "picture/glyph_raster.h"
#include "picture/word_reveal.h"

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

// The colour number of one glyph on the canvas: 0 ink, a rule's number, or kMarkColour.
constexpr std::uint8_t kMarkColour = kGlyphRunsRuleLimit;

std::uint8_t glyphColour(const RunGlyph& glyph, const RunColours& colours) {
    if (colours.markedLetters && glyph.letter != kNoLetter &&
        glyph.letter < colours.markedLetters->size() && (*colours.markedLetters)[glyph.letter])
        return kMarkColour;
    return colours.ruleColours ? glyph.rule : 0;
}

COLORREF colourOfNumber(std::uint8_t number, const RunColours& colours) {
    if (number == kMarkColour) return colours.mark;
    if (number != 0 && colours.ruleColours) return colours.ruleColours[number];
    return colours.ink;
}

float fromFixed(const FIXED& v) {
    return static_cast<float>(v.value) + static_cast<float>(v.fract) / 65536.0f;
}

OutlinePoint pointOf(const POINTFX& p) {
    return {fromFixed(p.x), fromFixed(p.y)};
}

// The contours of GetGlyphOutlineW's GGO_NATIVE (quadratic) or cubic answer, bounded by size.
GlyphOutline parseOutline(const std::uint8_t* data, DWORD size) {
    GlyphOutline outline;
    DWORD at = 0;
    while (size - at >= sizeof(TTPOLYGONHEADER)) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, data + at, sizeof header);
        if (header.dwType != TT_POLYGON_TYPE || header.cb < sizeof header || header.cb > size - at)
            return GlyphOutline{};
        const DWORD end = at + header.cb;
        std::vector<OutlinePoint> contour{pointOf(header.pfxStart)};
        DWORD c = at + sizeof header;
        while (end - c >= 2 * sizeof(WORD)) {
            WORD type = 0, count = 0;
            std::memcpy(&type, data + c, sizeof type);
            std::memcpy(&count, data + c + sizeof type, sizeof count);
            c += 2 * sizeof(WORD);
            if (count == 0 || (end - c) / sizeof(POINTFX) < count) return GlyphOutline{};
            std::vector<OutlinePoint> points(count);
            for (WORD i = 0; i < count; ++i) {
                POINTFX p;
                std::memcpy(&p, data + c + i * sizeof(POINTFX), sizeof p);
                points[i] = pointOf(p);
            }
            c += count * static_cast<DWORD>(sizeof(POINTFX));
            if (type == TT_PRIM_LINE) {
                contour.insert(contour.end(), points.begin(), points.end());
            } else if (type == TT_PRIM_QSPLINE) {
                // Control points; between two of them an implied point halfway.
                for (WORD i = 0; i + 1 < count; ++i) {
                    const OutlinePoint from = contour.back(), control = points[i];
                    const OutlinePoint to = i + 2 < count
                                                ? OutlinePoint{(points[i].x + points[i + 1].x) / 2,
                                                               (points[i].y + points[i + 1].y) / 2}
                                                : points[i + 1];
                    appendQuadratic(contour, from, control, to);
                }
            } else if (type == TT_PRIM_CSPLINE) {
                for (WORD i = 0; i + 2 < count; i += 3)
                    appendCubic(contour, contour.back(), points[i], points[i + 1], points[i + 2]);
            } else {
                return GlyphOutline{};
            }
        }
        if (contour.size() > 2) outline.contours.push_back(std::move(contour));
        at = end;
    }
    return outline;
}

} // namespace

std::unique_ptr<Calligraphy> Calligraphy::open(const std::wstring& folder) {
    std::unique_ptr<Calligraphy> calligraphy(new (std::nothrow) Calligraphy);
    if (!calligraphy) return nullptr;
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(inFolder(folder, kGlyphRunsFileName),
                       static_cast<DWORD>(kMaxGlyphRunsFileBytes), bytes) ||
        !calligraphy->runs_.load(std::move(bytes)))
        return nullptr;
    // The glyph numbers belong to one font file: another one (or a damaged one) would draw
    // other letters.
    calligraphy->fontPath_ = inFolder(folder, kCalligraphyFontFileName);
    std::vector<std::uint8_t> font;
    if (!readWholeFile(calligraphy->fontPath_, kMaxCalligraphyFontBytes, font) ||
        font.size() != calligraphy->runs_.fontBytes() ||
        glyphRunsChecksum(font.data(), font.size()) != calligraphy->runs_.fontChecksum())
        return nullptr;
    if (AddFontResourceExW(calligraphy->fontPath_.c_str(), FR_PRIVATE, nullptr) == 0)
        return nullptr;
    calligraphy->fontAdded_ = true;
    // The font GDI gives for the name must be this one: its face, and its em in font units
    // for the outlines.
    if (!calligraphy->dc_) return nullptr;
    LOGFONTW probe{};
    probe.lfHeight = -1000;
    probe.lfCharSet = DEFAULT_CHARSET;
    probe.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(probe.lfFaceName, kCalligraphyFaceName, LF_FACESIZE);
    GdiObject<HFONT> probeFont(CreateFontIndirectW(&probe));
    if (!probeFont) return nullptr;
    OUTLINETEXTMETRICW metrics{};
    wchar_t face[LF_FACESIZE] = L"";
    {
        SelectedObject selected(calligraphy->dc_.get(), probeFont.get());
        GetTextFaceW(calligraphy->dc_.get(), LF_FACESIZE, face);
        metrics.otmSize = sizeof metrics;
        if (!GetOutlineTextMetricsW(calligraphy->dc_.get(), sizeof metrics, &metrics))
            metrics.otmEMSquare = 0;
    }
    if (lstrcmpiW(face, kCalligraphyFaceName) != 0 || metrics.otmEMSquare < 16 ||
        metrics.otmEMSquare > 16384)
        return nullptr;
    // At one pixel a font unit the outlines come in font units.
    calligraphy->unitsPerEm_ = static_cast<int>(metrics.otmEMSquare);
    probe.lfHeight = -calligraphy->unitsPerEm_;
    calligraphy->unitFont_.reset(CreateFontIndirectW(&probe));
    if (!calligraphy->unitFont_) return nullptr;
    return calligraphy;
}

Calligraphy::~Calligraphy() {
    unitFont_.reset();
    if (fontAdded_) RemoveFontResourceExW(fontPath_.c_str(), FR_PRIVATE, nullptr);
}

const GlyphOutline& Calligraphy::outline(std::uint16_t glyph) const {
    auto found = outlines_.find(glyph);
    if (found != outlines_.end()) return found->second;
    GlyphOutline outline;
    SelectedObject selected(dc_.get(), unitFont_.get());
    GLYPHMETRICS metrics{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const UINT format = GGO_NATIVE | GGO_GLYPH_INDEX | GGO_UNHINTED;
    const DWORD size = GetGlyphOutlineW(dc_.get(), glyph, format, &metrics, 0, nullptr, &identity);
    if (size != GDI_ERROR && size > 0 && size <= kMaxOutlineBytes) {
        std::vector<std::uint8_t> data(size);
        if (GetGlyphOutlineW(dc_.get(), glyph, format, &metrics, size, data.data(), &identity) ==
            size)
            outline = parseOutline(data.data(), size);
    }
    return outlines_.emplace(glyph, std::move(outline)).first->second;
}

const GlyphCoverage& Calligraphy::coverage(std::uint16_t glyph, int phaseX, int phaseY,
                                           double unitScale) const {
    if (unitScale != coverageScale_ || coverages_.size() >= kMaxKeptGlyphs) {
        coverages_.clear();
        coverageScale_ = unitScale;
    }
    const std::uint32_t key = static_cast<std::uint32_t>(glyph) << 16 |
                              static_cast<std::uint32_t>(phaseX & 0xFF) << 8 |
                              static_cast<std::uint32_t>(phaseY & 0xFF);
    auto found = coverages_.find(key);
    if (found != coverages_.end()) return found->second;
    return coverages_
        .emplace(key, rasteriseGlyph(outline(glyph), unitScale,
                                     static_cast<double>(phaseX) / kGlyphPhases,
                                     static_cast<double>(phaseY) / kGlyphPhases))
        .first->second;
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
    return SIZE{static_cast<LONG>(std::ceil(runs.width * scale - 1e-9)),
                static_cast<LONG>(std::ceil(runs.height * scale - 1e-9))};
}

// The ayah's coverage on the calligraphy's canvas of size, with each glyph's colour number
// when trackColours.
static const CoverageCanvas& drawCanvas(const Calligraphy& calligraphy, const AyahRuns& runs,
                                        double scale, const RunColours& colours, SIZE size,
                                        bool trackColours) {
    CoverageCanvas& canvas = calligraphy.canvas();
    canvas.reset(size.cx, size.cy, trackColours);
    const double unitScale = calligraphy.emPixels() * scale / calligraphy.unitsPerEm();
    const int wordCount = colours.shownWords >= 0 ? runsWordCount(runs) : 0;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& g : line.glyphs) {
            if (!glyphRevealed(g.word, colours.shownWords, wordCount)) continue;
            // The whole pixel and the 64th of a pixel the origin falls on.
            const double x = std::round(g.x * scale / 64.0 * kGlyphPhases);
            const double y = std::round(g.y * scale / 64.0 * kGlyphPhases);
            if (std::fabs(x) > 1e9 || std::fabs(y) > 1e9) continue;
            const long long qx = static_cast<long long>(x), qy = static_cast<long long>(y);
            const long long wholeX =
                qx >= 0 ? qx / kGlyphPhases : -((-qx + kGlyphPhases - 1) / kGlyphPhases);
            const long long wholeY =
                qy >= 0 ? qy / kGlyphPhases : -((-qy + kGlyphPhases - 1) / kGlyphPhases);
            const int phaseX = static_cast<int>(qx - wholeX * kGlyphPhases);
            const int phaseY = static_cast<int>(qy - wholeY * kGlyphPhases);
            canvas.place(calligraphy.coverage(g.glyph, phaseX, phaseY, unitScale),
                         static_cast<int>(wholeX), static_cast<int>(wholeY),
                         glyphColour(g, colours));
        }
    return canvas;
}

bool renderAyahRuns(const Calligraphy& calligraphy, const AyahRuns& runs, double scale,
                    const RunColours& colours, std::uint32_t* pixels, SIZE size) {
    if (runs.empty() || !(scale > 0.0) || scale > kMaxRunsScale || size.cx < 1 || size.cy < 1)
        return false;
    const CoverageCanvas& canvas = drawCanvas(calligraphy, runs, scale, colours, size, true);
    // Every pixel from paper to its glyph's colour by its coverage (0x00RRGGBB), through a
    // table for each colour met.
    auto blend = [](COLORREF paper, COLORREF ink, int cover) {
        auto mix = [cover](int p, int i) { return (p * (255 - cover) + i * cover + 127) / 255; };
        return static_cast<std::uint32_t>(mix(GetRValue(paper), GetRValue(ink)) << 16 |
                                          mix(GetGValue(paper), GetGValue(ink)) << 8 |
                                          mix(GetBValue(paper), GetBValue(ink)));
    };
    std::vector<std::vector<std::uint32_t>> tables(kMarkColour + 1);
    const std::vector<std::uint8_t>& coverage = canvas.coverage();
    const std::vector<std::uint8_t>& numbers = canvas.colours();
    const std::uint32_t paper = blend(colours.paper, colours.paper, 0);
    for (std::size_t p = 0; p < coverage.size(); ++p) {
        if (coverage[p] == 0) {
            pixels[p] = paper;
            continue;
        }
        std::vector<std::uint32_t>& table = tables[numbers[p] <= kMarkColour ? numbers[p] : 0];
        if (table.empty()) {
            table.resize(256);
            const COLORREF ink = colourOfNumber(numbers[p], colours);
            for (int c = 0; c < 256; ++c)
                table[static_cast<std::size_t>(c)] = blend(colours.paper, ink, c);
        }
        pixels[p] = table[coverage[p]];
    }
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
        const CoverageCanvas& canvas = drawCanvas(calligraphy, runs, scale, colours, size, false);
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
