// What drawing 2:255 at 192 DPI (scale 2) costs from the glyph runs and the font, against the
// way it was drawn before: a picture drawn at twice the size in three grey levels, decoded
// from its GIF and turned into the bitmap view's picture (picture/picture_scale). The GIF is
// made here from the same runs drawn at scale 2 and cut to three levels, as the 2x picture
// set was drawn. Every case reports "xPicture": its processor time over the picture's,
// measured in the same run (processor time, so that other work on the machine counts less).
//   glyphs 2: the glyphs drawn at this scale kept from the drawing before (a redraw)
//   glyphs 1: only the glyphs of the ayah before (2:254) kept (the next ayah at one zoom)
//   glyphs 0: every glyph read from the font and drawn anew (the first ayah at a zoom)
//   glyphs 15: the glyphs of the fifteen ayat before (2:240-2:254) kept (reading on)
//   glyphs 3: 2:254 drawn, then 2:255's glyphs drawn ahead (the picture view stepping on)
#include "picture/ayah_calligraphy.h"
#include "picture/picture_decoder.h"
#include "picture/picture_scale.h"
#include "tests/native/picture_builder.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr double kScale = 2.0; // 192 DPI at 100%

Bytes readFile(const std::string& name) {
    std::ifstream in(std::string(NORAVEL_DIST_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const AyahCalligraphy* distCalligraphy() {
    static AyahCalligraphy calligraphy;
    static const bool loaded =
        calligraphy.load(readFile("ayah_runs.bin"), readFile("AmiriQuran.ttf"));
    return loaded ? &calligraphy : nullptr;
}

// 2:255 drawn at scale 2 as a GIF of three levels (paper, half, ink).
const Bytes& doublePicture() {
    static const Bytes gif = [] {
        const AyahRuns runs = distCalligraphy()->ayah(2, 255);
        int width = 0, height = 0;
        ayahPictureSize(runs, kScale, width, height);
        const CoverageCanvas& canvas =
            distCalligraphy()->draw(runs, kScale, GlyphInks{}, width, height);
        Bytes levels(canvas.coverage().size());
        for (std::size_t i = 0; i < levels.size(); ++i)
            levels[i] = static_cast<uint8_t>((canvas.coverage()[i] * 2 + 127) / 255);
        picture_builder::GifSpec shape;
        shape.width = width;
        shape.height = height;
        shape.minimumCodeSize = 2;
        shape.globalTable = {255, 255, 255, 136, 134, 132, 16, 20, 24, 16, 20, 24};
        return picture_builder::encodeGif(shape, levels);
    }();
    return gif;
}

size_t drawPicture() {
    static const PictureSourceChoice choice = choosePictureSource(192, 100, true);
    const PictureData data = decodeGif(doublePicture().data(), doublePicture().size());
    const DrawablePicture picture = makeDrawablePicture(data, choice);
    benchmark::DoNotOptimize(picture.pixels.data());
    return picture.pixels.size();
}

double processorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Processor seconds per picture drawn, over half a second (an average, as the cases below).
double pictureSeconds() {
    drawPicture();
    int draws = 0;
    const double start = processorSeconds();
    double spent = 0;
    while (spent < 0.5) {
        drawPicture();
        ++draws;
        spent = processorSeconds() - start;
    }
    return spent / draws;
}

void BM_DecodeAndScaleThePicture(benchmark::State& state) {
    if (!distCalligraphy()) return state.SkipWithError("glyph runs or font not built");
    for (auto _ : state)
        drawPicture();
    state.counters["file"] = static_cast<double>(doublePicture().size());
}

// range(0): which glyphs are kept (see above).
void BM_DrawFromTheRuns(benchmark::State& state) {
    const AyahCalligraphy* calligraphy = distCalligraphy();
    if (!calligraphy) return state.SkipWithError("glyph runs or font not built");
    const int kept = static_cast<int>(state.range(0));
    const double yardstick = pictureSeconds();
    const AyahRuns runs = calligraphy->ayah(2, 255);
    int width = 0, height = 0;
    ayahPictureSize(runs, kScale, width, height);
    calligraphy->draw(runs, kScale, GlyphInks{}, width, height);
    // The ayat drawn before 2:255 in each round: none, 2:254, or 2:240 to 2:254.
    std::vector<AyahRuns> before;
    if (kept == 1 || kept == 3 || kept == 15)
        for (int ayah = kept == 15 ? 240 : 254; ayah < 255; ++ayah)
            before.push_back(calligraphy->ayah(2, ayah));
    double spent = 0;
    for (auto _ : state) {
        if (kept != 2) {
            state.PauseTiming();
            calligraphy->forgetGlyphs();
            for (const AyahRuns& earlier : before) {
                int earlierWidth = 0, earlierHeight = 0;
                ayahPictureSize(earlier, kScale, earlierWidth, earlierHeight);
                calligraphy->draw(earlier, kScale, GlyphInks{}, earlierWidth, earlierHeight);
            }
            if (kept == 3) calligraphy->prepare(runs, kScale);
            state.ResumeTiming();
        }
        const double start = processorSeconds();
        const CoverageCanvas& canvas = calligraphy->draw(runs, kScale, GlyphInks{}, width, height);
        spent += processorSeconds() - start;
        benchmark::DoNotOptimize(canvas.coverage().data());
    }
    state.counters["xPicture"] = spent / static_cast<double>(state.iterations()) / yardstick;
    state.counters["pixels"] = static_cast<double>(width) * height;
}

BENCHMARK(BM_DecodeAndScaleThePicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFromTheRuns)
    ->ArgName("glyphs")
    ->Arg(2)
    ->Arg(1)
    ->Arg(0)
    ->Arg(15)
    ->Arg(3)
    ->Unit(benchmark::kMicrosecond);

} // namespace
