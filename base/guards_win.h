// Small owners of Windows resources, so that every acquire is paired with its release on
// every path. Objects handed to another owner (a bitmap to its caller, a global block to
// the clipboard) leave their guard through release(), which makes the hand-over visible.
#ifndef NORAVEL_BASE_GUARDS_WIN_H
#define NORAVEL_BASE_GUARDS_WIN_H

#include <windows.h>

// A device context from GetDC, released to its window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A memory device context from CreateCompatibleDC, deleted.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// An object selected into a device context, selected back out on destruction.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A palette selected into a device context as a foreground palette and realised; the
// palette it replaced is selected back on destruction (not realised again).
class RealisedPalette {
  public:
    RealisedPalette(HDC dc, HPALETTE palette)
        : dc_(dc), previous_(palette ? SelectPalette(dc, palette, FALSE) : nullptr) {
        if (previous_) RealizePalette(dc);
    }
    ~RealisedPalette() {
        if (previous_) SelectPalette(dc_, previous_, FALSE);
    }
    RealisedPalette(const RealisedPalette&) = delete;
    RealisedPalette& operator=(const RealisedPalette&) = delete;

  private:
    HDC dc_;
    HPALETTE previous_;
};

// A GDI object (font, brush, bitmap, palette, pen, region), deleted unless released.
template <typename Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(Handle handle = nullptr) {
        if (handle_ && handle_ != handle) DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

// A kernel handle (process, thread, file), closed unless released.
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~KernelHandle() { reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept : handle_(other.release()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE release() {
        HANDLE h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(HANDLE handle = nullptr) {
        if (handle_ && handle_ != handle) CloseHandle(handle_);
        handle_ = handle;
    }

  private:
    HANDLE handle_ = nullptr;
};

// A global memory block, freed unless handed over (to the clipboard) with release().
class GlobalBlock {
  public:
    GlobalBlock() = default;
    explicit GlobalBlock(HGLOBAL block) : block_(block) {}
    ~GlobalBlock() {
        if (block_) GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    HGLOBAL release() {
        HGLOBAL b = block_;
        block_ = nullptr;
        return b;
    }

  private:
    HGLOBAL block_ = nullptr;
};

// A lock on a global block, unlocked on destruction.
class GlobalLock_ {
  public:
    explicit GlobalLock_(HGLOBAL block)
        : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~GlobalLock_() {
        if (data_) GlobalUnlock(block_);
    }
    GlobalLock_(const GlobalLock_&) = delete;
    GlobalLock_& operator=(const GlobalLock_&) = delete;
    void* data() const { return data_; }

  private:
    HGLOBAL block_;
    void* data_;
};

// An open clipboard, closed on destruction.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

  private:
    bool open_;
};

// A COM interface pointer, released.
template <typename Interface> class ComRef {
  public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* get() const { return ptr_; }
    Interface* operator->() const { return ptr_; }
    Interface** put() {
        reset();
        return &ptr_;
    }
    void reset() {
        if (ptr_) ptr_->Release();
        ptr_ = nullptr;
    }
    explicit operator bool() const { return ptr_ != nullptr; }

  private:
    Interface* ptr_ = nullptr;
};

#endif
