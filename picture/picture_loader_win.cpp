// Picture loading, Windows side. Every failure is raised as an integer code inside the
// loader and caught in its one entry point, so no exception leaves it.
#include "picture/picture_loader_win.h"

#include "base/guards_win.h"
#include "base/wide_text_win.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct LoadFailure {
    int code;
};

[[noreturn]] void fail(int code) {
    throw LoadFailure{code};
}

// A palette holds at most 256 colours that a palette device can realise; longer colour
// tables (BMPs may declare more) give their first 256 to the palette.
constexpr uint32_t kMaxPaletteEntries = 256;

struct LogPaletteDeleter {
    void operator()(LOGPALETTE* p) const noexcept { std::free(p); }
};

// Builds the logical palette of the colour table, or null when memory cannot be had.
std::unique_ptr<LOGPALETTE, LogPaletteDeleter> makeLogPalette(const DibColour* colours,
                                                              uint32_t count) {
    const size_t bytes = offsetof(LOGPALETTE, palPalEntry) + count * sizeof(PALETTEENTRY);
    std::unique_ptr<LOGPALETTE, LogPaletteDeleter> palette(
        static_cast<LOGPALETTE*>(std::malloc(bytes)));
    if (!palette) return palette;
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (uint32_t i = 0; i < count; ++i)
        palette->palPalEntry[i] =
            PALETTEENTRY{colours[i].red, colours[i].green, colours[i].blue, 0};
    return palette;
}

// Reads the whole file into `bytes` after checking its size against the limit; `got` is
// what came (less than the size when the file shrank meanwhile). False on any failure.
bool readWholePictureFile(HANDLE file, PictureBuffer& bytes, size_t& got) {
    got = 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kMaxPictureFileBytes)
        return false;
    const DWORD wanted = static_cast<DWORD>(size.QuadPart);
    // One byte more than needed, so that an empty file still has a buffer.
    bytes.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(wanted) + 1)));
    if (!bytes) return false;
    DWORD done = 0;
    while (done < wanted) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.get() + done, wanted - done, &read, nullptr)) return false;
        if (read == 0) break; // the file shrank meanwhile: take what is there
        done += read;
    }
    got = done;
    return true;
}

} // namespace

PictureData decodePictureFile(const char* path) {
    PictureData failed;
    const PictureFormat format = pictureFormatOf(path);
    failed.error = kPictureUnknownExtension;
    if (format == PictureFormat::Unknown) return failed;
    KernelHandle file(CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    failed.error = kPictureCannotOpen;
    if (!file) return failed;
    failed.error = kPictureReadFailed;
    PictureBuffer bytes;
    size_t got = 0;
    if (!readWholePictureFile(file.get(), bytes, got)) return failed;
    return decodePicture(path, bytes.get(), got);
}

Picture::Picture() = default;

Picture::~Picture() = default;

HDC Picture::getScreenDc() {
    return GetDC(nullptr);
}

void Picture::releaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}

// Without a device context (GDI exhausted) there is nothing to make the bitmap for:
// error 10, as when CreateDIBitmap gives none.
HBITMAP Picture::load(const char* path) {
    HDC screen = getScreenDc();
    if (!screen) {
        releaseBuffers();
        lastError_ = kPictureNoBitmap;
        return nullptr;
    }
    HBITMAP bitmap = loadWith(path, screen); // throws nothing, so the release is reached
    releaseScreenDc(screen);
    return bitmap;
}

HBITMAP Picture::load(const char* path, HDC dc) {
    return dc ? loadWith(path, dc) : load(path);
}

HBITMAP Picture::loadWith(const char* path, HDC dc) {
    HBITMAP bitmap = nullptr;
    try {
        bitmap = loadOrThrow(path, dc);
    } catch (const LoadFailure& failure) {
        lastError_ = failure.code;
    } catch (...) {
        // Only an allocation of ours can throw anything else.
        lastError_ = kPictureReadFailed;
    }
    releaseBuffers();
    return bitmap;
}

HBITMAP Picture::loadOrThrow(const char* path, HDC dc) {
    const PictureFormat format = pictureFormatOf(path);
    if (format == PictureFormat::Unknown) fail(kPictureUnknownExtension);

    KernelHandle file(CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) fail(kPictureCannotOpen);

    // JPEG, PCX and TIFF are recognised but never decoded: no picture data.
    if (format != PictureFormat::Bmp && format != PictureFormat::Gif) fail(kPictureNoData);

    readFile(file.get());
    file.reset();

    work_ = decodePicture(path, fileBytes_.get(), fileSize_);
    fileBytes_.reset();
    fileSize_ = 0;
    if (work_.error != kPictureOk) fail(work_.error);
    if (!work_.buffer) fail(kPictureNoData);
    return createBitmap(dc);
}

// Reads the whole file in one request, after checking its size against the limit.
void Picture::readFile(HANDLE file) {
    if (!readWholePictureFile(file, fileBytes_, fileSize_)) fail(kPictureReadFailed);
}

HBITMAP Picture::createBitmap(HDC dc) {
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(work_.buffer.get());
    const auto* info = reinterpret_cast<const BITMAPINFO*>(work_.buffer.get());
    const void* bits = work_.bits();

    GdiObject<HPALETTE> palette;
    const uint32_t entries =
        work_.colourCount < kMaxPaletteEntries ? work_.colourCount : kMaxPaletteEntries;
    if (entries > 0) {
        auto logPalette = makeLogPalette(work_.colours(), entries);
        if (!logPalette) fail(kPictureNoPaletteMemory);
        palette.reset(CreatePalette(logPalette.get()));
    }
    HBITMAP bitmap = nullptr;
    {
        RealisedPalette realised(dc, palette.get());
        bitmap = CreateDIBitmap(dc, header, CBM_INIT, bits, info, DIB_RGB_COLORS);
    }
    palette.reset();
    work_ = PictureData{};
    if (!bitmap) fail(kPictureNoBitmap);
    return bitmap;
}

void Picture::releaseBuffers() {
    fileBytes_.reset();
    fileSize_ = 0;
    work_ = PictureData{};
}
