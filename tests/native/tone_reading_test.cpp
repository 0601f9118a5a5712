// The reading of recorded test tones that the sound tests rely on, on made-up recordings:
// tones played back to back, as the gap between ayat should be, must be read as the tones
// that were played wherever one ends inside the reading's windows.
#include "tests/support/tone_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using tone_reading::Reading;
using tone_reading::readTones;

constexpr int kRate = 44100;
const std::vector<double> kExpected = {440, 554, 659, 494};

// A recording: each piece a tone from phase 0 (a file of its own) or, at 0 Hz, a silence,
// with the faint noise of a lossy decoder on top.
struct Piece {
    double ms;
    double hz;
};
std::vector<int16_t> recording(const std::vector<Piece>& pieces) {
    const double pi = std::acos(-1.0);
    std::vector<int16_t> samples;
    uint32_t noise = 12345;
    for (const Piece& piece : pieces) {
        const size_t count = static_cast<size_t>(piece.ms * kRate / 1000.0 + 0.5);
        for (size_t i = 0; i < count; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const int hiss = static_cast<int>(noise >> 27) - 16; // -16 to 15
            const double tone = piece.hz > 0 ? 9830 * std::sin(2 * pi * piece.hz * i / kRate) : 0;
            samples.push_back(static_cast<int16_t>(std::lround(tone) + hiss));
        }
    }
    return samples;
}

Reading read(const std::vector<int16_t>& samples) {
    return readTones(samples.data(), samples.size(), kRate, kExpected, 1000);
}

TEST(ToneReading, TonesBackToBackAreReadAsPlayedWhereverTheirEndsFallInTheWindows) {
    const double lengths[] = {2000, 2500, 1500, 2000};
    const double silences[] = {0, 0.5, 3, 7}; // after the first three tones, in turn
    int cases = 0;
    for (double lead = 0; lead < 20.0; lead += 0.29, ++cases) {
        const double silence = silences[cases % 4];
        const std::vector<int16_t> samples = recording({{300 + lead, 0},
                                                        {lengths[0], 440},
                                                        {silence, 0},
                                                        {lengths[1], 554},
                                                        {silence, 0},
                                                        {lengths[2], 659},
                                                        {silence, 0},
                                                        {lengths[3], 494},
                                                        {300, 0}});
        const Reading reading = read(samples);
        ASSERT_EQ(reading.tones.size(), 4u) << "lead " << lead << " ms, silence " << silence;
        EXPECT_EQ(reading.dropouts, 0);
        for (size_t k = 0; k < 4; ++k) {
            const tone_reading::Tone& tone = reading.tones[k];
            EXPECT_EQ(tone.pitch, static_cast<int>(k)) << lead;
            EXPECT_NEAR(tone.hz, kExpected[k], 2.0) << lead;
            // The ends that border on silence are read to a 2 ms window.
            EXPECT_NEAR(tone.lengthMs(), lengths[k], 4.0) << "tone " << k << ", lead " << lead;
            if (k > 0) {
                const double gap = tone.beginMs - reading.tones[k - 1].endMs;
                EXPECT_GE(gap, 0.0);
                EXPECT_NEAR(gap, silence, 4.0) << "before tone " << k << ", lead " << lead;
            }
        }
    }
}

TEST(ToneReading, SilencesInsideAToneAreDropoutsOfThatTone) {
    // Between the second and the third dropout only a moment of the tone is left.
    const Reading reading = read(recording({{100, 0},
                                            {500, 440},
                                            {6, 0},
                                            {500, 440},
                                            {8, 0},
                                            {12, 440},
                                            {8, 0},
                                            {300, 440},
                                            {5, 0},
                                            {300, 554}}));
    ASSERT_EQ(reading.tones.size(), 2u);
    EXPECT_GE(reading.dropouts, 2); // the moment between two may be too short to count
    EXPECT_EQ(reading.tones[0].pitch, 0);
    EXPECT_NEAR(reading.tones[0].lengthMs(), 1334, 4.0);
    EXPECT_NEAR(reading.tones[0].soundMs(), 1312, 12.0); // all but the 22 ms of silences
    EXPECT_EQ(reading.tones[1].pitch, 1);
}

TEST(ToneReading, OtherSoundsAreReadAsTheirOwnOrLeftOutWhenShorterThanTenMilliseconds) {
    // 30 ms at 800 Hz between two tones is a sound of its own; a click of 4 ms is not.
    const Reading reading = read(recording(
        {{100, 0}, {500, 440}, {30, 800}, {500, 554}, {50, 0}, {4, 2000}, {50, 0}, {200, 659}}));
    ASSERT_EQ(reading.tones.size(), 4u);
    EXPECT_EQ(reading.tones[1].pitch, -1);
    EXPECT_NEAR(reading.tones[1].hz, 800, 10.0);
    EXPECT_NEAR(reading.tones[1].lengthMs(), 30, 2.0);
    EXPECT_EQ(reading.tones[3].pitch, 2);
}

} // namespace
