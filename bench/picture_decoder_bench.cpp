// Decodes every ayah picture with our decoder and with giflib (DGifSlurp, then the
// pixels expanded into padded rows of one byte each, as GDI takes them), from files
// read into memory beforehand.
#include "picture/picture_decoder.h"

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

struct MemoryReader {
    const Bytes* bytes;
    size_t at;
};

int readFromMemory(GifFileType* gif, GifByteType* to, int wanted) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(wanted), reader->bytes->size() - reader->at);
    std::memcpy(to, reader->bytes->data() + reader->at, n);
    reader->at += n;
    return static_cast<int>(n);
}

void report(benchmark::State& state, size_t pictures, size_t pixels) {
    state.counters["pictures"] = static_cast<double>(pictures);
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(pixels),
                                                    benchmark::Counter::kIsIterationInvariantRate);
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
    report(state, files.size(), pixels);
}

void AllAyahPicturesWithGiflib(benchmark::State& state) {
    const auto& files = ayahPictures();
    if (files.empty()) state.SkipWithError("no ayah pictures");
    size_t pixels = 0;
    for (auto _ : state) {
        pixels = 0;
        for (const Bytes& file : files) {
            MemoryReader reader{&file, 0};
            int error = 0;
            GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
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
    report(state, files.size(), pixels);
}

} // namespace

BENCHMARK(AllAyahPicturesWithOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(AllAyahPicturesWithGiflib)->Unit(benchmark::kMillisecond);
