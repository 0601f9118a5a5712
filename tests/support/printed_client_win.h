// What a window paints into its whole client area when asked to print it (WM_PRINTCLIENT),
// as 0xRRGGBB pixels in top-down rows: for tests that look at what a view draws.
#ifndef NORAVEL_TESTS_SUPPORT_PRINTED_CLIENT_WIN_H
#define NORAVEL_TESTS_SUPPORT_PRINTED_CLIENT_WIN_H

#include "base/guards_win.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// The pixels, and in size the client area's width and height; empty when GDI cannot make
// the picture.
inline std::vector<std::uint32_t> printedClientPixels(HWND window, SIZE& size) {
    RECT client{};
    GetClientRect(window, &client);
    size = SIZE{client.right, client.bottom};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject<HBITMAP> section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc dc(nullptr);
    if (!section || !bits || !dc) return {};
    {
        SelectedObject selected(dc.get(), section.get());
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        GdiFlush();
    }
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(size.cx) * size.cy);
    for (std::uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

#endif
