#include "recitation/mp3_frames.h"

#include <cstring>

namespace {

// Layer III bitrates in kbit/s by bitrate index; 0 marks "free" and 15 "invalid".
constexpr int kBitratesVersion1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                       112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitratesVersion2[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                       64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kSampleRatesVersion1[3] = {44100, 48000, 32000};

// The size of an ID3v2 tag at the start of the data, 0 when there is none.
size_t id3v2TagBytes(const uint8_t* data, size_t size) {
    if (size < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    // The length is "synchsafe": four bytes of seven bits each.
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80) return 0;
    size_t length = (size_t{data[6]} << 21) | (size_t{data[7]} << 14) | (size_t{data[8]} << 7) |
                    size_t{data[9]};
    length += 10;
    if (data[5] & 0x10) length += 10; // a footer follows the tag
    return length <= size ? length : size;
}

bool sameFormat(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
    return a.version == b.version && a.sampleRate == b.sampleRate && a.channels == b.channels;
}

// Whether the frame is the tag that encoders write as the first frame: "Xing" or "Info"
// right after the side information, or "VBRI" 32 bytes after the header. It carries the
// file's length and the encoder's delay, not sound: decoded, it is a frame of silence.
// `delay` gets the encoder's delay in samples from a LAME tag behind "Xing" or "Info" (the
// flags of that header say which of its fields come before it), 0 without one.
bool isEncoderTagFrame(const uint8_t* frame, size_t bytes, const Mp3FrameHeader& h, int* delay,
                       int* padding) {
    *delay = 0;
    *padding = 0;
    const bool crc = (frame[1] & 1) == 0;
    const size_t sideInfo =
        h.version == 1 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    const size_t at = 4 + (crc ? 2 : 0) + sideInfo;
    auto holds = [&](size_t offset, const char* tag) {
        return offset + 4 <= bytes && std::memcmp(frame + offset, tag, 4) == 0;
    };
    if (holds(36, "VBRI")) return true;
    if (!holds(at, "Xing") && !holds(at, "Info")) return false;
    if (at + 8 > bytes) return true;
    const uint8_t flags = frame[at + 7]; // the low byte of a big-endian word
    const size_t lame = at + 8 + (flags & 1 ? 4 : 0) + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) +
                        (flags & 8 ? 4 : 0);
    if (lame + 24 <= bytes && (holds(lame, "LAME") || holds(lame, "Lavc") || holds(lame, "Lavf"))) {
        *delay = (frame[lame + 21] << 4) | (frame[lame + 22] >> 4);
        *padding = ((frame[lame + 22] & 0x0F) << 8) | frame[lame + 23];
    }
    return true;
}

} // namespace

bool parseMp3FrameHeader(const uint8_t* data, size_t size, Mp3FrameHeader* header) {
    if (!data || size < 4) return false;
    if (data[0] != 0xFF || (data[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (data[1] >> 3) & 3;
    const int layerBits = (data[1] >> 1) & 3;
    const int bitrateIndex = data[2] >> 4;
    const int rateIndex = (data[2] >> 2) & 3;
    const int padding = (data[2] >> 1) & 1;
    const int channelMode = data[3] >> 6;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3) return false;
    const int version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    const int bitrate =
        version == 1 ? kBitratesVersion1[bitrateIndex] : kBitratesVersion2[bitrateIndex];
    if (bitrate == 0) return false;
    const int divisor = version == 1 ? 1 : version == 2 ? 2 : 4;
    const int sampleRate = kSampleRatesVersion1[rateIndex] / divisor;
    const int samplesPerFrame = version == 1 ? 1152 : 576;
    Mp3FrameHeader h;
    h.version = version;
    h.bitrateKbps = bitrate;
    h.sampleRate = sampleRate;
    h.channels = channelMode == 3 ? 1 : 2;
    h.samplesPerFrame = samplesPerFrame;
    // Bytes per frame: samples / 8 bits * bitrate / rate, plus one padding byte.
    h.frameBytes = samplesPerFrame / 8 * bitrate * 1000 / sampleRate + padding;
    if (header) *header = h;
    return true;
}

long long Mp3Stream::frameStartMs(size_t index) const {
    if (sampleRate <= 0) return 0;
    return static_cast<long long>(index) * samplesPerFrame * 1000 / sampleRate;
}

Mp3Stream walkMp3Frames(const uint8_t* data, size_t size) {
    Mp3Stream stream;
    if (!data) return stream;
    size_t at = id3v2TagBytes(data, size);
    Mp3FrameHeader first{};
    bool found = false;
    // The first frame: a header whose successor is a header of the same format too (or
    // whose frame ends exactly at the end of the data), so that two bytes of sound data
    // that happen to look like a sync word are not taken for the start.
    for (; at + 4 <= size; ++at) {
        Mp3FrameHeader h;
        if (!parseMp3FrameHeader(data + at, size - at, &h)) continue;
        const size_t next = at + static_cast<size_t>(h.frameBytes);
        if (next > size) continue;
        Mp3FrameHeader following;
        if (next == size || (parseMp3FrameHeader(data + next, size - next, &following) &&
                             sameFormat(h, following))) {
            first = h;
            found = true;
            break;
        }
    }
    if (!found) return stream;
    stream.version = first.version;
    stream.sampleRate = first.sampleRate;
    stream.channels = first.channels;
    stream.samplesPerFrame = first.samplesPerFrame;
    stream.bitrateKbps = first.bitrateKbps;
    while (at + 4 <= size) {
        Mp3FrameHeader h;
        if (!parseMp3FrameHeader(data + at, size - at, &h) || !sameFormat(h, first)) {
            ++at; // not a frame of this stream: look for the next one
            continue;
        }
        const size_t bytes = static_cast<size_t>(h.frameBytes);
        if (bytes > size - at) break;
        stream.frames.push_back({at, bytes});
        at += bytes;
    }
    int delay = 0;
    int padding = 0;
    if (stream.frames.size() > 1 &&
        isEncoderTagFrame(data + stream.frames[0].offset, stream.frames[0].bytes, first, &delay,
                          &padding)) {
        stream.frames.erase(stream.frames.begin());
        stream.encoderDelaySamples = delay;
        stream.encoderPaddingSamples = padding;
    }
    return stream;
}

Mp3FrameRange mp3FramesForSpan(const Mp3Stream& stream, int startSecond, int endSecond) {
    const size_t count = stream.frames.size();
    if (count == 0 || stream.sampleRate <= 0) return {0, 0};
    if (startSecond < 0) startSecond = 0;
    // Frame i begins at i * samplesPerFrame / sampleRate seconds.
    const long long perSecond = stream.sampleRate;
    const long long spf = stream.samplesPerFrame;
    auto frameAt = [&](long long second) -> size_t {
        const long long index = second * perSecond / spf; // the frame during which it falls
        return index >= static_cast<long long>(count) ? count : static_cast<size_t>(index);
    };
    auto framesBefore = [&](long long second) -> size_t {
        // Frames whose start time is before `second`: ceil(second * rate / spf).
        const long long index = (second * perSecond + spf - 1) / spf;
        return index >= static_cast<long long>(count) ? count : static_cast<size_t>(index);
    };
    const size_t first = frameAt(startSecond);
    if (endSecond != 0 && endSecond <= startSecond) endSecond = startSecond + 1;
    size_t last = endSecond == 0 ? count : framesBefore(endSecond);
    if (last < first) last = first;
    return {first, last};
}
