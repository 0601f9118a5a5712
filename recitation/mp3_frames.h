// Walking the frames of an MPEG audio layer III file (an "mp3"): every frame header
// tells the frame's length in bytes and its duration, so a time in the file is found by
// counting frames, without decoding any sound. The companion player uses this to play a
// span of seconds; the decoding itself is the system's.
#ifndef NORAVEL_RECITATION_MP3_FRAMES_H
#define NORAVEL_RECITATION_MP3_FRAMES_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct Mp3FrameHeader {
    int version;         // 1 (MPEG-1), 2 (MPEG-2) or 25 (MPEG-2.5)
    int bitrateKbps;     // 8..448
    int sampleRate;      // Hz
    int channels;        // 1 or 2
    int samplesPerFrame; // 1152 for MPEG-1, 576 for MPEG-2 and 2.5
    int frameBytes;      // the whole frame, header included
};

// Reads the four bytes at `data` as a layer III frame header. False for anything else:
// no sync, a reserved version, another layer, the free or the invalid bitrate, a reserved
// sample rate, or fewer than four bytes.
bool parseMp3FrameHeader(const uint8_t* data, size_t size, Mp3FrameHeader* header);

struct Mp3Frame {
    size_t offset;
    size_t bytes;
};

constexpr int kMp3DecoderDelaySamples = 529;

struct Mp3Stream {
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    int version = 0;
    int bitrateKbps = 0; // of the first frame, for the decoder's input format
    // The silence the encoder put before the sound, in samples, as its tag says (0 when it
    // says nothing).
    int encoderDelaySamples = 0;
    // And the silence it put after the sound to fill the last frame.
    int encoderPaddingSamples = 0;
    std::vector<Mp3Frame> frames;

    // The samples at the start of the decoded file that are not the recording's: the
    // encoder's delay and the decoder's own (529 samples in every layer III decoder). 0
    // when the encoder's delay is unknown: nothing is cut then.
    int leadingSilenceSamples() const {
        return encoderDelaySamples > 0 ? encoderDelaySamples + kMp3DecoderDelaySamples : 0;
    }

    // The samples at the end of the decoded file that are not the recording's: the encoder's
    // padding less the decoder's delay, which moved the sound that far towards the end. 0 when
    // the tag says nothing.
    int trailingSilenceSamples() const {
        return encoderDelaySamples > 0 && encoderPaddingSamples > kMp3DecoderDelaySamples
                   ? encoderPaddingSamples - kMp3DecoderDelaySamples
                   : 0;
    }

    bool empty() const { return frames.empty(); }
    // Milliseconds from the start of the file to the start of frame `index`.
    long long frameStartMs(size_t index) const;
    long long durationMs() const { return frameStartMs(frames.size()); }
};

// Finds the frames of a whole file: skips an ID3v2 tag at the start, takes the first
// header that is confirmed by a second one right after its frame (or by the end of the
// data), then follows frame after frame. Frames must keep the first frame's version,
// sample rate and channel count (one decoder format plays them all); bytes that are not
// such a frame (an ID3v1 tag, junk) are skipped up to the next header. A frame that
// would run past the end of the data is dropped. The encoder's tag frame ("Xing", "Info"
// or "VBRI") that begins most files is not sound and is left out, unless it is the only
// frame; the encoder's delay is read from its LAME tag. An empty stream means: not an mp3.
Mp3Stream walkMp3Frames(const uint8_t* data, size_t size);

// The frames that play seconds `startSecond` to `endSecond` of the file: from the frame
// during which the start second begins to the last frame that begins before the end
// second. An end of 0 means: to the end of the file. Any other end not after the start
// (whole seconds cut a short ayah such as 3.0 to 3.8 s down to "3 3") plays the one
// second from the start. `first` == `last` when nothing is left (a start beyond the end).
struct Mp3FrameRange {
    size_t first;
    size_t last; // one past the last frame
};
Mp3FrameRange mp3FramesForSpan(const Mp3Stream& stream, int startSecond, int endSecond);

#endif
