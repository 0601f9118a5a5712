// Tests of the picture decoding core on small GIFs and BMPs built here.
#include "picture/picture_decoder.h"

#include "picture_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace picture_builder;

namespace {

PictureData decodeBytes(const char* name, const Bytes& file) {
    return decodePicture(name, file.data(), file.size());
}

PictureData decodeGifBytes(const Bytes& file) {
    return decodeBytes("a.gif", file);
}

// The image's pixels row-major without the row padding.
Bytes pixelsOf(const PictureData& picture) {
    const int width = picture.header().width;
    const int height = -picture.header().height;
    Bytes out;
    for (int row = 0; row < height; ++row) {
        const uint8_t* start = picture.bits() + static_cast<size_t>(row) * picture.rowStride;
        out.insert(out.end(), start, start + width);
    }
    return out;
}

// A GIF whose code stream is written code by code (8-bit minimum code size).
Bytes gifOfCodes(std::initializer_list<int> codes, int width = 4, int height = 1) {
    TrackedCodeWriter writer(8);
    for (int code : codes)
        writer.put(code);
    GifSpec shape;
    shape.width = width;
    shape.height = height;
    shape.globalTable = colourTable(256);
    shape.codeStream = writer.finish();
    return buildGif(shape);
}

Bytes smallGif(const std::string& version = "GIF89a") {
    GifSpec shape;
    shape.version = version;
    shape.width = 6;
    shape.height = 4;
    shape.minimumCodeSize = 3;
    return encodeGif(shape, noisePixels(24, 8, 9));
}

} // namespace

TEST(PictureFormat, ExtensionFromTheLastDotChoosesTheFormatIgnoringCase) {
    EXPECT_EQ(pictureFormatOf("gif\\2\\2_1.GIF"), PictureFormat::Gif);
    EXPECT_EQ(pictureFormatOf("back.Bmp"), PictureFormat::Bmp);
    EXPECT_EQ(pictureFormatOf("a.JPEG"), PictureFormat::Jpeg);
    EXPECT_EQ(pictureFormatOf("dir.gif\\picture"), PictureFormat::Unknown);
    EXPECT_EQ(pictureFormatOf(nullptr), PictureFormat::Unknown);
    const Bytes gif = smallGif();
    EXPECT_TRUE(decodeBytes("A.GIF", gif).ok());
    for (const char* name : {"a.tif", "noextension", "a.gif.txt"}) {
        EXPECT_EQ(decodeBytes(name, gif).error, kPictureUnknownExtension) << name;
    }
    // Recognised but never decoded, even when the bytes are a sound GIF.
    for (const char* name : {"a.jpg", "a.jpeg", "a.pcx", "a.tiff"}) {
        const PictureData picture = decodeBytes(name, gif);
        EXPECT_EQ(picture.error, kPictureNoData) << name;
        EXPECT_FALSE(picture.buffer) << name;
    }
}

TEST(GifDecoding, HeaderAndSeparatorFaultsGiveTheirCodes) {
    Bytes gif = smallGif();
    EXPECT_EQ(decodeGifBytes(Bytes(gif.begin(), gif.begin() + 12)).error, kPictureNotGif);
    for (const char* version : {"GIF88a", "GIF87b", "gif89a"}) {
        Bytes wrong = gif;
        std::memcpy(wrong.data(), version, 6);
        EXPECT_EQ(decodeGifBytes(wrong).error, kPictureNotGif) << version;
    }
    // A global table announced for 256 colours, with only 10 there.
    Bytes shortTable(gif.begin(), gif.begin() + 13);
    shortTable[10] = 0x87;
    shortTable.resize(13 + 30);
    EXPECT_EQ(decodeGifBytes(shortTable).error, kPictureReadFailed);

    GifSpec noImage;
    noImage.globalTable = colourTable(2);
    Bytes withoutSeparator = buildGif(noImage);
    withoutSeparator.resize(13 + 6); // header and table only
    EXPECT_EQ(decodeGifBytes(withoutSeparator).error, kPictureBadGif);
}

TEST(GifDecoding, MalformedDescriptorTablesAndSizesAreErrorThree) {
    const Bytes gif = smallGif();
    const size_t separator = 13 + 3 * 8;
    ASSERT_EQ(gif[separator], 0x2C);
    // Cut inside the descriptor, and just before the minimum code size.
    EXPECT_EQ(decodeGifBytes(Bytes(gif.begin(), gif.begin() + separator + 5)).error,
              kPictureBadGif);
    EXPECT_EQ(decodeGifBytes(Bytes(gif.begin(), gif.begin() + separator + 10)).error,
              kPictureBadGif);
    // A local table announced but cut short.
    Bytes localShort(gif.begin(), gif.begin() + separator + 10);
    localShort[separator + 9] = 0x87;
    localShort.insert(localShort.end(), 20, 1);
    EXPECT_EQ(decodeGifBytes(localShort).error, kPictureBadGif);
    // Minimum code size 12 would put the first free code at 4098, even for a
    // stream that is otherwise sound.
    CodeWriter thirteenBits;
    for (int code : {4096, 5, 7, 4097})
        thirteenBits.write(code, 13);
    GifSpec bigCodes;
    bigCodes.width = 2;
    bigCodes.minimumCodeSize = 12;
    bigCodes.codeStream = thirteenBits.finish();
    EXPECT_EQ(decodeGifBytes(buildGif(bigCodes)).error, kPictureBadGif);
    GifSpec widest;
    widest.width = 20;
    widest.height = 20;
    widest.minimumCodeSize = 11;
    widest.globalTable = colourTable(256);
    const Bytes widePixels = noisePixels(400, 256, 11);
    const PictureData wide = decodeGifBytes(encodeGif(widest, widePixels));
    ASSERT_TRUE(wide.ok());
    EXPECT_EQ(pixelsOf(wide), widePixels);
    // 65535 x 65535, and anything past 16 MiB of pixels, before any allocation.
    for (auto [width, height] : {std::pair{65535, 65535}, std::pair{4096, 4097}}) {
        Bytes huge = gif;
        huge[separator + 5] = static_cast<uint8_t>(width);
        huge[separator + 6] = static_cast<uint8_t>(width >> 8);
        huge[separator + 7] = static_cast<uint8_t>(height);
        huge[separator + 8] = static_cast<uint8_t>(height >> 8);
        EXPECT_EQ(decodeGifBytes(huge).error, kPictureBadGif) << width << "x" << height;
    }
}

TEST(GifDecoding, CodeAfterClearAboveTheFirstFreeCodeIsErrorThree) {
    EXPECT_EQ(decodeGifBytes(gifOfCodes({256, 259, 257})).error, kPictureBadGif);
    // The first free code itself is still written, as its low 8 bits.
    const PictureData atFirstFree = decodeGifBytes(gifOfCodes({256, 258, 257}));
    ASSERT_TRUE(atFirstFree.ok());
    EXPECT_EQ(atFirstFree.bits()[0], 258 & 0xFF);
}

TEST(GifDecoding, CodeBeyondTheOneBeingDefinedIsErrorThree) {
    // 300 is ahead of the table, whose next free code is 258.
    EXPECT_EQ(decodeGifBytes(gifOfCodes({256, 0, 300, 259, 259, 257}, 16)).error, kPictureBadGif);
    EXPECT_EQ(decodeGifBytes(gifOfCodes({256, 0, 259, 259, 259, 257}, 16)).error, kPictureBadGif);
    // The code being defined is the previous string and that string's first pixel.
    const PictureData defined = decodeGifBytes(gifOfCodes({256, 5, 7, 258, 260, 257}, 7));
    ASSERT_TRUE(defined.ok());
    EXPECT_EQ(pixelsOf(defined), (Bytes{5, 7, 5, 7, 5, 7, 5}));
}

TEST(GifDecoding, DecodingStopsWhenTheLastPixelIsPlaced) {
    // The faulty chain of the test above comes only after the picture is full.
    const PictureData tiny = decodeGifBytes(gifOfCodes({256, 7, 300, 259, 259, 257}, 1, 1));
    ASSERT_TRUE(tiny.ok());
    EXPECT_EQ(tiny.bits()[0], 7);
    // The second code is the string being defined ("0" and its first pixel again),
    // one pixel longer than what is left; long strings follow.
    GifSpec pair;
    pair.width = 2;
    pair.minimumCodeSize = 2;
    pair.globalTable = colourTable(4);
    pair.codeStream = deepestChains(4090, 1000);
    const PictureData cut = decodeGifBytes(buildGif(pair));
    ASSERT_TRUE(cut.ok());
    EXPECT_EQ(Bytes(cut.bits(), cut.bits() + 4), (Bytes{0, 0, 0, 0}));
    // Interlaced: the last row of the last pass ends it (rows 0, 2, then 1).
    GifSpec shape;
    shape.width = 2;
    shape.height = 3;
    shape.interlaced = true;
    shape.globalTable = colourTable(256);
    TrackedCodeWriter writer(8);
    for (int code : {256, 1, 2, 3, 4, 5, 6, 300, 259, 259, 257})
        writer.put(code);
    shape.codeStream = writer.finish();
    const PictureData interlaced = decodeGifBytes(buildGif(shape));
    ASSERT_TRUE(interlaced.ok());
    EXPECT_EQ(pixelsOf(interlaced), (Bytes{1, 2, 5, 6, 3, 4}));
}

TEST(GifDecoding, BothVersionsDecodeWithExtensionsBeforeTheImage) {
    const Bytes pixels = noisePixels(7 * 5, 16, 4);
    for (const char* version : {"GIF87a", "GIF89a"}) {
        GifSpec shape;
        shape.version = version;
        shape.width = 7;
        shape.height = 5;
        shape.minimumCodeSize = 4;
        shape.beforeImage = typicalExtensions();
        const PictureData picture = decodeGifBytes(encodeGif(shape, pixels));
        ASSERT_TRUE(picture.ok()) << version;
        EXPECT_EQ(pixelsOf(picture), pixels) << version;
        const DibInfoHeader& h = picture.header();
        EXPECT_EQ((std::vector<int64_t>{h.size, h.width, h.height, h.planes, h.bitCount,
                                        h.compression, h.colorsUsed, h.colorsImportant}),
                  (std::vector<int64_t>{40, 7, -5, 1, 8, kDibRgb, 256, 256}));
        EXPECT_EQ(picture.bitsOffset, 40u + 1024u);
    }
}

TEST(GifDecoding, SeparatorByteInsideAnExtensionIsTakenAsTheImage) {
    // A comment whose text happens to hold 0x2C and a 3 x 1 image after it.
    Bytes inner = {0x2C, 0, 0, 0, 0, 3, 0, 1, 0, 0, 2};
    const Bytes innerBlocks = subBlocks(lzwEncode({1, 2, 3}, 2));
    inner.insert(inner.end(), innerBlocks.begin(), innerBlocks.end());
    inner.push_back(0);
    GifSpec shape;
    shape.width = 9;
    shape.height = 9;
    shape.minimumCodeSize = 2;
    shape.beforeImage = {0x21, 0xFE, static_cast<uint8_t>(inner.size())};
    shape.beforeImage.insert(shape.beforeImage.end(), inner.begin(), inner.end());
    shape.beforeImage.push_back(0);
    const PictureData picture = decodeGifBytes(encodeGif(shape, Bytes(81, 3)));
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.header().width, 3);
    EXPECT_EQ(picture.header().height, -1);
    EXPECT_EQ(pixelsOf(picture), (Bytes{1, 2, 3}));
}

TEST(GifDecoding, LocalColourTableWinsOverTheGlobalOne) {
    GifSpec shape;
    shape.width = 3;
    shape.height = 2;
    shape.minimumCodeSize = 2;
    shape.globalTable = colourTable(256, 1);
    shape.localTable = colourTable(4, 77);
    const PictureData local = decodeGifBytes(encodeGif(shape, {0, 1, 2, 3, 0, 1}));
    ASSERT_TRUE(local.ok());
    for (int i = 0; i < 256; ++i) {
        const DibColour c = local.colours()[i];
        if (i < 4) {
            EXPECT_EQ(c.red, shape.localTable[3 * i]);
            EXPECT_EQ(c.green, shape.localTable[3 * i + 1]);
            EXPECT_EQ(c.blue, shape.localTable[3 * i + 2]);
        } else {
            EXPECT_EQ(c.red | c.green | c.blue, 0) << "entry " << i << " left over";
        }
        EXPECT_EQ(c.reserved, 0);
    }
    shape.localTable.clear();
    const PictureData global = decodeGifBytes(encodeGif(shape, {0, 1, 2, 3, 0, 1}));
    ASSERT_TRUE(global.ok());
    EXPECT_EQ(global.colours()[200].red, shape.globalTable[600]);
    EXPECT_EQ(global.colours()[200].blue, shape.globalTable[602]);
}

TEST(GifDecoding, InterlacedRowsArriveInPassOrder) {
    // Stream row k is filled with the value k; the table gives where it must land.
    const std::pair<int, std::vector<int>> cases[] = {{10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
                                                      {3, {0, 2, 1}}};
    for (const auto& [height, landing] : cases) {
        const int width = 5;
        Bytes stream;
        for (int k = 0; k < height; ++k)
            stream.insert(stream.end(), width, k);
        GifSpec shape;
        shape.width = width;
        shape.height = height;
        shape.interlaced = true;
        shape.minimumCodeSize = 4;
        shape.globalTable = colourTable(16);
        shape.codeStream = lzwEncode(stream, 4);
        const PictureData picture = decodeGifBytes(buildGif(shape));
        ASSERT_TRUE(picture.ok());
        for (int k = 0; k < height; ++k) {
            const uint8_t* row = picture.bits() + landing[k] * picture.rowStride;
            EXPECT_EQ(Bytes(row, row + width), Bytes(width, k)) << "stream row " << k;
        }
    }
}

TEST(GifDecoding, RowsArePaddedToFourBytesAndPaddingStaysZero) {
    for (int width : {1, 5, 6, 7, 8, 13}) {
        GifSpec shape;
        shape.width = width;
        shape.height = 3;
        shape.minimumCodeSize = 2;
        const Bytes pixels = noisePixels(width * 3, 3, width);
        Bytes nonZero = pixels;
        for (auto& p : nonZero)
            ++p;
        const PictureData picture = decodeGifBytes(encodeGif(shape, nonZero));
        ASSERT_TRUE(picture.ok());
        const int stride = (width + 3) / 4 * 4;
        EXPECT_EQ(picture.rowStride, stride);
        EXPECT_EQ(picture.bitsSize, static_cast<size_t>(stride) * 3);
        EXPECT_EQ(picture.header().width, width);
        EXPECT_EQ(pixelsOf(picture), nonZero);
        for (int row = 0; row < 3; ++row) {
            for (int pad = width; pad < stride; ++pad) {
                EXPECT_EQ(picture.bits()[row * stride + pad], 0) << width << " row " << row;
            }
        }
    }
}

TEST(GifDecoding, EveryMinimumCodeSizeFromTwoToEightRoundTrips) {
    for (int size = 2; size <= 8; ++size) {
        GifSpec shape;
        shape.width = 31;
        shape.height = 17;
        shape.minimumCodeSize = size;
        const Bytes pixels = noisePixels(31 * 17, 1 << size, size);
        const PictureData picture = decodeGifBytes(encodeGif(shape, pixels));
        ASSERT_TRUE(picture.ok()) << size;
        EXPECT_EQ(pixelsOf(picture), pixels) << size;
    }
}

TEST(GifDecoding, FullTableKeepsDecodingWithOrWithoutALateClear) {
    GifSpec shape;
    shape.width = 160;
    shape.height = 100;
    const Bytes pixels = noisePixels(160 * 100, 256, 21);
    for (int clearWhenFull : {-1, 0, 500}) {
        const PictureData picture =
            decodeGifBytes(encodeGif(shape, pixels, LzwOptions{true, clearWhenFull, true}));
        ASSERT_TRUE(picture.ok()) << clearWhenFull;
        EXPECT_EQ(pixelsOf(picture), pixels) << clearWhenFull;
        if (clearWhenFull < 0) {
            // The last entry was defined: the codes reached 12 bits.
            EXPECT_NE(picture.lzwTable[4095].prefix, 0);
        }
    }
}

TEST(GifDecoding, StreamWithoutLeadingClearOrEndCodeStillDecodes) {
    GifSpec shape;
    shape.width = 12;
    shape.height = 6;
    shape.minimumCodeSize = 3;
    const Bytes pixels = noisePixels(72, 8, 33);
    const PictureData noClear = decodeGifBytes(encodeGif(shape, pixels, {false, 0, true}));
    ASSERT_TRUE(noClear.ok());
    EXPECT_EQ(pixelsOf(noClear), pixels);
    const PictureData noEnd = decodeGifBytes(encodeGif(shape, pixels, {true, 0, false}));
    ASSERT_TRUE(noEnd.ok());
    EXPECT_EQ(pixelsOf(noEnd), pixels);
}

TEST(GifDecoding, BlockTerminatorEndsTheCodeStream) {
    CodeWriter codes;
    for (int code : {256, 1, 2})
        codes.write(code, 9);
    GifSpec shape;
    shape.width = 4;
    shape.codeStream = codes.finish();
    shape.terminator = false;
    shape.trailer = false;
    Bytes gif = buildGif(shape);
    // Bytes after the terminator that would read as more codes.
    gif.insert(gif.end(), {0, 2, 0x03, 0x06, 0, 0x3B});
    const PictureData picture = decodeGifBytes(gif);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(pixelsOf(picture), (Bytes{1, 2, 0, 0}));
}

TEST(GifDecoding, TruncationAnywhereGivesAnErrorOrThePixelsSoFar) {
    GifSpec shape;
    shape.width = 40;
    shape.height = 30;
    shape.blockSize = 16;
    shape.beforeImage = typicalExtensions();
    Bytes pixels = noisePixels(40 * 30, 255, 8);
    for (auto& p : pixels)
        ++p; // no zero: undecoded pixels show as 0
    const Bytes gif = encodeGif(shape, pixels);
    size_t lastDecoded = 0;
    for (size_t length = 0; length < gif.size(); ++length) {
        const PictureData picture = decodeGifBytes(Bytes(gif.begin(), gif.begin() + length));
        if (!picture.ok()) {
            EXPECT_TRUE(picture.error == kPictureNotGif || picture.error == kPictureReadFailed ||
                        picture.error == kPictureBadGif)
                << length;
            continue;
        }
        const Bytes got = pixelsOf(picture);
        const size_t decoded = std::find(got.begin(), got.end(), 0) - got.begin();
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + decoded, pixels.begin())) << length;
        EXPECT_TRUE(std::all_of(got.begin() + decoded, got.end(), [](uint8_t p) { return !p; }))
            << length;
        EXPECT_GE(decoded, lastDecoded) << length;
        lastDecoded = decoded;
    }
    EXPECT_GT(lastDecoded, pixels.size() * 9 / 10);
}

TEST(GifDecoding, HostileStreamsEndWithoutWritingOutside) {
    // Endless sub-blocks of noise without terminator, on a tiny image.
    GifSpec shape;
    shape.width = 2;
    shape.height = 2;
    shape.codeStream = noisePixels(60000, 256, 5);
    shape.terminator = false;
    shape.trailer = false;
    const PictureData noise = decodeGifBytes(buildGif(shape));
    EXPECT_TRUE(noise.ok() || noise.error == kPictureBadGif);
    // Width and height 0: nothing to place, decoding still ends.
    shape.width = 0;
    shape.height = 0;
    shape.codeStream = lzwEncode(Bytes(100, 7), 8);
    const PictureData empty = decodeGifBytes(buildGif(shape));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.bitsSize, 0u);
}

TEST(BmpReading, FileHeaderFaultsGiveTheirCodes) {
    EXPECT_EQ(decodeBytes("a.bmp", Bytes(13, 'B')).error, kPictureReadFailed);
    BmpSpec tiny;
    tiny.fileSizeField = 14;
    tiny.type = 0x1234; // the size is checked first
    EXPECT_EQ(decodeBytes("a.bmp", buildBmp(tiny)).error, kPictureBmpTooSmall);
    BmpSpec wrongType;
    wrongType.type = 0x4D43;
    EXPECT_EQ(decodeBytes("a.bmp", buildBmp(wrongType)).error, kPictureNotBmp);
}

TEST(BmpReading, InfoHeaderThatDoesNotFitTheBytesIsErrorFour) {
    BmpSpec specs[8];
    specs[0].headerSize = 12;  // an OS/2 core header
    specs[1].headerSize = 108; // a V4 header
    specs[2].bitCount = 7;
    specs[3].compression = 1;                                // RLE8
    specs[4].dropBytes = 1;                                  // last pixel row cut short
    specs[5].colorsUsed = 1000, specs[5].paletteEntries = 2; // table beyond the data
    specs[6].width = -4;
    specs[7].fileSizeField = 14 + 40; // the field stops after the header
    for (const BmpSpec& shape : specs) {
        EXPECT_EQ(decodeBytes("a.bmp", buildBmp(shape)).error, kPictureReadFailed)
            << shape.headerSize << " " << shape.bitCount << " " << shape.dropBytes;
    }
}

TEST(BmpReading, ColourMasksComeBeforeThePixelBits) {
    BmpSpec shape;
    shape.width = 3;
    shape.height = 2;
    shape.bitCount = 16;
    shape.compression = kDibBitfields;
    shape.paletteEntries = 3; // twelve bytes where the three masks go
    const Bytes file = buildBmp(shape);
    const PictureData picture = decodeBytes("a.bmp", file);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.bitsOffset, 40u + 12u);
    ASSERT_EQ(picture.bitsSize, 2u * 8u);
    EXPECT_EQ(Bytes(picture.bits(), picture.bits() + picture.bitsSize),
              Bytes(file.end() - 16, file.end()));
    // The masks count when the bits are checked against the bytes at hand.
    shape.dropBytes = 1;
    EXPECT_EQ(decodeBytes("a.bmp", buildBmp(shape)).error, kPictureReadFailed);
}

TEST(BmpReading, SoundBmpIsCopiedWithItsColourTableAndBits) {
    const struct {
        int bitCount;
        uint32_t colorsUsed;
        uint32_t expectColours;
    } cases[] = {{1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {8, 5, 5}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0}};
    for (const auto& c : cases) {
        BmpSpec shape;
        shape.width = 9;
        shape.height = -3;
        shape.bitCount = c.bitCount;
        shape.colorsUsed = c.colorsUsed;
        const Bytes file = buildBmp(shape);
        const PictureData picture = decodeBytes("a.BMP", file);
        ASSERT_TRUE(picture.ok()) << c.bitCount;
        EXPECT_EQ(picture.colourCount, c.expectColours) << c.bitCount;
        EXPECT_EQ(picture.bitsOffset, 40 + 4 * c.expectColours) << c.bitCount;
        EXPECT_EQ(picture.bitsSize, static_cast<size_t>((9 * c.bitCount + 31) / 32 * 4 * 3));
        ASSERT_EQ(picture.dibSize, file.size() - 14);
        EXPECT_EQ(std::memcmp(picture.buffer.get(), file.data() + 14, picture.dibSize), 0);
    }
    // A file-size field beyond the file is a short read, not an error.
    BmpSpec longer;
    longer.fileSizeField = 1 << 30;
    EXPECT_TRUE(decodeBytes("a.bmp", buildBmp(longer)).ok());
}
