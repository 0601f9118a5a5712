// The Windows half of the picture loader: opens a BMP or GIF file, hands its bytes to
// the portable decoding core (picture/picture_decoder.h) and turns the packed
// device-independent bitmap it builds into a device-dependent bitmap with
// CreateDIBitmap, after realising the picture's palette in the target device context.
#ifndef NORAVEL_PICTURE_PICTURE_LOADER_WIN_H
#define NORAVEL_PICTURE_PICTURE_LOADER_WIN_H

#include "picture/picture_decoder.h"

#include <windows.h>

#include <cstdint>

// Files larger than this are refused before anything is read (error 4): the decoded
// pixels of a GIF may not exceed the same size, and a BMP is copied as it is.
constexpr uint64_t kMaxPictureFileBytes = kMaxGifPixelBytes;

// Reads the BMP or GIF file at path (UTF-8) whole and decodes it (picture_decoder.h), with
// the same size limit and error codes as Picture::load; no device context is involved.
PictureData decodePictureFile(const char* path);

class Picture {
  public:
    Picture();
    virtual ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Loads the picture at path (UTF-8) as a bitmap compatible with the screen, or with dc
    // (the screen when dc is null; no screen context at all is error 10).
    // The bitmap belongs to the caller, who deletes it. On any failure the code goes to
    // lastError() and the result is null; nothing is thrown. The device context is left
    // with the palette it had.
    HBITMAP load(const char* path);
    HBITMAP load(const char* path, HDC dc);

    // Code of the last failed load (PictureError); 0 until a load fails. A successful
    // load does not reset it.
    int lastError() const { return lastError_; }

  protected:
    // The screen's device context that load(path) makes the bitmap for, and its
    // release; null when none can be had. A test may stand in another source.
    virtual HDC getScreenDc();
    virtual void releaseScreenDc(HDC dc);

  private:
    HBITMAP loadWith(const char* path, HDC dc);
    HBITMAP loadOrThrow(const char* path, HDC dc);
    void readFile(HANDLE file);
    HBITMAP createBitmap(HDC dc);
    void releaseBuffers();

    PictureBuffer fileBytes_; // the whole file as read, until the core has decoded it
    size_t fileSize_ = 0;
    PictureData work_; // the packed device-independent bitmap being turned into a bitmap
    int lastError_ = kPictureOk;
};

#endif
