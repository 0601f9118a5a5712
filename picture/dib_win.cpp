// Bitmap copies for the clipboard.
#include "picture/dib_win.h"

#include "base/global_block_win.h"
#include "base/guards_win.h"
#include "picture/bitmap_view_win.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr DWORD kCoreHeaderSize = sizeof(BITMAPCOREHEADER);
constexpr uint64_t kMaxDibBytes = 0x7FFFFFFF;

// The picture copy's bitmap is this much lower than the splitter line.
constexpr int kCopyHeightBelowSplitter = 26;

WORD coloursForDepth(WORD bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Bytes between the info header and the pixel bits: the colour table, or the three
// colour masks GetDIBits writes there for BI_BITFIELDS.
size_t tableRoom(const BITMAPINFOHEADER& header) {
    const size_t masks = header.biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    const size_t table = dibPaletteSize(&header);
    return table > masks ? table : masks;
}

// Bytes of pixel bits, rows padded to 4 bytes; 0 when the size is beyond any DIB.
uint64_t paddedImageSize(const BITMAPINFOHEADER& header) {
    const uint64_t width = header.biWidth > 0 ? static_cast<uint64_t>(header.biWidth) : 0;
    const uint64_t height =
        header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    const uint64_t size = (header.biBitCount * width + 31) / 32 * 4 * height;
    return size > kMaxDibBytes ? 0 : size;
}

} // namespace

WORD dibColourCount(const void* header) {
    DWORD size = 0;
    std::memcpy(&size, header, sizeof size);
    if (size == kCoreHeaderSize)
        return coloursForDepth(static_cast<const BITMAPCOREHEADER*>(header)->bcBitCount);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(header);
    if (info->biClrUsed != 0) return static_cast<WORD>(info->biClrUsed);
    return coloursForDepth(info->biBitCount);
}

WORD dibPaletteSize(const void* header) {
    DWORD size = 0;
    std::memcpy(&size, header, sizeof size);
    const WORD entry = size == kCoreHeaderSize ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    return static_cast<WORD>(dibColourCount(header) * entry);
}

HGLOBAL bitmapToDib(HBITMAP bitmap, DWORD compression, WORD bitsPerPixel, HPALETTE palette) {
    if (!bitmap) return nullptr;
    if (!palette) palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));

    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0) return nullptr;
    if (bitsPerPixel == 0) bitsPerPixel = static_cast<WORD>(info.bmPlanes * info.bmBitsPixel);

    BITMAPINFOHEADER header{};
    header.biSize = kInfoHeaderSize;
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitsPerPixel;
    header.biCompression = compression;

    WindowDc screen(nullptr);
    if (!screen) return nullptr;
    RealisedPalette realised(screen.get(), palette);
    const UINT rows = static_cast<UINT>(info.bmHeight);

    // First pass: GetDIBits completes the header (and writes the colour table).
    GlobalBlock block(
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kInfoHeaderSize + tableRoom(header)));
    if (!block) return nullptr;
    {
        GlobalLock_ lock(block.get());
        if (!lock.data()) return nullptr;
        std::memcpy(lock.data(), &header, kInfoHeaderSize);
        if (!GetDIBits(screen.get(), bitmap, 0, rows, nullptr,
                       static_cast<BITMAPINFO*>(lock.data()), DIB_RGB_COLORS)) {
            return nullptr;
        }
        std::memcpy(&header, lock.data(), kInfoHeaderSize);
    }

    // Room for the bits: never less than the plain rows need, whatever GDI reports.
    uint64_t imageSize = paddedImageSize(header);
    if (imageSize == 0) return nullptr;
    if (compression != BI_RGB && compression != BI_BITFIELDS) imageSize = imageSize * 3 / 2;
    if (header.biSizeImage > imageSize) imageSize = header.biSizeImage;
    if (header.biSizeImage == 0) header.biSizeImage = static_cast<DWORD>(imageSize);
    const size_t bitsOffset = kInfoHeaderSize + tableRoom(header);
    if (bitsOffset + imageSize > kMaxDibBytes) return nullptr;

    HGLOBAL grown = GlobalReAlloc(block.get(), static_cast<SIZE_T>(bitsOffset + imageSize), 0);
    if (!grown) return nullptr;
    block.release();
    GlobalBlock dib(grown);
    {
        GlobalLock_ lock(dib.get());
        if (!lock.data()) return nullptr;
        auto* bytes = static_cast<BYTE*>(lock.data());
        std::memcpy(bytes, &header, kInfoHeaderSize);
        if (!GetDIBits(screen.get(), bitmap, 0, rows, bytes + bitsOffset,
                       reinterpret_cast<BITMAPINFO*>(bytes), DIB_RGB_COLORS)) {
            return nullptr;
        }
    }
    return dib.release(); // the caller's now
}

void drawCurrentPicture(HDC dc, const RECT& area, HBITMAP picture) {
    if (!picture) return;
    BITMAP info{};
    if (GetObjectW(picture, sizeof info, &info) == 0) return;
    MemoryDc source(dc);
    if (!source) return;
    SelectedObject selected(source.get(), picture);
    BitBlt(dc, area.right / 2 - info.bmWidth / 2, kPictureTopMargin, info.bmWidth, info.bmHeight,
           source.get(), 0, 0, SRCAND);
}

void copyPictureToClipboard(HWND mainWindow, HBITMAP picture, int splitterLine) {
    RECT client{};
    GetClientRect(mainWindow, &client);
    const RECT area{0, 0, client.right, splitterLine - kCopyHeightBelowSplitter};
    if (area.right <= 0 || area.bottom <= 0) return;

    // The bitmap is made compatible with the main window's device context, not with the
    // memory context (which would make it monochrome), so that it keeps the colours.
    GdiObject<HBITMAP> copy;
    {
        WindowDc window(mainWindow);
        if (!window) return;
        MemoryDc memory(window.get());
        if (!memory) return;
        copy.reset(CreateCompatibleBitmap(window.get(), area.right, area.bottom));
        if (!copy) return;
        SelectedObject selected(memory.get(), copy.get());
        FillRect(memory.get(), &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        drawCurrentPicture(memory.get(), client, picture);
    } // the bitmap is out of the memory context before GetDIBits reads it

    // The DIB is made before the clipboard is opened, so that the clipboard is held only
    // for the hand-over itself.
    GlobalBlock dib(bitmapToDib(copy.get(), BI_RGB, 0, nullptr));
    GlobalBlock handedOver(duplicateGlobalBlock(dib.get()));
    if (!handedOver) return;
    handToClipboard(mainWindow, CF_DIB, handedOver);
}
