// Decoding of BMP and GIF bytes into packed device-independent bitmaps. See the header
// for the layouts. Inside, every failure is raised as a PictureFailure carrying its
// integer code and caught in the entry points, so no exception leaves this file.
#include "picture/picture_decoder.h"

#include <cstring>

namespace {

struct PictureFailure {
    int code;
};

[[noreturn]] void fail(int code) {
    throw PictureFailure{code};
}

uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    }
    return *a == *b;
}

constexpr size_t kGifHeaderSize = 13;
constexpr size_t kImageDescriptorSize = 9; // after the 0x2C separator
constexpr size_t kDibColourTableSize = 256 * sizeof(DibColour);
constexpr size_t kGifBitsOffset = sizeof(DibInfoHeader) + kDibColourTableSize;
constexpr int kMaxCodeWidth = 12;
constexpr int kMaxMinimumCodeSize = 11; // 2^11 + 2 is the last first free code below 4096

// The LZW decoding of one image's code stream into the pixel array.
//
// Every string the table holds has been written to the image already: the string of a
// new entry is the previous code's string plus the first pixel that followed it, and
// both lie in the image one after the other. So an entry keeps where its string was
// written and how long it is, and writing it again is a copy from there, whatever its
// length; no prefix chain is walked. Decoding stops as soon as the last pixel of the
// image (or of the last interlace pass) is placed. The work is so bounded by the pixels
// of the image plus the codes read before it is full.
class LzwDecoder {
  public:
    struct Image {
        uint8_t* pixels;
        int width;
        int height;
        int rowStride;
        bool interlaced;
    };

    LzwDecoder(const uint8_t* data, const uint8_t* end, const Image& image, LzwEntry* table)
        : cursor_(data), blockEnd_(data), end_(end), pixels_(image.pixels), width_(image.width),
          rowStride_(image.rowStride), interlaced_(image.interlaced), table_(table) {
        if (image.width <= 0 || image.height <= 0) return;
        remaining_ = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
        // Passes fill rows 0, 8, 16 ...; then 4, 12 ...; then 2, 6 ...; then 1, 3 ...
        const int height = image.height;
        passStart_[1] = (height + 7) / 8;
        passStart_[2] = passStart_[1] + (height + 3) / 8;
        passStart_[3] = passStart_[2] + (height + 1) / 4;
        rowStart_ = rowAt(0);
    }

    // Decodes codes of minimum size m until the image is full, the end code, or the
    // end of the data (the pixels so far stay). A malformed stream met before the image
    // is full raises error 3.
    void run(int minimumCodeSize) {
        const int clearCode = 1 << minimumCodeSize;
        const int endCode = clearCode + 1;
        const int firstFree = clearCode + 2;
        const int initialWidth = minimumCodeSize + 1;
        int codeWidth = initialWidth;
        int nextFree = firstFree;
        int previous = 0;
        Span previousSpan{}; // where the previous code's string was written
        // A stream that does not begin with a clear code decodes as if it had.
        bool justCleared = true;

        int code;
        if (remaining_ == 0 || !readCode(codeWidth, code)) return;
        for (;;) {
            if (code == endCode) return;
            if (code == clearCode) {
                codeWidth = initialWidth;
                nextFree = firstFree;
                justCleared = true;
                if (!readCode(codeWidth, code)) return;
            }
            const Span span{rowIndex_, static_cast<uint16_t>(column_), 1};
            if (justCleared) {
                // The first code after a clear is written as it is, whatever it is,
                // but it may not refer to an entry beyond the first free one.
                if (code > firstFree) fail(kPictureBadGif);
                put(static_cast<uint8_t>(code));
                justCleared = false;
                previous = code;
                previousSpan = span;
            } else {
                // Only codes of the table so far, or the one being defined right now
                // (the previous string plus its own first pixel), can be named.
                if (code > nextFree) fail(kPictureBadGif);
                Span written = span;
                uint8_t first;
                if (code < firstFree) {
                    first = static_cast<uint8_t>(code);
                    put(first);
                } else if (code < nextFree) {
                    const LzwEntry& entry = table_[code];
                    first = copy(entry.row, entry.column, entry.length);
                    written.length = entry.length;
                } else {
                    first = copy(previousSpan.row, previousSpan.column, previousSpan.length);
                    put(first);
                    written.length = static_cast<uint16_t>(previousSpan.length + 1);
                }
                // At 4096 the table stays full until a clear code (deferred clear).
                if (nextFree < kLzwTableSize) {
                    LzwEntry& entry = table_[nextFree];
                    entry.prefix = static_cast<uint16_t>(previous);
                    entry.suffix = first;
                    entry.row = previousSpan.row;
                    entry.column = previousSpan.column;
                    entry.length = static_cast<uint16_t>(previousSpan.length + 1);
                    ++nextFree;
                    if (nextFree == (1 << codeWidth) && codeWidth < kMaxCodeWidth) ++codeWidth;
                }
                previous = code;
                previousSpan = written;
            }
            if (remaining_ == 0) return; // the rest of the stream could only be dropped
            if (!readCode(codeWidth, code)) return;
        }
    }

  private:
    // A string as written: its first pixel's row (in stream order) and column, and its
    // length. A column equal to the width stands for the start of the next row.
    struct Span {
        uint16_t row;
        uint16_t column;
        uint16_t length;
    };

    // Opens the next sub-block of the chain. False once the data run out, a sub-block
    // would reach past them, or the block terminator is met; the cursor then stays
    // where it is, so every later request fails too.
    bool openNextBlock() {
        if (cursor_ >= end_) return false;
        const size_t length = *cursor_;
        if (length == 0 || length > static_cast<size_t>(end_ - cursor_) - 1) return false;
        ++cursor_;
        blockEnd_ = cursor_ + length;
        return true;
    }

    // Codes are packed least significant bit first; the unused high bits of the last
    // byte taken stay for the next code.
    bool readCode(int width, int& code) {
        while (bitCount_ < width) {
            if (cursor_ == blockEnd_ && !openNextBlock()) return false;
            bitBuffer_ |= static_cast<uint32_t>(*cursor_++) << bitCount_;
            bitCount_ += 8;
        }
        code = static_cast<int>(bitBuffer_ & ((1u << width) - 1));
        bitBuffer_ >>= width;
        bitCount_ -= width;
        return true;
    }

    // The start of the index-th row in stream order.
    uint8_t* rowAt(int index) const {
        int row = index;
        if (interlaced_) {
            if (index < passStart_[1])
                row = 8 * index;
            else if (index < passStart_[2])
                row = 8 * (index - passStart_[1]) + 4;
            else if (index < passStart_[3])
                row = 4 * (index - passStart_[2]) + 2;
            else
                row = 2 * (index - passStart_[3]) + 1;
        }
        return pixels_ + static_cast<size_t>(row) * static_cast<size_t>(rowStride_);
    }

    void nextRow() {
        column_ = 0;
        rowStart_ = rowAt(++rowIndex_);
    }

    // Places one pixel at the current column of the current row, unless the image is
    // full already; row padding is never written.
    void put(uint8_t pixel) {
        if (remaining_ == 0) return;
        if (column_ == width_) nextRow();
        rowStart_[column_++] = pixel;
        --remaining_;
    }

    // Writes again `length` pixels written before from row `row` (stream order), column
    // `column` on, up to the last pixel of the image, and returns the first of them.
    // The source always ends where the writing begins or earlier.
    uint8_t copy(int row, int column, uint32_t length) {
        if (column == width_) {
            ++row;
            column = 0;
        }
        const uint8_t* source = rowAt(row) + column;
        const uint8_t first = *source;
        if (length > remaining_) length = static_cast<uint32_t>(remaining_);
        remaining_ -= length;
        while (length > 0) {
            if (column_ == width_) nextRow();
            if (column == width_) {
                column = 0;
                source = rowAt(++row);
            }
            uint32_t piece = length;
            if (piece > static_cast<uint32_t>(width_ - column_)) piece = width_ - column_;
            if (piece > static_cast<uint32_t>(width_ - column)) piece = width_ - column;
            std::memcpy(rowStart_ + column_, source, piece);
            column_ += static_cast<int>(piece);
            column += static_cast<int>(piece);
            source += piece;
            length -= piece;
        }
        return first;
    }

    // Code stream.
    const uint8_t* cursor_;
    const uint8_t* blockEnd_;
    const uint8_t* const end_;
    uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;

    // Pixel placing.
    uint8_t* const pixels_;
    const int width_;
    const int rowStride_;
    const bool interlaced_;
    int passStart_[4] = {0, 0, 0, 0}; // first stream row of each interlace pass
    uint64_t remaining_ = 0;          // pixels of the image not yet placed
    int column_ = 0;
    uint16_t rowIndex_ = 0; // the current row in stream order
    uint8_t* rowStart_ = nullptr;

    LzwEntry* const table_;
};

void copyColourTable(DibColour* to, const uint8_t* rgb, int count) {
    for (int i = 0; i < count; ++i, rgb += 3)
        to[i] = DibColour{rgb[2], rgb[1], rgb[0], 0};
}

PictureData decodeGifOrThrow(const uint8_t* bytes, size_t size) {
    if (size < kGifHeaderSize || std::memcmp(bytes, "GIF8", 4) != 0 ||
        (bytes[4] != '7' && bytes[4] != '9') || bytes[5] != 'a') {
        fail(kPictureNotGif);
    }
    const uint8_t screenFlags = bytes[10];
    const uint8_t* globalTable = nullptr;
    int globalCount = 0;
    size_t position = kGifHeaderSize;
    if (screenFlags & 0x80) {
        globalCount = 2 << (screenFlags & 7);
        const size_t tableBytes = 3 * static_cast<size_t>(globalCount);
        if (size - position < tableBytes) fail(kPictureReadFailed);
        globalTable = bytes + position;
        position += tableBytes;
    }

    // The data: everything after the header and the global colour table. Extension
    // blocks are not parsed; the first byte 0x2C anywhere is taken as the image separator.
    const uint8_t* const data = bytes + position;
    const uint8_t* const end = bytes + size;
    const void* found = std::memchr(data, 0x2C, static_cast<size_t>(end - data));
    if (!found) fail(kPictureBadGif);
    const uint8_t* cursor = static_cast<const uint8_t*>(found) + 1;

    if (static_cast<size_t>(end - cursor) < kImageDescriptorSize) fail(kPictureBadGif);
    const int width = readLe16(cursor + 4);
    const int height = readLe16(cursor + 6);
    const uint8_t imageFlags = cursor[8];
    cursor += kImageDescriptorSize;

    const int rowStride = ((width - 1) | 3) + 1; // 0 for an image of width 0
    const uint64_t pixelBytes = static_cast<uint64_t>(rowStride) * static_cast<uint64_t>(height);
    if (pixelBytes > kMaxGifPixelBytes) fail(kPictureBadGif);

    const uint8_t* colourTable = globalTable;
    int colourCount = globalCount;
    if (imageFlags & 0x80) {
        colourCount = 2 << (imageFlags & 7);
        const size_t tableBytes = 3 * static_cast<size_t>(colourCount);
        if (static_cast<size_t>(end - cursor) < tableBytes) fail(kPictureBadGif);
        colourTable = cursor;
        cursor += tableBytes;
    }

    if (cursor == end) fail(kPictureBadGif);
    const int minimumCodeSize = *cursor++;
    if (minimumCodeSize > kMaxMinimumCodeSize) fail(kPictureBadGif);

    // One zeroed allocation: header, colour table, pixel rows, LZW table. The pixel
    // array size is a multiple of 4, so the table behind it stays aligned.
    const size_t dibSize = kGifBitsOffset + static_cast<size_t>(pixelBytes);
    const size_t total = dibSize + kLzwTableSize * sizeof(LzwEntry);
    PictureData result;
    result.format = PictureFormat::Gif;
    result.buffer.reset(static_cast<uint8_t*>(std::calloc(total, 1)));
    if (!result.buffer) fail(kPictureBadGif);
    result.dibSize = dibSize;
    result.colourCount = 256;
    result.bitsOffset = kGifBitsOffset;
    result.bitsSize = static_cast<size_t>(pixelBytes);
    result.rowStride = rowStride;

    uint8_t* const buffer = result.buffer.get();
    DibInfoHeader header{};
    header.size = sizeof(DibInfoHeader);
    header.width = width;
    header.height = -height;
    header.planes = 1;
    header.bitCount = 8;
    header.compression = kDibRgb;
    header.colorsUsed = 256;
    header.colorsImportant = 256;
    std::memcpy(buffer, &header, sizeof header);
    if (colourTable) {
        copyColourTable(reinterpret_cast<DibColour*>(buffer + sizeof(DibInfoHeader)), colourTable,
                        colourCount);
    }

    auto* table = reinterpret_cast<LzwEntry*>(buffer + dibSize);
    result.lzwTable = table;
    const LzwDecoder::Image image{buffer + kGifBitsOffset, width, height, rowStride,
                                  (imageFlags & 0x40) != 0};
    LzwDecoder decoder(cursor, end, image, table);
    decoder.run(minimumCodeSize);
    return result;
}

PictureData readBmpOrThrow(const uint8_t* bytes, size_t size) {
    constexpr size_t kFileHeaderSize = 14;
    if (size < kFileHeaderSize) fail(kPictureReadFailed);
    const uint32_t fileSize = readLe32(bytes + 2);
    if (fileSize <= kFileHeaderSize) fail(kPictureBmpTooSmall);
    if (readLe16(bytes) != 0x4D42) fail(kPictureNotBmp);

    // The bytes after the file header, as far as the file-size field reaches; a file
    // shorter than its field says is read as far as it goes.
    size_t available = fileSize - kFileHeaderSize;
    if (available > size - kFileHeaderSize) available = size - kFileHeaderSize;
    const uint8_t* const dib = bytes + kFileHeaderSize;

    // GDI is handed these bytes only when the info header describes data that lie
    // inside them.
    if (available < sizeof(DibInfoHeader) || readLe32(dib) != sizeof(DibInfoHeader)) {
        fail(kPictureReadFailed);
    }
    const int32_t width = static_cast<int32_t>(readLe32(dib + 4));
    const int32_t height = static_cast<int32_t>(readLe32(dib + 8));
    const uint16_t bitCount = readLe16(dib + 14);
    const uint32_t compression = readLe32(dib + 16);
    const uint32_t colorsUsed = readLe32(dib + 32);
    if (width <= 0 || height == 0) fail(kPictureReadFailed);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        fail(kPictureReadFailed);
    }
    // Compressed rows have no length GDI could be held to; only plain rows are taken
    // (with the three colour masks of 16 and 32 bits per pixel).
    const bool bitfields = compression == kDibBitfields && (bitCount == 16 || bitCount == 32);
    if (compression != kDibRgb && !bitfields) fail(kPictureReadFailed);

    uint64_t colourCount = colorsUsed;
    if (colourCount == 0)
        colourCount = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    // The three masks come right after the info header, before any colour table.
    const uint64_t maskBytes = bitfields ? 12 : 0;
    const uint64_t tableBytes = 4 * colourCount;
    const uint64_t bitsOffset = sizeof(DibInfoHeader) + maskBytes + tableBytes;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t bitsSize = rowBytes * rows; // below 2^31 x 2^31 x 4
    if (bitsOffset > available || bitsSize > available - bitsOffset) {
        fail(kPictureReadFailed);
    }

    PictureData result;
    result.format = PictureFormat::Bmp;
    result.buffer.reset(static_cast<uint8_t*>(std::malloc(available)));
    if (!result.buffer) fail(kPictureReadFailed);
    std::memcpy(result.buffer.get(), dib, available);
    result.dibSize = available;
    result.colourCount = static_cast<uint32_t>(colourCount);
    result.bitsOffset = static_cast<size_t>(bitsOffset);
    result.bitsSize = static_cast<size_t>(bitsSize);
    result.rowStride = static_cast<int32_t>(rowBytes);
    return result;
}

template <typename Decode> PictureData catchFailures(Decode decode) noexcept {
    try {
        return decode();
    } catch (const PictureFailure& failure) {
        PictureData failed;
        failed.error = failure.code;
        return failed;
    } catch (...) {
        PictureData failed;
        failed.error = kPictureBadGif;
        return failed;
    }
}

} // namespace

PictureFormat pictureFormatOf(const char* fileName) {
    if (!fileName) return PictureFormat::Unknown;
    const char* dot = std::strrchr(fileName, '.');
    if (!dot) return PictureFormat::Unknown;
    static const struct {
        const char* extension;
        PictureFormat format;
    } kKnown[] = {{".bmp", PictureFormat::Bmp},   {".jpg", PictureFormat::Jpeg},
                  {".jpeg", PictureFormat::Jpeg}, {".pcx", PictureFormat::Pcx},
                  {".gif", PictureFormat::Gif},   {".tiff", PictureFormat::Tiff}};
    for (const auto& known : kKnown) {
        if (equalsIgnoringCase(dot, known.extension)) return known.format;
    }
    return PictureFormat::Unknown;
}

PictureData decodeGif(const uint8_t* bytes, size_t size) noexcept {
    return catchFailures([&] { return decodeGifOrThrow(bytes, size); });
}

PictureData readBmp(const uint8_t* bytes, size_t size) noexcept {
    return catchFailures([&] { return readBmpOrThrow(bytes, size); });
}

PictureData decodePicture(const char* fileName, const uint8_t* bytes, size_t size) noexcept {
    const PictureFormat format = pictureFormatOf(fileName);
    PictureData result;
    switch (format) {
    case PictureFormat::Bmp: result = readBmp(bytes, size); break;
    case PictureFormat::Gif: result = decodeGif(bytes, size); break;
    case PictureFormat::Unknown: result.error = kPictureUnknownExtension; break;
    default: result.error = kPictureNoData; break; // JPEG, PCX, TIFF: no decoder
    }
    result.format = format;
    return result;
}
