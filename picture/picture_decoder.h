// The portable core of the picture loader: turns the bytes of a BMP or GIF file into
// a packed device-independent bitmap that the Windows layer hands to GDI.
//
// The format is chosen by the file name's extension alone. A GIF is decoded by our own
// single-image LZW decoder into an 8-bit top-down bitmap held in ONE allocation: the
// 40-byte info header, 256 colour entries, the pixel rows (each padded to a multiple of
// 4 bytes) and, behind them, the LZW string table the decoder worked in. A BMP is
// checked against the bytes at hand and copied as it is (info header, colour table,
// pixel bits). Every failure is one of the integer codes below; nothing is thrown out
// of the entry point. Decoding a GIF stops once its last pixel is placed: the work is
// bounded by the image's pixels and the bytes of the file, whatever the code stream names.
#ifndef NORAVEL_PICTURE_PICTURE_DECODER_H
#define NORAVEL_PICTURE_PICTURE_DECODER_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "The bitmap layouts below are little-endian, as Windows lays them out"
#endif

// Error codes of the loader. The Windows layer raises 2, 7 and 10 itself.
enum PictureError : int {
    kPictureOk = 0,
    kPictureUnknownExtension = 1, // no "." in the name, or not one of the six known extensions
    kPictureCannotOpen = 2,       // the file cannot be opened
    kPictureBadGif = 3,           // GIF: no image, malformed code stream, too large an image
    kPictureReadFailed = 4,       // short or failed reads; a BMP whose header lies about its data
    kPictureNoData = 5,           // JPEG, PCX, TIFF: recognised, never decoded
    kPictureBmpTooSmall = 6,      // BMP: the file-size field is 14 or less
    kPictureNoPaletteMemory = 7,  // no memory for the palette
    kPictureNotGif = 8,           // GIF: fewer than 13 header bytes or a wrong signature
    kPictureNotBmp = 9,           // BMP: the type field is not "BM"
    kPictureNoBitmap = 10,        // no device context, or CreateDIBitmap gave no bitmap
};

enum class PictureFormat { Unknown, Bmp, Jpeg, Pcx, Gif, Tiff };

// The format named by the part of the file name from its last "." on, compared
// without regard to case with ".bmp", ".jpg", ".jpeg", ".pcx", ".gif", ".tiff".
// A name without "." or with any other extension is Unknown (error 1).
PictureFormat pictureFormatOf(const char* fileName);

// BITMAPINFOHEADER as Windows lays it out (40 bytes, no padding, little-endian).
struct DibInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height; // negative: rows top first
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
};
static_assert(sizeof(DibInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(offsetof(DibInfoHeader, planes) == 12 && offsetof(DibInfoHeader, compression) == 16 &&
                  offsetof(DibInfoHeader, colorsUsed) == 32,
              "BITMAPINFOHEADER field offsets");

// RGBQUAD as Windows lays it out.
struct DibColour {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};
static_assert(sizeof(DibColour) == 4, "RGBQUAD is 4 bytes");

constexpr uint32_t kDibRgb = 0;       // BI_RGB
constexpr uint32_t kDibBitfields = 3; // BI_BITFIELDS

// One entry of the LZW string table that follows the pixel rows of a decoded GIF. Its
// string was written to the image before the entry was made; the entry keeps where.
struct LzwEntry {
    uint16_t prefix; // code of the string without its last pixel
    uint16_t row;    // row, in the order rows arrive, of the string's first pixel
    uint16_t column; // column of that pixel (the width: the next row's first)
    uint16_t length; // pixels of the string
    uint8_t suffix;  // last pixel of the string
};
constexpr int kLzwTableSize = 4096;

// The largest pixel array a GIF may need; larger images are error 3 before any allocation.
// 16 MiB holds 4096 x 4096 pixels, far more than any ayah picture (the largest is 580 x
// 1221): filling a larger canvas from a few bytes of a crafted file would hold the reader
// for seconds.
constexpr uint64_t kMaxGifPixelBytes = 16u << 20;

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
using PictureBuffer = std::unique_ptr<uint8_t[], FreeDeleter>;

// What a decoding produced: an error code, or a packed device-independent bitmap.
struct PictureData {
    int error = kPictureOk;
    PictureFormat format = PictureFormat::Unknown;
    PictureBuffer buffer;     // header, colour table, pixel bits (GIF: then the LZW table)
    size_t dibSize = 0;       // bytes of header + colour table + pixel bits
    uint32_t colourCount = 0; // entries in the colour table (0 when the bitmap has none)
    size_t bitsOffset = 0;    // where the pixel bits start: 40 (+ 12 of masks) + 4 x colours
    size_t bitsSize = 0;      // bytes of pixel bits the header describes
    int32_t rowStride = 0;    // bytes per pixel row
    const LzwEntry* lzwTable = nullptr; // GIF only: the table behind the pixel rows

    bool ok() const { return error == kPictureOk && buffer; }
    const DibInfoHeader& header() const {
        return *reinterpret_cast<const DibInfoHeader*>(buffer.get());
    }
    // The colour table lies right before the pixel bits (behind the masks, if any).
    const DibColour* colours() const {
        return reinterpret_cast<const DibColour*>(buffer.get() + bitsOffset -
                                                  sizeof(DibColour) * colourCount);
    }
    const uint8_t* bits() const { return buffer.get() + bitsOffset; }
};

// Decodes a whole file. fileName chooses the format (error 1 when unknown); bytes/size
// are the whole file. JPEG, PCX and TIFF give error 5. Never throws.
PictureData decodePicture(const char* fileName, const uint8_t* bytes, size_t size) noexcept;

// The two decoders on their own, for a format already chosen.
PictureData decodeGif(const uint8_t* bytes, size_t size) noexcept;
PictureData readBmp(const uint8_t* bytes, size_t size) noexcept;

#endif
