// Small builders of GIF and BMP files for the picture decoder's tests and fuzz seeds:
// a plain LZW encoder, a packer for hand-written code sequences, and writers of the
// file layouts. No committed binary files are needed.
#ifndef NORAVEL_TESTS_NATIVE_PICTURE_BUILDER_H
#define NORAVEL_TESTS_NATIVE_PICTURE_BUILDER_H

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace picture_builder {

using Bytes = std::vector<uint8_t>;

// Packs codes least significant bit first, as GIF code streams are.
class CodeWriter {
  public:
    void write(int code, int width) {
        buffer_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(buffer_));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    Bytes finish() {
        if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(buffer_));
        bits_ = 0;
        buffer_ = 0;
        return bytes_;
    }

  private:
    Bytes bytes_;
    uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Writes codes at the width a GIF decoder reads them with: it tracks the decoder's
// table growth (one entry per code except the first after a clear).
class TrackedCodeWriter {
  public:
    explicit TrackedCodeWriter(int minimumCodeSize)
        : clear_(1 << minimumCodeSize), initialWidth_(minimumCodeSize + 1), width_(initialWidth_),
          nextFree_(clear_ + 2) {}

    void put(int code) {
        writer_.write(code, width_);
        if (code == clear_) {
            width_ = initialWidth_;
            nextFree_ = clear_ + 2;
            firstInCycle_ = true;
            return;
        }
        if (firstInCycle_) {
            firstInCycle_ = false;
            return;
        }
        if (nextFree_ < 4096) {
            ++nextFree_;
            if (nextFree_ == (1 << width_) && width_ < 12) ++width_;
        }
    }
    int width() const { return width_; }
    int clearCode() const { return clear_; }
    int endCode() const { return clear_ + 1; }
    Bytes finish() { return writer_.finish(); }

  private:
    CodeWriter writer_;
    int clear_;
    int initialWidth_;
    int width_;
    int nextFree_;
    bool firstInCycle_ = true;
};

struct LzwOptions {
    bool leadingClear = true;
    // What to do when the table is full: -1 go on without a clear code, 0 clear at
    // once, n > 0 write n more codes with the full table and then clear.
    int clearWhenFull = 0;
    bool endCode = true;
};

// A plain LZW encoder (pixels must be below 2^minimumCodeSize).
inline Bytes lzwEncode(const Bytes& pixels, int minimumCodeSize, const LzwOptions& options = {}) {
    TrackedCodeWriter out(minimumCodeSize);
    const int clear = out.clearCode();
    const int firstFree = clear + 2;
    std::map<std::pair<int, int>, int> table;
    int nextFree = firstFree;
    int codesWhileFull = 0;
    if (options.leadingClear) out.put(clear);
    if (!pixels.empty()) {
        int current = pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int pixel = pixels[i];
            auto found = table.find({current, pixel});
            if (found != table.end()) {
                current = found->second;
                continue;
            }
            out.put(current);
            if (nextFree < 4096) {
                table[{current, pixel}] = nextFree++;
            } else if (options.clearWhenFull >= 0 && ++codesWhileFull > options.clearWhenFull) {
                out.put(clear);
                table.clear();
                nextFree = firstFree;
                codesWhileFull = 0;
            }
            current = pixel;
        }
        out.put(current);
    }
    if (options.endCode) out.put(out.endCode());
    return out.finish();
}

// A hostile code stream of minimum code size 2: clear, one pixel, then `chain` codes
// that each name the entry being defined (so every string is one pixel longer than the
// one before, up to 4,091 pixels when the table is full), then `repeats` codes naming
// the longest string defined, and the end code.
inline Bytes deepestChains(int chain, long repeats) {
    TrackedCodeWriter out(2);
    out.put(out.clearCode());
    out.put(0);
    const int firstFree = out.clearCode() + 2;
    const int last = std::min(firstFree + chain, 4096);
    for (int code = firstFree; code < last; ++code)
        out.put(code);
    for (long i = 0; i < repeats; ++i)
        out.put(last - 1);
    out.put(out.endCode());
    return out.finish();
}

// Colour table of n entries (a power of two, 2..256) with distinct made-up colours.
inline Bytes colourTable(int entries, int seed = 0) {
    Bytes rgb;
    for (int i = 0; i < entries; ++i) {
        rgb.push_back(static_cast<uint8_t>(i * 7 + seed));
        rgb.push_back(static_cast<uint8_t>(255 - i + seed * 3));
        rgb.push_back(static_cast<uint8_t>(i * 13 + 5 + seed));
    }
    return rgb;
}

inline int tableSizeBits(const Bytes& rgb) {
    int bits = 0;
    while ((2 << bits) * 3 < static_cast<int>(rgb.size()))
        ++bits;
    return bits;
}

inline void putLe16(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void putLe32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Cuts a code stream into sub-blocks of at most blockSize bytes, without the terminator.
inline Bytes subBlocks(const Bytes& stream, int blockSize = 255) {
    Bytes out;
    for (size_t at = 0; at < stream.size(); at += blockSize) {
        const size_t n = std::min(stream.size() - at, static_cast<size_t>(blockSize));
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), stream.begin() + at, stream.begin() + at + n);
    }
    return out;
}

struct GifSpec {
    std::string version = "GIF89a";
    int width = 1;
    int height = 1;
    Bytes globalTable; // RGB triples; empty: none
    Bytes localTable;  // RGB triples; empty: none
    bool interlaced = false;
    Bytes beforeImage; // extension blocks, written as they are
    int minimumCodeSize = 8;
    Bytes codeStream; // packed codes, cut into sub-blocks here
    int blockSize = 255;
    bool terminator = true;
    bool trailer = true;
};

inline Bytes buildGif(const GifSpec& shape) {
    Bytes out(shape.version.begin(), shape.version.end());
    putLe16(out, shape.width);
    putLe16(out, shape.height);
    out.push_back(shape.globalTable.empty()
                      ? 0
                      : static_cast<uint8_t>(0x80 | 0x70 | tableSizeBits(shape.globalTable)));
    out.push_back(0); // background colour
    out.push_back(0); // aspect ratio
    out.insert(out.end(), shape.globalTable.begin(), shape.globalTable.end());
    out.insert(out.end(), shape.beforeImage.begin(), shape.beforeImage.end());
    out.push_back(0x2C);
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, shape.width);
    putLe16(out, shape.height);
    uint8_t flags = shape.interlaced ? 0x40 : 0;
    if (!shape.localTable.empty()) flags |= 0x80 | tableSizeBits(shape.localTable);
    out.push_back(flags);
    out.insert(out.end(), shape.localTable.begin(), shape.localTable.end());
    out.push_back(static_cast<uint8_t>(shape.minimumCodeSize));
    const Bytes blocks = subBlocks(shape.codeStream, shape.blockSize);
    out.insert(out.end(), blocks.begin(), blocks.end());
    if (shape.terminator) out.push_back(0);
    if (shape.trailer) out.push_back(0x3B);
    return out;
}

// A whole GIF of the given pixels in stream order (row-major unless interlaced),
// with a global table of 2^minimumCodeSize entries unless the shape names tables.
inline Bytes encodeGif(GifSpec shape, const Bytes& pixels, const LzwOptions& options = {}) {
    if (shape.globalTable.empty() && shape.localTable.empty()) {
        shape.globalTable = colourTable(1 << std::max(1, shape.minimumCodeSize));
    }
    shape.codeStream = lzwEncode(pixels, shape.minimumCodeSize, options);
    return buildGif(shape);
}

// GIF89a graphic control and application extensions ("NETSCAPE2.0" loop count).
inline Bytes typicalExtensions() {
    Bytes out = {0x21, 0xF9, 4, 0x01, 10, 0, 3, 0};
    const char app[] = "NETSCAPE2.0";
    out.insert(out.end(), {0x21, 0xFF, 11});
    out.insert(out.end(), app, app + 11);
    out.insert(out.end(), {3, 1, 0, 0, 0});
    return out;
}

// Pseudo-random pixels below `colours`, repeatable.
inline Bytes noisePixels(int count, int colours, uint32_t seed = 1) {
    Bytes pixels(count);
    for (auto& p : pixels) {
        seed = seed * 1103515245u + 12345u;
        p = static_cast<uint8_t>((seed >> 16) % colours);
    }
    return pixels;
}

struct BmpSpec {
    int width = 2;
    int height = 2;
    int bitCount = 8;
    uint32_t colorsUsed = 0;
    uint32_t compression = 0;
    int headerSize = 40;
    int paletteEntries = -1;    // -1: as many as the header implies
    int64_t fileSizeField = -1; // -1: the true size
    uint16_t type = 0x4D42;
    int dropBytes = 0; // cut this many bytes off the end
};

inline Bytes buildBmp(const BmpSpec& shape) {
    int palette = shape.paletteEntries;
    if (palette < 0) {
        palette = shape.colorsUsed      ? static_cast<int>(shape.colorsUsed)
                  : shape.bitCount <= 8 ? (1 << shape.bitCount)
                                        : 0;
    }
    const int rowBytes = (shape.width * shape.bitCount + 31) / 32 * 4;
    const int rows = shape.height < 0 ? -shape.height : shape.height;
    Bytes info;
    putLe32(info, shape.headerSize);
    putLe32(info, static_cast<uint32_t>(shape.width));
    putLe32(info, static_cast<uint32_t>(shape.height));
    putLe16(info, 1);
    putLe16(info, shape.bitCount);
    putLe32(info, shape.compression);
    putLe32(info, 0);
    putLe32(info, 2835);
    putLe32(info, 2835);
    putLe32(info, shape.colorsUsed);
    putLe32(info, 0);
    info.resize(shape.headerSize, 0);
    for (int i = 0; i < palette; ++i) {
        info.insert(info.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                                 static_cast<uint8_t>(255 - i), 0});
    }
    for (int i = 0; i < rowBytes * rows; ++i)
        info.push_back(static_cast<uint8_t>(i * 31));

    Bytes out;
    putLe16(out, shape.type);
    const uint32_t total = static_cast<uint32_t>(14 + info.size());
    putLe32(out, shape.fileSizeField < 0 ? total : static_cast<uint32_t>(shape.fileSizeField));
    putLe32(out, 0);
    putLe32(out, static_cast<uint32_t>(14 + shape.headerSize + 4 * palette));
    out.insert(out.end(), info.begin(), info.end());
    out.resize(out.size() - shape.dropBytes);
    return out;
}

} // namespace picture_builder

#endif
