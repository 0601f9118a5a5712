#include "recitation/time_stretch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Input already used is dropped from the buffer once this many frames of it gather.
constexpr size_t kDropAfterFrames = 8;

int16_t toSample(float value) {
    const float rounded = std::nearbyint(value);
    if (rounded >= 32767.0f) return 32767;
    if (rounded <= -32768.0f) return -32768;
    return static_cast<int16_t>(rounded);
}

} // namespace

TimeStretch::TimeStretch(int channels, int sampleRate, double speed)
    : channels_(std::clamp(channels, 1, 8)),
      speed_(std::isnan(speed) ? 1.0 : std::clamp(speed, kMinPlaySpeed, kMaxPlaySpeed)) {
    const int rate = std::clamp(sampleRate, 8000, 192000);
    hop_ = static_cast<size_t>(rate / 100); // 10 ms
    frame_ = 2 * hop_;
    search_ = hop_;
    window_.resize(frame_);
    for (size_t n = 0; n < frame_; ++n)
        window_[n] = static_cast<float>(
            0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(n) / static_cast<double>(frame_)));
    overlap_.assign(hop_ * static_cast<size_t>(channels_), 0.0f);
}

float TimeStretch::sample(long long position, int channel) const {
    const long long index = position - inputStart_;
    if (index < 0 || index >= static_cast<long long>(mono_.size())) return 0.0f;
    return input_[static_cast<size_t>(index) * static_cast<size_t>(channels_) +
                  static_cast<size_t>(channel)];
}

float TimeStretch::mono(long long position) const {
    const long long index = position - inputStart_;
    if (index < 0 || index >= static_cast<long long>(mono_.size())) return 0.0f;
    return mono_[static_cast<size_t>(index)];
}

void TimeStretch::push(const int16_t* samples, size_t count, std::vector<int16_t>& out) {
    if (finished_ || count == 0 || !samples) return;
    const size_t channels = static_cast<size_t>(channels_);
    size_t used = 0;
    // A sample frame begun in the block before is completed first.
    while (!partial_.empty() && used < count) {
        partial_.push_back(samples[used++]);
        if (partial_.size() == channels) {
            float sum = 0;
            for (int16_t s : partial_) {
                input_.push_back(s);
                sum += s;
            }
            mono_.push_back(sum / static_cast<float>(channels));
            ++inputFrames_;
            partial_.clear();
        }
    }
    const size_t whole = (count - used) / channels;
    input_.reserve(input_.size() + whole * channels);
    for (size_t f = 0; f < whole; ++f) {
        float sum = 0;
        for (size_t c = 0; c < channels; ++c) {
            const int16_t s = samples[used + f * channels + c];
            input_.push_back(s);
            sum += s;
        }
        mono_.push_back(sum / static_cast<float>(channels));
    }
    inputFrames_ += static_cast<long long>(whole);
    used += whole * channels;
    partial_.insert(partial_.end(), samples + used, samples + count);
    run(out, false);
}

void TimeStretch::finish(std::vector<int16_t>& out) {
    if (finished_) return;
    run(out, true);
    finished_ = true;
}

long long TimeStretch::bestStart(long long nominal, long long natural) const {
    const long long lowest =
        std::max<long long>({nominal - static_cast<long long>(search_), 0, inputStart_});
    const long long highest = std::max(lowest, nominal + static_cast<long long>(search_));
    // The natural continuation, the stretch of input the candidates' first halves lie in
    // and its running energy, for the loudness of any candidate.
    std::vector<float> target(hop_);
    for (size_t n = 0; n < hop_; ++n)
        target[n] = mono(natural + static_cast<long long>(n));
    const size_t span = static_cast<size_t>(highest - lowest) + hop_;
    std::vector<float> region(span);
    std::vector<double> energyBefore(span + 1, 0.0);
    for (size_t n = 0; n < span; ++n) {
        region[n] = mono(lowest + static_cast<long long>(n));
        energyBefore[n + 1] = energyBefore[n] + static_cast<double>(region[n]) * region[n];
    }
    // Normalised by the candidate's loudness; silence scores nothing either way.
    const auto score = [&](long long c, size_t stride) {
        const size_t at = static_cast<size_t>(c - lowest);
        const float* candidate = region.data() + at;
        float dot = 0;
        for (size_t n = 0; n < hop_; n += stride)
            dot += candidate[n] * target[n];
        const double energy = (energyBefore[at + hop_] - energyBefore[at]) / stride;
        return energy > 1.0 ? dot / std::sqrt(energy) : 0.0;
    };
    // A coarse look every fourth position on every other sample, then every position
    // near the best of it.
    constexpr long long kCoarseStep = 4;
    long long best = std::clamp(nominal, lowest, highest);
    double bestScore = -1e300;
    for (long long c = lowest; c <= highest; c += kCoarseStep) {
        const double s = score(c, 2);
        if (s > bestScore) {
            bestScore = s;
            best = c;
        }
    }
    const long long from = std::max(lowest, best - kCoarseStep + 1);
    const long long to = std::min(highest, best + kCoarseStep - 1);
    bestScore = -1e300;
    for (long long c = from; c <= to; ++c) {
        const double s = score(c, 1);
        if (s > bestScore) {
            bestScore = s;
            best = c;
        }
    }
    return best;
}

void TimeStretch::emit(size_t frames, std::vector<int16_t>& out) {
    const size_t channels = static_cast<size_t>(channels_);
    for (size_t n = 0; n < frames * channels; ++n)
        out.push_back(toSample(overlap_[n]));
    emitted_ += static_cast<long long>(frames);
}

void TimeStretch::run(std::vector<int16_t>& out, bool draining) {
    const size_t channels = static_cast<size_t>(channels_);
    const long long hop = static_cast<long long>(hop_);
    const long long total = std::llround(static_cast<double>(inputFrames_) / speed_);
    std::vector<float> placed(frame_ * channels);
    while (true) {
        if (draining && emitted_ >= total) break;
        const long long nominal = std::llround(static_cast<double>(framesWritten_ * hop) * speed_);
        if (!draining && nominal + static_cast<long long>(search_ + frame_) > inputFrames_) break;
        const long long start =
            previousStart_ < 0 ? nominal : bestStart(nominal, previousStart_ + hop);
        for (size_t n = 0; n < frame_; ++n) {
            // The very first frame has nothing before it to fade in against.
            const float w = framesWritten_ == 0 && n < hop_ ? 1.0f : window_[n];
            for (size_t c = 0; c < channels; ++c)
                placed[n * channels + c] =
                    w * sample(start + static_cast<long long>(n), static_cast<int>(c));
        }
        for (size_t n = 0; n < hop_ * channels; ++n)
            overlap_[n] += placed[n];
        const long long left = draining ? total - emitted_ : hop;
        emit(static_cast<size_t>(std::min(hop, left)), out);
        std::copy(placed.begin() + static_cast<ptrdiff_t>(hop_ * channels), placed.end(),
                  overlap_.begin());
        previousStart_ = start;
        ++framesWritten_;
        dropConsumedInput();
    }
}

void TimeStretch::dropConsumedInput() {
    const long long nextNominal =
        std::llround(static_cast<double>(framesWritten_ * static_cast<long long>(hop_)) * speed_);
    const long long needed = std::min(nextNominal - static_cast<long long>(search_),
                                      previousStart_ + static_cast<long long>(hop_));
    const long long drop = needed - inputStart_;
    if (drop <= 0 || drop < static_cast<long long>(kDropAfterFrames * frame_)) return;
    const size_t frames = std::min(static_cast<size_t>(drop), mono_.size());
    mono_.erase(mono_.begin(), mono_.begin() + static_cast<ptrdiff_t>(frames));
    input_.erase(input_.begin(),
                 input_.begin() + static_cast<ptrdiff_t>(frames * static_cast<size_t>(channels_)));
    inputStart_ += static_cast<long long>(frames);
}
