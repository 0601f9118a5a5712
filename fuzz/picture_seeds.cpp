// Writes the seed corpus of picture_decoder_fuzz into a folder: small GIFs and BMPs
// made by the tests' builders, each prefixed by the byte that chooses its file name.
// With a second folder, also the large seeds of the run with inputs of up to 4 MB: the
// fuzz build writes those into its build folder. The small ones are kept in
// fuzz/corpus/picture_decoder; run by hand when the builders change:
//   g++ -std=c++17 -I. -Itests/native fuzz/picture_seeds.cpp -o /tmp/picture_seeds
//   /tmp/picture_seeds fuzz/corpus/picture_decoder /tmp/large-seeds
#include "picture_builder.h"

#include <cstdio>
#include <string>

using namespace picture_builder;

namespace {

void writeSeed(const std::string& folder, const std::string& name, uint8_t selector,
               const Bytes& file) {
    const std::string path = folder + "/" + name;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return;
    std::fputc(selector, out);
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) return 2;
    const std::string folder = argv[1];
    constexpr uint8_t kGif = 0, kBmp = 1;

    if (argc == 3) {
        // About 1 MB of codes naming the longest string, after one pixel and after a
        // canvas of 512 x 512 is full.
        for (int side : {1, 512}) {
            GifSpec tiny;
            tiny.minimumCodeSize = 2;
            tiny.width = side;
            tiny.height = side;
            tiny.codeStream = deepestChains(4090, 700000);
            writeSeed(argv[2], "gif_long_stream_" + std::to_string(side), kGif, buildGif(tiny));
        }
    }

    for (int m = 2; m <= 8; m += 3) {
        GifSpec shape;
        shape.minimumCodeSize = m;
        shape.width = 13;
        shape.height = 7;
        writeSeed(folder, "gif_m" + std::to_string(m), kGif,
                  encodeGif(shape, noisePixels(13 * 7, 1 << m, m)));
    }
    GifSpec interlaced;
    interlaced.width = 9;
    interlaced.height = 10;
    interlaced.interlaced = true;
    interlaced.minimumCodeSize = 3;
    interlaced.localTable = colourTable(8, 40);
    interlaced.globalTable = colourTable(4, 9);
    interlaced.beforeImage = typicalExtensions();
    writeSeed(folder, "gif_interlaced_local", kGif, encodeGif(interlaced, noisePixels(90, 8, 5)));

    GifSpec full;
    full.width = 64;
    full.height = 120;
    writeSeed(folder, "gif_full_table", kGif,
              encodeGif(full, noisePixels(64 * 120, 256, 3), LzwOptions{true, 40, true}));
    GifSpec noClear;
    noClear.version = "GIF87a";
    noClear.width = 5;
    noClear.height = 3;
    noClear.minimumCodeSize = 2;
    noClear.blockSize = 3;
    writeSeed(folder, "gif87_no_clear_small_blocks", kGif,
              encodeGif(noClear, noisePixels(15, 4, 2), LzwOptions{false, 0, true}));

    // Strings that grow by one pixel per code, then the longest one named again.
    GifSpec deep;
    deep.minimumCodeSize = 2;
    deep.width = 3;
    deep.height = 2;
    deep.blockSize = 40;
    deep.codeStream = deepestChains(4090, 200);
    writeSeed(folder, "gif_deepest_chains", kGif, buildGif(deep));

    BmpSpec masks;
    masks.bitCount = 16;
    masks.compression = 3;    // BI_BITFIELDS
    masks.paletteEntries = 3; // the three masks
    writeSeed(folder, "bmp_16_bitfields", kBmp, buildBmp(masks));

    for (int bits : {1, 4, 8, 24, 32}) {
        BmpSpec shape;
        shape.width = 5;
        shape.height = bits == 24 ? -3 : 3;
        shape.bitCount = bits;
        writeSeed(folder, "bmp_" + std::to_string(bits), kBmp, buildBmp(shape));
    }
    return 0;
}
