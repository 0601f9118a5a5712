// giflib reading a GIF file that is already in memory, for comparing our decoder with it:
//   GifMemoryReader reader{&file};
//   GifFileType* gif = DGifOpen(&reader, readGifFromMemory, &error);
#ifndef NORAVEL_TESTS_SUPPORT_GIF_MEMORY_READER_H
#define NORAVEL_TESTS_SUPPORT_GIF_MEMORY_READER_H

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

struct GifMemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

// giflib's input function: copies up to `wanted` bytes from where the reader stands.
inline int readGifFromMemory(GifFileType* gif, GifByteType* to, int wanted) {
    auto* reader = static_cast<GifMemoryReader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(wanted), reader->bytes->size() - reader->at);
    std::memcpy(to, reader->bytes->data() + reader->at, n);
    reader->at += n;
    return static_cast<int>(n);
}

#endif
