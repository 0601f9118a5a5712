// What drawing 2:255 at 192 DPI (scale 2) costs from the glyph runs and the font, against the
// way it was drawn before: a picture drawn at twice the size in three grey levels, decoded
// from its GIF and turned into the bitmap view's picture (picture/picture_scale). The GIF is
// made here from the same runs drawn at scale 2 and cut to three levels, as the 2x picture
// set was drawn. Every case reports "xPicture": its time over the picture's, measured in the
// same run.
//   cached:   the glyphs drawn at this scale kept from the drawing before (the view redrawn)
//   uncached: every glyph read from the font and drawn anew (a new ayah or zoom)
#include "picture/ayah_calligraphy.h"
#include "picture/picture_decoder.h"
#include "picture/picture_scale.h"
#include "tests/native/picture_builder.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

// Seconds per picture drawn, over enough rounds to be steady.
double pictureSeconds() {
    drawPicture();
    int rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> spent{};
    while (spent.count() < 0.3) {
        drawPicture();
        ++rounds;
        spent = std::chrono::steady_clock::now() - start;
    }
    return spent.count() / rounds;
}

void BM_DecodeAndScaleThePicture(benchmark::State& state) {
    if (!distCalligraphy()) return state.SkipWithError("glyph runs or font not built");
    for (auto _ : state)
        drawPicture();
    state.counters["file"] = static_cast<double>(doublePicture().size());
}

// range(0): 1 to keep the glyphs drawn before, 0 to draw every one anew.
void BM_DrawFromTheRuns(benchmark::State& state) {
    const AyahCalligraphy* calligraphy = distCalligraphy();
    if (!calligraphy) return state.SkipWithError("glyph runs or font not built");
    const bool cached = state.range(0) != 0;
    const double yardstick = pictureSeconds();
    const AyahRuns runs = calligraphy->ayah(2, 255);
    int width = 0, height = 0;
    ayahPictureSize(runs, kScale, width, height);
    calligraphy->draw(runs, kScale, GlyphInks{}, width, height);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!cached) calligraphy->forgetGlyphs();
        const CoverageCanvas& canvas = calligraphy->draw(runs, kScale, GlyphInks{}, width, height);
        benchmark::DoNotOptimize(canvas.coverage().data());
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.counters["xPicture"] =
        spent.count() / static_cast<double>(state.iterations()) / yardstick;
    state.counters["pixels"] = static_cast<double>(width) * height;
}

BENCHMARK(BM_DecodeAndScaleThePicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFromTheRuns)->ArgName("cached")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
