// What drawing an ayah at 192 DPI costs from the font, against the way it was drawn before
// from pictures: 2:255 decoded from a GIF drawn at twice the size in three grey levels and
// turned into the bitmap view's picture (picture/picture_scale), measured in the same
// process, round for round. The GIF is made here from the same glyph runs drawn at scale 2
// and cut to three levels, as the 2x picture set was drawn.
// A measurement, not a test: it prints its figures and passes or fails nothing.
//   ayah_drawing_bench [program folder] [rounds]
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/calligraphy_win.h"
#include "picture/picture_decoder.h"
#include "picture/picture_scale.h"
#include "tests/native/picture_builder.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds per call of work, over at least a quarter of a second.
template <typename Work> double millisecondsPer(Work work) {
    work();
    int rounds = 0;
    const auto start = Clock::now();
    std::chrono::duration<double, std::milli> spent{};
    while (spent.count() < 250.0) {
        work();
        ++rounds;
        spent = Clock::now() - start;
    }
    return spent.count() / rounds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The ayah drawn at scale, black on white, as a GIF of three levels (paper, half, ink).
picture_builder::Bytes threeLevelGif(const Calligraphy& calligraphy, const AyahRuns& runs,
                                     double scale) {
    RunColours colours;
    GdiObject<HBITMAP> bitmap(makeAyahRunsBitmap(calligraphy, runs, scale, colours));
    const SIZE size = ayahRunsSize(runs, scale);
    if (!bitmap) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), bitmap.get(), 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) !=
        size.cy)
        return {};
    picture_builder::Bytes levels(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int dark = 255 - static_cast<int>(pixels[i] & 0xFF);
        levels[i] = static_cast<uint8_t>((dark * 2 + 127) / 255);
    }
    picture_builder::GifSpec shape;
    shape.width = size.cx;
    shape.height = size.cy;
    shape.minimumCodeSize = 2;
    shape.globalTable = {255, 255, 255, 136, 134, 132, 16, 20, 24, 16, 20, 24};
    return picture_builder::encodeGif(shape, levels);
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : NORAVEL_DIST_DIR;
    if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder; // the build's Unix path
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    SetProcessDPIAware();
    std::unique_ptr<Calligraphy> calligraphy = Calligraphy::open(wideFromUtf8(folder.c_str()));
    if (!calligraphy) {
        std::printf("no glyph runs or font in %s\n", folder.c_str());
        return 1;
    }
    const double scale = 192.0 / 96.0;
    const AyahRuns runs = calligraphy->ayah(2, 255);
    const picture_builder::Bytes gif = threeLevelGif(*calligraphy, runs, scale);
    if (gif.empty()) {
        std::printf("the 2x picture cannot be made\n");
        return 1;
    }
    const PictureSourceChoice choice = choosePictureSource(192, 100, true);
    std::vector<double> pictures, font, ratios, coldFont;
    for (int round = 0; round < rounds; ++round) {
        const double before = millisecondsPer([&] {
            const PictureData data = decodeGif(gif.data(), gif.size());
            const DrawablePicture picture = makeDrawablePicture(data, choice);
            if (picture.empty()) std::abort();
        });
        const double now = millisecondsPer([&] {
            RunColours colours;
            const AyahRuns shown = calligraphy->ayah(2, 255);
            GdiObject<HBITMAP> bitmap(makeAyahRunsBitmap(*calligraphy, shown, scale, colours));
            if (!bitmap) std::abort();
        });
        // Every glyph drawn anew: the scale changes a little each time, which empties the
        // kept glyphs.
        int flip = 0;
        const double cold = millisecondsPer([&] {
            RunColours colours;
            const double wobble = scale * (1.0 + 1e-6 * (++flip % 2));
            GdiObject<HBITMAP> bitmap(makeAyahRunsBitmap(*calligraphy, runs, wobble, colours));
            if (!bitmap) std::abort();
        });
        coldFont.push_back(cold);
        pictures.push_back(before);
        font.push_back(now);
        ratios.push_back(now / before);
    }
    const SIZE size = ayahRunsSize(runs, scale);
    std::printf("2:255 at 192 DPI (%ldx%ld, GIF %zu bytes), median of %d rounds:\n", size.cx,
                size.cy, gif.size(), rounds);
    std::printf("  decode and scale the 2x picture: %.3f ms\n", median(pictures));
    std::printf("  draw the glyph runs from the font (glyphs kept): %.3f ms\n", median(font));
    std::printf("  font / picture: %.2f\n", median(ratios));
    std::printf("  the same with every glyph drawn anew: %.3f ms (%.2f of the picture)\n",
                median(coldFont), median(coldFont) / median(pictures));
    return 0;
}
