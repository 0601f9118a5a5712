// Differential test: our GIF decoder against giflib on made-up GIFs and on the
// generated ayah pictures. Both must give the same colour table and the same pixel
// index everywhere.
#include "picture/picture_decoder.h"

#include "picture_builder.h"
#include "tests/support/gif_memory_reader.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

using namespace picture_builder;

namespace {

// Compares the first image as giflib reads it with ours; empty when they agree.
std::string differences(const Bytes& file) {
    GifMemoryReader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readGifFromMemory, &error);
    if (!gif) return "giflib cannot open: " + std::to_string(error);
    std::string result;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        result = "giflib cannot decode: " + std::to_string(gif->Error);
    } else {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map =
            image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const PictureData ours = decodePicture("x.gif", file.data(), file.size());
        const int width = image.ImageDesc.Width;
        const int height = image.ImageDesc.Height;
        if (!ours.ok()) {
            result = "ours failed with " + std::to_string(ours.error);
        } else if (ours.header().width != width || ours.header().height != -height) {
            result = "size differs";
        } else {
            for (int i = 0; i < 256 && result.empty(); ++i) {
                const DibColour c = ours.colours()[i];
                const bool inMap = map && i < map->ColorCount;
                const GifColorType want = inMap ? map->Colors[i] : GifColorType{0, 0, 0};
                if (c.red != want.Red || c.green != want.Green || c.blue != want.Blue) {
                    result = "colour " + std::to_string(i) + " differs";
                }
            }
            for (int row = 0; row < height && result.empty(); ++row) {
                const uint8_t* mine = ours.bits() + static_cast<size_t>(row) * ours.rowStride;
                const uint8_t* theirs = image.RasterBits + static_cast<size_t>(row) * width;
                if (std::memcmp(mine, theirs, width) != 0) {
                    result = "row " + std::to_string(row) + " differs";
                }
            }
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(GifAgainstGiflib, MadeUpPicturesDecodeTheSame) {
    struct Case {
        const char* name;
        int width, height, minimumCodeSize;
        bool interlaced, local;
        int clearWhenFull;
        int blockSize;
    } cases[] = {
        {"tiny", 1, 1, 2, false, false, 0, 255},
        {"interlaced odd size", 37, 23, 4, true, false, 0, 255},
        {"interlaced height 3", 10, 3, 2, true, true, 0, 7},
        {"local table", 50, 20, 5, false, true, 0, 255},
        {"code size 2", 64, 48, 2, false, false, 0, 255},
        {"code size 7", 33, 70, 7, true, true, 0, 100},
        {"code size 8 full table no clear", 200, 150, 8, false, false, -1, 255},
        {"deferred clear", 200, 150, 8, false, true, 700, 255},
        {"deferred clear interlaced", 123, 101, 8, true, false, 50, 1},
    };
    for (const Case& c : cases) {
        GifSpec shape;
        shape.width = c.width;
        shape.height = c.height;
        shape.minimumCodeSize = c.minimumCodeSize;
        shape.interlaced = c.interlaced;
        shape.blockSize = c.blockSize;
        shape.beforeImage = typicalExtensions();
        if (c.local) {
            shape.globalTable = colourTable(256, 3);
            shape.localTable = colourTable(1 << c.minimumCodeSize, 90);
        }
        const Bytes pixels = noisePixels(c.width * c.height, 1 << c.minimumCodeSize, c.width);
        EXPECT_EQ(differences(encodeGif(shape, pixels, {true, c.clearWhenFull, true})), "")
            << c.name;
    }
}

// Every generated ayah picture when the whole set takes less than about 30 s of
// processor time here, else every 7th with the first and last ayah of every surah.
TEST(GifAgainstGiflib, AyahPicturesDecodeTheSame) {
    const std::filesystem::path folder = std::filesystem::path(NORAVEL_DIST_DIR) / "gif";
    if (!std::filesystem::exists(folder / "1" / "1_1.gif")) {
        GTEST_SKIP() << "no ayah pictures in " << folder;
    }
    const std::clock_t start = std::clock();
    int compared = 0, missing = 0, index = 0, step = 1;
    for (int surah = 1; surah <= 114; ++surah) {
        for (int ayah = 1;; ++ayah, ++index) {
            const auto path = folder / std::to_string(surah) /
                              (std::to_string(surah) + "_" + std::to_string(ayah) + ".gif");
            const bool exists = std::filesystem::exists(path);
            const auto next = folder / std::to_string(surah) /
                              (std::to_string(surah) + "_" + std::to_string(ayah + 1) + ".gif");
            if (!exists) {
                if (ayah == 1) ++missing;
                break;
            }
            const bool edge = ayah == 1 || !std::filesystem::exists(next);
            if (!edge && index % step != 0) continue;
            EXPECT_EQ(differences(readFile(path)), "") << path;
            ++compared;
            // Thin out once it is clear that the whole set would take too long.
            if (compared == 200 && step == 1) {
                const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
                if (seconds * 6236 / 200 > 30) step = 7;
            }
        }
    }
    EXPECT_EQ(missing, 0);
    std::cout << "compared " << compared << " ayah pictures"
              << (step > 1 ? " (every 7th and the first and last of each surah)\n" : "\n");
}
