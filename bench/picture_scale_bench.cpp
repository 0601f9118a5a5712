// What drawing an ayah picture at the screen's scale costs: the GIF decoded from memory
// and turned into the picture the bitmap view draws (resized where the scale asks). The
// 1x picture at 96 DPI is the yardstick; every 2x case also reports "x1x", its time over
// the 1x time of the same ayah measured in the same run.
#include "picture/picture_scale.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readPicture(const char* set, int surah, int ayah) {
    const std::string path = std::string(NORAVEL_DIST_DIR) + "/" + set + "/" +
                             std::to_string(surah) + "/" + std::to_string(surah) + "_" +
                             std::to_string(ayah) + ".gif";
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t draw(const Bytes& file, const PictureSourceChoice& choice) {
    const PictureData data = decodeGif(file.data(), file.size());
    const DrawablePicture picture = makeDrawablePicture(data, choice);
    benchmark::DoNotOptimize(picture.pixels.data());
    return picture.pixels.size();
}

// Seconds per draw of the 1x picture at 96 DPI, over enough rounds to be steady.
double singleSeconds(const Bytes& file) {
    const PictureSourceChoice natural = choosePictureSource(96, 100, true);
    draw(file, natural);
    int rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> spent{};
    while (spent.count() < 0.2) {
        draw(file, natural);
        ++rounds;
        spent = std::chrono::steady_clock::now() - start;
    }
    return spent.count() / rounds;
}

// range(0), range(1): the ayah; range(2): the DPI (the zoom is 100%); range(3): 1 for the
// 2x set, 0 for the 1x set.
void BM_DrawAyahPicture(benchmark::State& state) {
    const int surah = static_cast<int>(state.range(0)), ayah = static_cast<int>(state.range(1));
    const int dpi = static_cast<int>(state.range(2));
    const bool fromDouble = state.range(3) != 0;
    const Bytes single = readPicture("gif", surah, ayah);
    const Bytes file = fromDouble ? readPicture("gif2x", surah, ayah) : single;
    if (file.empty() || single.empty()) {
        state.SkipWithError("picture not built");
        return;
    }
    const PictureSourceChoice choice = choosePictureSource(dpi, 100, fromDouble);
    const double yardstick = singleSeconds(single);
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        bytes = draw(file, choice);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.counters["x1x"] = spent.count() / static_cast<double>(state.iterations()) / yardstick;
    state.counters["pixels"] = static_cast<double>(bytes);
    state.counters["file"] = static_cast<double>(file.size());
}

// 2:255 (the Throne Verse, a long picture) and 112:1 (a short one), from the 1x set (the
// fallback when the ayah cannot be drawn from the font) at 96 DPI and reduced for 75%.
BENCHMARK(BM_DrawAyahPicture)
    ->ArgNames({"surah", "ayah", "dpi", "double"})
    ->Args({2, 255, 96, 0})
    ->Args({2, 255, 72, 0})
    ->Args({112, 1, 96, 0})
    ->Args({112, 1, 72, 0})
    ->Unit(benchmark::kMicrosecond);

} // namespace
