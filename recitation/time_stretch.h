// Playing a recitation faster or slower with its pitch kept: a streaming time-stretch of
// 16-bit interleaved PCM by waveform-similarity overlap-add (WSOLA).
//
// The output is cut into frames of 20 ms that overlap by half; the frame written at output
// time t is read from the input near t * speed, moved by up to 10 ms to where its start is
// most like the natural continuation of the frame before it (normalised cross-correlation
// of the channels' mean), and added in under a Hann window. Periods are then never cut in
// the middle, so a voice keeps its pitch while whole periods are dropped (faster) or
// repeated (slower).
//
// The player pushes decoded sound as it comes, in blocks of any size (a block may even end
// inside a sample frame: the rest waits for the next block), takes out what is ready and
// calls finish() after the last block. The whole output lasts the input's length divided
// by the speed, rounded to the nearest sample frame.
#ifndef NORAVEL_RECITATION_TIME_STRETCH_H
#define NORAVEL_RECITATION_TIME_STRETCH_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The speeds the reader offers: 0.5x to 2.0x in steps of 0.05.
constexpr double kMinPlaySpeed = 0.5;
constexpr double kMaxPlaySpeed = 2.0;
constexpr double kPlaySpeedStep = 0.05;

// The speed in hundredths (50..200), for the registry and the command line: a stored
// value outside the range or off the 0.05 steps counts as 100.
constexpr int validSpeedPercent(int stored) {
    return stored >= 50 && stored <= 200 && stored % 5 == 0 ? stored : 100;
}

class TimeStretch {
  public:
    // `channels` 1 to 8 and `sampleRate` 8000 to 192000 (outside them the nearest), speed
    // between kMinPlaySpeed and kMaxPlaySpeed (outside them the nearest).
    TimeStretch(int channels, int sampleRate, double speed);

    // Adds `count` interleaved samples of input and appends to `out` the output they
    // complete.
    void push(const int16_t* samples, size_t count, std::vector<int16_t>& out);
    // The input has ended: appends the rest of the output.
    void finish(std::vector<int16_t>& out);

    int channels() const { return channels_; }
    double speed() const { return speed_; }

  private:
    // Writes output frames while the input holds what they need; with `draining` the
    // input is taken as followed by silence.
    void run(std::vector<int16_t>& out, bool draining);
    // Where, within the search range around `nominal`, the next frame is most alike to
    // the continuation at `natural` (both absolute input positions).
    long long bestStart(long long nominal, long long natural) const;
    float mono(long long position) const;
    float sample(long long position, int channel) const;
    void emit(size_t frames, std::vector<int16_t>& out);
    void dropConsumedInput();

    int channels_;
    double speed_;
    size_t hop_;    // output hop: half a frame
    size_t frame_;  // frame length in sample frames
    size_t search_; // how far a frame may move either way
    std::vector<float> window_;

    std::vector<float> input_;     // interleaved, from absolute position inputStart_
    std::vector<float> mono_;      // the channels' mean of input_
    long long inputStart_ = 0;     // absolute sample frame of input_[0]
    long long inputFrames_ = 0;    // sample frames pushed so far
    std::vector<int16_t> partial_; // samples of a sample frame not yet complete

    std::vector<float> overlap_;   // the second half of the last frame, interleaved, weighted
    long long framesWritten_ = 0;  // frames placed so far (frame k starts at k * hop_)
    long long previousStart_ = -1; // input position of the last frame placed
    long long emitted_ = 0;        // output sample frames appended so far
    bool finished_ = false;
};

#endif
