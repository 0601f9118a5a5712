// Feeds arbitrary bytes to the mp3 frame walker (the player reads any file named like a
// recording, and downloads are checked with it). The input is copied into a heap block of
// exactly its size, so that any read past its end is caught. Every frame found must lie
// inside the data, in order and without overlap; the silence to leave out is at most what
// the tag's 12 bits and the decoder's delay can make; every span stays inside the stream.
#include "recitation/mp3_frames.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    const Mp3Stream stream = walkMp3Frames(copy.get(), size);
    size_t end = 0;
    for (const Mp3Frame& frame : stream.frames) {
        if (frame.offset < end || frame.bytes < 4 || frame.bytes > size ||
            frame.offset > size - frame.bytes)
            std::abort();
        end = frame.offset + frame.bytes;
    }
    const int silence = stream.leadingSilenceSamples();
    if (silence < 0 || silence > 4095 + kMp3DecoderDelaySamples) std::abort();
    if (stream.empty() && stream.encoderDelaySamples != 0) std::abort();
    for (int start : {0, 1, 7, 3600})
        for (int finish : {0, 2, 9}) {
            const Mp3FrameRange range = mp3FramesForSpan(stream, start, finish);
            if (range.first > range.last || range.last > stream.frames.size()) std::abort();
        }
    return 0;
}
