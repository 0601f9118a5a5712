// Fuzzes the picture decoding core with GIF and BMP bytes. The first input byte
// chooses the file name (and so the format); the rest is the file. Whatever the
// bytes, the decoder must end with an error code or a bitmap whose header, colour
// table and pixel rows lie inside its own allocation.
#include "picture/picture_decoder.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Reads every byte the Windows layer would hand to GDI, so that ASan sees any
// header that promises more than was allocated.
void touchBitmap(const PictureData& picture) {
    const DibInfoHeader& header = picture.header();
    check(header.size == sizeof(DibInfoHeader));
    const size_t masks = header.compression == kDibBitfields ? 12 : 0;
    check(picture.bitsOffset == sizeof(DibInfoHeader) + masks + 4 * size_t{picture.colourCount});
    check(picture.bitsOffset + picture.bitsSize <= picture.dibSize);
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < picture.dibSize; i += 61)
        sink = sink + picture.buffer[i];
    if (picture.dibSize > 0) sink = sink + picture.buffer[picture.dibSize - 1];
    if (picture.format == PictureFormat::Gif) {
        check(header.bitCount == 8 && header.height <= 0 && picture.colourCount == 256);
        check(picture.bitsSize <= kMaxGifPixelBytes);
        check(picture.bitsSize ==
              static_cast<size_t>(picture.rowStride) * static_cast<size_t>(-header.height));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const kNames[] = {"p.gif", "p.bmp", "P.GIF", "p.Bmp"};
    const char* name = kNames[data[0] & 3];
    const PictureData picture = decodePicture(name, data + 1, size - 1);
    if (picture.error == kPictureOk) {
        check(picture.buffer != nullptr);
        touchBitmap(picture);
    } else {
        check(picture.buffer == nullptr);
        check(picture.error == kPictureBadGif || picture.error == kPictureReadFailed ||
              picture.error == kPictureBmpTooSmall || picture.error == kPictureNotGif ||
              picture.error == kPictureNotBmp);
    }
    return 0;
}
