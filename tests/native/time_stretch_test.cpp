#include "recitation/time_stretch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Interleaved stereo: a sine of `hz` for `seconds`, then one of `hz2` for `seconds2`.
std::vector<int16_t> tone(double hz, double seconds, double hz2 = 0, double seconds2 = 0) {
    std::vector<int16_t> pcm;
    double phase = 0;
    const int first = static_cast<int>(seconds * kRate);
    const int all = first + static_cast<int>(seconds2 * kRate);
    for (int n = 0; n < all; ++n) {
        const int16_t s = static_cast<int16_t>(std::lround(9000 * std::sin(phase)));
        pcm.push_back(s);
        pcm.push_back(s);
        phase += 2 * M_PI * (n < first ? hz : hz2) / kRate;
    }
    return pcm;
}

std::vector<int16_t> stretch(const std::vector<int16_t>& pcm, double speed, size_t block) {
    TimeStretch stretcher(2, kRate, speed);
    std::vector<int16_t> out;
    for (size_t at = 0; at < pcm.size(); at += block)
        stretcher.push(pcm.data() + at, std::min(block, pcm.size() - at), out);
    stretcher.finish(out);
    return out;
}

// The left channel's pitch between two sample frames, from its rising zero crossings.
double pitchHz(const std::vector<int16_t>& pcm, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t n = from + 1; n < to; ++n) {
        const int a = pcm[2 * (n - 1)], b = pcm[2 * n];
        if (a < 0 && b >= 0) {
            const double at = static_cast<double>(n - 1) + static_cast<double>(-a) / (b - a);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * kRate / (last - first);
}

// Where the left channel's pitch first reads nearer `hz` than the pitch before it (10 ms
// windows).
double secondsUntilPitch(const std::vector<int16_t>& pcm, double hz, double before) {
    const size_t window = kRate / 100;
    for (size_t n = 0; n + window < pcm.size() / 2; n += window / 2) {
        const double p = pitchHz(pcm, n, n + window);
        if (std::fabs(p - hz) < std::fabs(p - before)) return static_cast<double>(n) / kRate;
    }
    return -1;
}

TEST(TimeStretch, KeepsThePitchAndDividesTheLengthByTheSpeed) {
    const std::vector<int16_t> input = tone(440, 2.0);
    for (double speed : {0.5, 0.75, 1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(speed);
        const std::vector<int16_t> out = stretch(input, speed, 4096);
        const size_t frames = out.size() / 2;
        EXPECT_EQ(out.size() % 2, 0u);
        EXPECT_EQ(frames, static_cast<size_t>(std::llround(2.0 * kRate / speed)));
        // Away from the ends, the tone is still 440 Hz and as loud as before.
        const size_t from = frames / 10, to = frames - frames / 10;
        EXPECT_NEAR(pitchHz(out, from, to), 440.0, 1.0);
        double energy = 0;
        for (size_t n = from; n < to; ++n)
            energy += static_cast<double>(out[2 * n]) * out[2 * n];
        EXPECT_NEAR(std::sqrt(energy / static_cast<double>(to - from)), 9000 / std::sqrt(2.0), 300);
    }
}

TEST(TimeStretch, JoinsItsFramesWithoutClicksAndKeepsTheChannelsApart) {
    // A click would be a step far larger than a 440 Hz sine of this level ever makes
    // (9000 * 2 * pi * 440 / 44100, about 564); the right channel is the left's opposite.
    std::vector<int16_t> input = tone(440, 1.0);
    for (size_t n = 1; n < input.size(); n += 2)
        input[n] = static_cast<int16_t>(-input[n]);
    for (double speed : {0.5, 0.8, 1.5, 2.0}) {
        SCOPED_TRACE(speed);
        const std::vector<int16_t> out = stretch(input, speed, 1000);
        int largestStep = 0;
        for (size_t n = 2; n < out.size(); n += 2) {
            largestStep = std::max(largestStep, std::abs(out[n] - out[n - 2]));
            ASSERT_LE(std::abs(out[n] + out[n + 1]), 1) << "at sample frame " << n / 2;
        }
        EXPECT_LT(largestStep, 700);
    }
}

TEST(TimeStretch, MovesAChangeOfPitchToItsPlaceInTheStretchedTime) {
    // One second at 300 Hz, then 600 Hz: at 1.5x the change comes at 0.667 s, at 0.5x at 2 s.
    const std::vector<int16_t> input = tone(300, 1.0, 600, 1.0);
    EXPECT_NEAR(secondsUntilPitch(stretch(input, 1.5, 4096), 600, 300), 1.0 / 1.5, 0.02);
    EXPECT_NEAR(secondsUntilPitch(stretch(input, 0.5, 4096), 600, 300), 2.0, 0.02);
}

TEST(TimeStretch, GivesTheSameSoundWhateverBlocksTheSoundArrivesIn) {
    // Blocks that end inside a sample frame included: the decoder's blocks are of any size.
    const std::vector<int16_t> input = tone(440, 0.5, 220, 0.3);
    const std::vector<int16_t> whole = stretch(input, 1.35, input.size());
    for (size_t block : {1, 3, 441, 4097})
        EXPECT_EQ(stretch(input, 1.35, block), whole) << "blocks of " << block;
}

TEST(TimeStretch, TakesSpeedsOutsideItsRangeAsTheNearestAndShortInputWhole) {
    const std::vector<int16_t> input = tone(440, 0.2);
    EXPECT_EQ(stretch(input, 9.0, 512).size(), stretch(input, 2.0, 512).size());
    EXPECT_EQ(stretch(input, 0.1, 512).size(), stretch(input, 0.5, 512).size());
    EXPECT_EQ(stretch(input, std::nan(""), 512).size(), input.size());
    // Sound shorter than one frame, or none at all, still comes out at its stretched length.
    EXPECT_EQ(stretch(std::vector<int16_t>(2 * 100, 1000), 0.5, 7).size(), 2u * 200);
    EXPECT_TRUE(stretch({}, 1.5, 7).empty());
    EXPECT_EQ(validSpeedPercent(150), 150);
    EXPECT_EQ(validSpeedPercent(152), 100);
    EXPECT_EQ(validSpeedPercent(45), 100);
    EXPECT_EQ(validSpeedPercent(205), 100);
}

} // namespace
