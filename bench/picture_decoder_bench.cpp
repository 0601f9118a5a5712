// Decodes every ayah picture with our decoder and with giflib (DGifSlurp, then the
// pixels expanded into padded rows of one byte each, as GDI takes them), from files
// read into memory beforehand; then the most costly code streams we could make, each
// beside the ayah pictures by its time per input byte ("s/byte").
#include "picture/picture_decoder.h"

#include "picture_builder.h"
#include "tests/support/gif_memory_reader.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const std::vector<Bytes>& ayahPictures() {
    static const std::vector<Bytes> files = [] {
        std::vector<Bytes> all;
        const std::filesystem::path folder = std::filesystem::path(NORAVEL_DIST_DIR) / "gif";
        for (int surah = 1; surah <= 114; ++surah) {
            for (int ayah = 1;; ++ayah) {
                const std::string name =
                    std::to_string(surah) + "_" + std::to_string(ayah) + ".gif";
                std::ifstream in(folder / std::to_string(surah) / name, std::ios::binary);
                if (!in) break;
                all.emplace_back(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
            }
        }
        return all;
    }();
    return files;
}

void report(benchmark::State& state, size_t pictures, size_t pixels, size_t bytes) {
    state.counters["pictures"] = static_cast<double>(pictures);
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(pixels),
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["s/byte"] = benchmark::Counter(static_cast<double>(bytes),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

size_t totalBytes(const std::vector<Bytes>& files) {
    size_t bytes = 0;
    for (const Bytes& file : files)
        bytes += file.size();
    return bytes;
}

void AllAyahPicturesWithOurDecoder(benchmark::State& state) {
    const auto& files = ayahPictures();
    if (files.empty()) state.SkipWithError("no ayah pictures");
    size_t pixels = 0;
    for (auto _ : state) {
        pixels = 0;
        for (const Bytes& file : files) {
            const PictureData picture = decodePicture("a.gif", file.data(), file.size());
            if (!picture.ok()) state.SkipWithError("decoding failed");
            benchmark::DoNotOptimize(picture.bits());
            pixels += picture.bitsSize;
        }
    }
    report(state, files.size(), pixels, totalBytes(files));
}

void AllAyahPicturesWithGiflib(benchmark::State& state) {
    const auto& files = ayahPictures();
    if (files.empty()) state.SkipWithError("no ayah pictures");
    size_t pixels = 0;
    for (auto _ : state) {
        pixels = 0;
        for (const Bytes& file : files) {
            GifMemoryReader reader{&file};
            int error = 0;
            GifFileType* gif = DGifOpen(&reader, readGifFromMemory, &error);
            if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
                state.SkipWithError("giflib failed");
                if (gif) DGifCloseFile(gif, &error);
                break;
            }
            const SavedImage& image = gif->SavedImages[0];
            const int width = image.ImageDesc.Width;
            const int height = image.ImageDesc.Height;
            const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
            std::vector<uint8_t> rows(stride * height);
            for (int row = 0; row < height; ++row) {
                std::memcpy(rows.data() + row * stride, image.RasterBits + row * width, width);
            }
            benchmark::DoNotOptimize(rows.data());
            pixels += rows.size();
            DGifCloseFile(gif, &error);
        }
    }
    report(state, files.size(), pixels, totalBytes(files));
}

// ---- Hostile code streams ----

using namespace picture_builder;
constexpr size_t kMegabyte = 1 << 20;

GifSpec canvas(int width, int height, int minimumCodeSize, bool interlaced = false) {
    GifSpec shape;
    shape.width = width;
    shape.height = height;
    shape.minimumCodeSize = minimumCodeSize;
    shape.globalTable = colourTable(1 << std::max(1, minimumCodeSize));
    shape.interlaced = interlaced;
    return shape;
}

// Clear codes only, eight 1-bit codes per byte: each second one is written as a pixel.
Bytes clearCodesOnly(size_t bytes) {
    return Bytes(bytes, 0xFF);
}

struct Hostile {
    const char* name;
    Bytes file;
};

const std::vector<Hostile>& hostilePictures() {
    static const std::vector<Hostile> all = [] {
        std::vector<Hostile> made;
        // The largest picture allowed, filled by strings of 4,091 pixels per code once
        // the table is full (8,370,186 pixels are placed while it fills).
        const int side = 4096;
        GifSpec big = canvas(side, side, 2);
        big.codeStream = deepestChains(4090, (side * side - 8370186L) / 4091 + 1);
        made.push_back({"BigCanvasFilledByLongestStrings", buildGif(big)});
        // One pixel, then 1 MB of codes naming the longest string.
        GifSpec tiny = canvas(1, 1, 2);
        tiny.codeStream = deepestChains(4090, kMegabyte * 8 / 12);
        made.push_back({"TinyPictureLongestStringRepeated", buildGif(tiny)});
        // One pixel per row across every interlace pass: 362 strings fill 65,535 rows.
        GifSpec narrow = canvas(1, 65535, 2, true);
        narrow.codeStream = deepestChains(362, 0);
        made.push_back({"InterlacedOnePixelRowsByDeepChains", buildGif(narrow)});
        GifSpec clears = canvas(4096, 1024, 0);
        clears.codeStream = clearCodesOnly(kMegabyte);
        made.push_back({"ClearCodesOnly", buildGif(clears)});
        GifSpec blocks = clears;
        blocks.blockSize = 1;
        made.push_back({"ClearCodesInOneByteSubBlocks", buildGif(blocks)});
        // A canvas of the largest size with almost no data.
        GifSpec empty = canvas(side, side, 2);
        empty.codeStream = deepestChains(0, 0);
        made.push_back({"BigCanvasOnePixelOfData", buildGif(empty)});
        return made;
    }();
    return all;
}

void HostileStream(benchmark::State& state) {
    const Hostile& hostile = hostilePictures()[static_cast<size_t>(state.range(0))];
    state.SetLabel(hostile.name);
    size_t pixels = 0;
    for (auto _ : state) {
        const PictureData picture =
            decodePicture("a.gif", hostile.file.data(), hostile.file.size());
        if (!picture.ok()) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(picture.bits());
        pixels = picture.bitsSize;
    }
    state.counters["bytes"] = static_cast<double>(hostile.file.size());
    report(state, 1, pixels, hostile.file.size());
}

} // namespace

BENCHMARK(AllAyahPicturesWithOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(AllAyahPicturesWithGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(HostileStream)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
