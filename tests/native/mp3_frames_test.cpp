// Finding the frames of an mp3 file and the frames that play a span of seconds.
#include "recitation/mp3_frames.h"
#include "recitation/recitation_download.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Appends one MPEG-1 layer III frame (44100 Hz, 128 kbit/s: 417 bytes, 418 padded) whose
// body is filled with `fill`.
void appendFrame(std::vector<uint8_t>& bytes, bool padded = false, uint8_t fill = 0,
                 bool mono = false) {
    const uint8_t header[4] = {0xFF, 0xFB, static_cast<uint8_t>(0x90 | (padded ? 2 : 0)),
                               static_cast<uint8_t>(mono ? 0xC4 : 0x44)};
    bytes.insert(bytes.end(), header, header + 4);
    bytes.insert(bytes.end(), (padded ? 418 : 417) - 4, fill);
}

std::vector<uint8_t> frames(int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        appendFrame(bytes, i % 3 == 2);
    return bytes;
}

TEST(Mp3FrameHeader, ReadsLengthRateAndChannelsOfEachVersion) {
    Mp3FrameHeader h{};
    const uint8_t mpeg1[] = {0xFF, 0xFB, 0x92, 0x44};
    ASSERT_TRUE(parseMp3FrameHeader(mpeg1, 4, &h));
    EXPECT_EQ(h.version, 1);
    EXPECT_EQ(h.sampleRate, 44100);
    EXPECT_EQ(h.bitrateKbps, 128);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerFrame, 1152);
    EXPECT_EQ(h.frameBytes, 418);
    // MPEG-2, 22050 Hz, 64 kbit/s, mono: 72 * 64000 / 22050 = 208 bytes.
    const uint8_t mpeg2[] = {0xFF, 0xF3, 0x80, 0xC0};
    ASSERT_TRUE(parseMp3FrameHeader(mpeg2, 4, &h));
    EXPECT_EQ(h.version, 2);
    EXPECT_EQ(h.sampleRate, 22050);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.samplesPerFrame, 576);
    EXPECT_EQ(h.frameBytes, 208);
    // MPEG-2.5, 8000 Hz, 8 kbit/s: 72 * 8000 / 8000 = 72 bytes.
    const uint8_t mpeg25[] = {0xFF, 0xE3, 0x18, 0xC0};
    ASSERT_TRUE(parseMp3FrameHeader(mpeg25, 4, &h));
    EXPECT_EQ(h.version, 25);
    EXPECT_EQ(h.sampleRate, 8000);
    EXPECT_EQ(h.frameBytes, 72);
}

TEST(Mp3FrameHeader, RefusesOtherLayersReservedFieldsAndShortData) {
    const uint8_t layer2[] = {0xFF, 0xFD, 0x90, 0x44};
    const uint8_t reservedVersion[] = {0xFF, 0xEB, 0x90, 0x44};
    const uint8_t freeBitrate[] = {0xFF, 0xFB, 0x00, 0x44};
    const uint8_t badBitrate[] = {0xFF, 0xFB, 0xF0, 0x44};
    const uint8_t reservedRate[] = {0xFF, 0xFB, 0x9C, 0x44};
    const uint8_t noSync[] = {0xFF, 0x1B, 0x90, 0x44};
    for (const uint8_t* bad :
         {layer2, reservedVersion, freeBitrate, badBitrate, reservedRate, noSync})
        EXPECT_FALSE(parseMp3FrameHeader(bad, 4, nullptr));
    const uint8_t good[] = {0xFF, 0xFB, 0x90, 0x44};
    EXPECT_FALSE(parseMp3FrameHeader(good, 3, nullptr));
}

TEST(Mp3Walk, FollowsFramesAfterAnId3TagAndSkipsTrailingTags) {
    std::vector<uint8_t> bytes = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0}; // 128-byte tag body
    // Sync-like bytes inside the tag must not be taken for a frame.
    for (int i = 0; i < 128; ++i)
        bytes.push_back(i % 2 ? 0xFB : 0xFF);
    const std::vector<uint8_t> body = frames(10);
    bytes.insert(bytes.end(), body.begin(), body.end());
    const char trailer[] = "TAG some title";
    bytes.insert(bytes.end(), trailer, trailer + sizeof trailer);
    const Mp3Stream stream = walkMp3Frames(bytes.data(), bytes.size());
    ASSERT_EQ(stream.frames.size(), 10u);
    EXPECT_EQ(stream.frames[0].offset, 138u);
    EXPECT_EQ(stream.frames[2].bytes, 418u);
    EXPECT_EQ(stream.frames[3].offset, 138u + 417 + 417 + 418);
    EXPECT_EQ(stream.sampleRate, 44100);
    // 10 frames of 1152 samples at 44100 Hz: 261 ms.
    EXPECT_EQ(stream.durationMs(), 261);
}

TEST(Mp3Walk, JunkBeforeAndBetweenFramesIsSkippedAndACutFrameDropped) {
    std::vector<uint8_t> bytes = {0xFF, 0xFB, 0x90, 0x44, 1, 2, 3}; // a lone header: no successor
    appendFrame(bytes);
    appendFrame(bytes);
    bytes.insert(bytes.end(), {'j', 'u', 'n', 'k'});
    appendFrame(bytes, false, 0, true); // another channel count: not this stream's
    appendFrame(bytes);
    appendFrame(bytes);
    bytes.resize(bytes.size() - 100); // the last frame is cut
    const Mp3Stream stream = walkMp3Frames(bytes.data(), bytes.size());
    ASSERT_EQ(stream.frames.size(), 3u);
    EXPECT_EQ(stream.frames[0].offset, 7u);
    EXPECT_EQ(stream.frames[2].offset, 7u + 417 * 2 + 4 + 417);
    EXPECT_EQ(stream.channels, 2);
}

TEST(Mp3Walk, DataWithoutFramesIsNotAnMp3) {
    const uint8_t text[] = "RIFF....WAVEfmt this is not an mp3 at all";
    EXPECT_TRUE(walkMp3Frames(text, sizeof text).empty());
    EXPECT_TRUE(walkMp3Frames(nullptr, 0).empty());
    const uint8_t lone[] = {0xFF, 0xFB, 0x90, 0x44, 0, 0, 0, 0};
    EXPECT_TRUE(walkMp3Frames(lone, sizeof lone).empty());
    // An ID3 tag that claims more than the data holds leaves nothing to play.
    const uint8_t tag[] = {'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF, 0xFB};
    EXPECT_TRUE(walkMp3Frames(tag, sizeof tag).empty());
    // A single whole frame is enough.
    std::vector<uint8_t> one;
    appendFrame(one);
    EXPECT_EQ(walkMp3Frames(one.data(), one.size()).frames.size(), 1u);
}

// An encoder's tag frame decodes to a frame of silence before the sound: it is left out.
TEST(Mp3Walk, TheEncodersTagFrameIsNotSound) {
    auto tagged = [](const char* tag, size_t at, bool mono) {
        std::vector<uint8_t> bytes;
        appendFrame(bytes, false, 0, mono);
        std::memcpy(bytes.data() + at, tag, 4);
        for (int i = 0; i < 5; ++i)
            appendFrame(bytes, false, 0, mono);
        return walkMp3Frames(bytes.data(), bytes.size());
    };
    // After the side information: 32 bytes for MPEG-1 stereo, 17 for mono.
    for (const char* tag : {"Info", "Xing"}) {
        const Mp3Stream stream = tagged(tag, 4 + 32, false);
        ASSERT_EQ(stream.frames.size(), 5u) << tag;
        EXPECT_EQ(stream.frames[0].offset, 417u);
    }
    EXPECT_EQ(tagged("Xing", 4 + 17, true).frames.size(), 5u);
    EXPECT_EQ(tagged("VBRI", 36, false).frames.size(), 5u);
    // The same letters elsewhere are sound data.
    EXPECT_EQ(tagged("Info", 4 + 17, false).frames.size(), 6u);
    EXPECT_EQ(tagged("Info", 200, false).frames.size(), 6u);
    EXPECT_EQ(tagged("Info", 4 + 32, false).leadingSilenceSamples(), 0) << "no LAME tag";
    // A LAME tag behind the frame count and byte count (flags 3) says the delay: 576.
    std::vector<uint8_t> lame;
    appendFrame(lame);
    const uint8_t info[] = {'I', 'n', 'f', 'o', 0, 0, 0, 3, 0, 0, 0, 9, 0, 0, 0x10, 0};
    std::memcpy(lame.data() + 36, info, sizeof info);
    std::memcpy(lame.data() + 52, "LAME3.100", 9);
    lame[52 + 21] = 0x24; // 0x240 = 576 samples of delay, then 12 bits of padding
    lame[52 + 22] = 0x04;
    lame[52 + 23] = 0x38;
    for (int i = 0; i < 3; ++i)
        appendFrame(lame);
    const Mp3Stream tagged576 = walkMp3Frames(lame.data(), lame.size());
    EXPECT_EQ(tagged576.frames.size(), 3u);
    EXPECT_EQ(tagged576.encoderDelaySamples, 576);
    EXPECT_EQ(tagged576.leadingSilenceSamples(), 576 + 529);
    EXPECT_EQ(tagged576.encoderPaddingSamples, 0x438);
    EXPECT_EQ(tagged576.trailingSilenceSamples(), 0x438 - 529);
    // A padding within the decoder's delay leaves nothing to cut.
    lame[52 + 22] = 0x00;
    lame[52 + 23] = 0xFF;
    EXPECT_EQ(walkMp3Frames(lame.data(), lame.size()).trailingSilenceSamples(), 0);
    // A tag frame alone is kept: the file is still an mp3.
    std::vector<uint8_t> alone;
    appendFrame(alone);
    std::memcpy(alone.data() + 36, "Info", 4);
    EXPECT_EQ(walkMp3Frames(alone.data(), alone.size()).frames.size(), 1u);
}

TEST(Mp3Span, SecondsMapToFramesAndZeroMeansToTheEnd) {
    // 200 frames of 1152 samples at 44100 Hz: 5.22 seconds; 38.28 frames per second.
    const std::vector<uint8_t> bytes = frames(200);
    const Mp3Stream stream = walkMp3Frames(bytes.data(), bytes.size());
    ASSERT_EQ(stream.frames.size(), 200u);
    Mp3FrameRange r = mp3FramesForSpan(stream, 2, 4);
    EXPECT_EQ(r.first, 76u); // frame 76 starts at 1.985 s and plays through 2.0 s
    EXPECT_EQ(r.last, 154u); // frame 153 starts at 3.997 s, frame 154 at 4.023 s
    // Whole frames: at most one frame (26 ms) more on either side.
    EXPECT_NEAR(double(stream.frameStartMs(r.last) - stream.frameStartMs(r.first)), 2000, 53);
    r = mp3FramesForSpan(stream, 0, 0);
    EXPECT_EQ(r.first, 0u);
    EXPECT_EQ(r.last, 200u);
    r = mp3FramesForSpan(stream, 3, 0);
    EXPECT_EQ(r.first, 114u);
    EXPECT_EQ(r.last, 200u);
    r = mp3FramesForSpan(stream, 4, 60); // an end beyond the file stops at its end
    EXPECT_EQ(r.last, 200u);
    r = mp3FramesForSpan(stream, 9, 12); // a start beyond the file plays nothing
    EXPECT_EQ(r.first, r.last);
    r = mp3FramesForSpan(stream, 3, 3); // a short ayah cut to "3 3": one second
    EXPECT_EQ(r.first, 114u);
    EXPECT_EQ(r.last, 154u);
    r = mp3FramesForSpan(stream, -5, 1);
    EXPECT_EQ(r.first, 0u);
    EXPECT_EQ(r.last, 39u);
    EXPECT_EQ(mp3FramesForSpan(Mp3Stream{}, 0, 0).last, 0u);
}

// A fetched body becomes a recording only when it is MP3: servers answer a missing file
// with a page under status 200, or with nothing.
TEST(FetchedBody, OnlyFramesMakeARecordingNotPagesOrNothing) {
    const std::vector<uint8_t> mp3 = frames(5);
    EXPECT_EQ(judgeFetchedBody(mp3.data(), mp3.size()), FetchedBody::Mp3);
    EXPECT_EQ(judgeFetchedBody(mp3.data(), 0), FetchedBody::Empty);
    EXPECT_EQ(judgeFetchedBody(nullptr, 10), FetchedBody::Empty);
    const std::string page = "\xEF\xBB\xBF\r\n  <!DOCTYPE html><html><body>Not found</body></html>";
    EXPECT_EQ(judgeFetchedBody(reinterpret_cast<const uint8_t*>(page.data()), page.size()),
              FetchedBody::Html);
    const std::string upper = "<HTML><BODY>\xFF\xFB\x90\x44</BODY></HTML>";
    EXPECT_EQ(judgeFetchedBody(reinterpret_cast<const uint8_t*>(upper.data()), upper.size()),
              FetchedBody::Html);
    const std::string text = "Rate limit exceeded";
    EXPECT_EQ(judgeFetchedBody(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
              FetchedBody::NotMp3);
    // A body cut short in its first frame holds no whole frame.
    EXPECT_EQ(judgeFetchedBody(mp3.data(), 300), FetchedBody::NotMp3);
}

} // namespace
