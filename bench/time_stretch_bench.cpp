// The cost of playing at another speed: time-stretching decoded sound, against decoding
// the same mp3 (libmpg123), per second of sound in the same run. The counter
// core_per_sound_second is the processor time for one second of sound, as a share of one
// core; the stretch's share divided by the decoding's is the ratio to report.
#include "recitation/time_stretch.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<unsigned char> mp3Bytes() {
    std::ifstream in(NORAVEL_STRETCH_BENCH_MP3, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes the whole mp3 to 16-bit interleaved PCM; `rate` and `channels` get its format.
std::vector<int16_t> decode(const std::vector<unsigned char>& mp3, long* rate, int* channels) {
    std::vector<int16_t> pcm;
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h) return pcm;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(h);
    mpg123_format(h, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_open_feed(h);
    unsigned char block[1 << 16];
    size_t done = 0;
    int result = mpg123_decode(h, mp3.data(), mp3.size(), block, sizeof block, &done);
    while (true) {
        pcm.insert(pcm.end(), reinterpret_cast<int16_t*>(block),
                   reinterpret_cast<int16_t*>(block + done));
        if (result == MPG123_NEW_FORMAT) {
            int encoding = 0;
            mpg123_getformat(h, rate, channels, &encoding);
        } else if (result != MPG123_OK) {
            break;
        }
        result = mpg123_decode(h, nullptr, 0, block, sizeof block, &done);
    }
    mpg123_delete(h);
    return pcm;
}

struct Sound {
    std::vector<unsigned char> mp3 = mp3Bytes();
    long rate = 44100;
    int channels = 2;
    std::vector<int16_t> pcm = decode(mp3, &rate, &channels);
    double seconds() const { return static_cast<double>(pcm.size()) / channels / rate; }
};

const Sound& sound() {
    static const Sound s = [] {
        mpg123_init();
        return Sound{};
    }();
    return s;
}

void reportShare(benchmark::State& state, double soundSeconds) {
    // Seconds of processor time per iteration over seconds of sound per iteration.
    state.counters["core_per_sound_second"] = benchmark::Counter(
        soundSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DecodeMp3(benchmark::State& state) {
    const Sound& s = sound();
    if (s.pcm.empty()) {
        state.SkipWithError("the benchmark's mp3 could not be decoded");
        return;
    }
    long rate = 0;
    int channels = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(decode(s.mp3, &rate, &channels).size());
    reportShare(state, s.seconds());
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

// The player's way: blocks of decoded sound as the decoder gives them out.
void BM_Stretch(benchmark::State& state) {
    const Sound& s = sound();
    if (s.pcm.empty()) {
        state.SkipWithError("the benchmark's mp3 could not be decoded");
        return;
    }
    const double speed = static_cast<double>(state.range(0)) / 100.0;
    constexpr size_t kBlock = 16 * 1152 * 2;
    std::vector<int16_t> out;
    for (auto _ : state) {
        TimeStretch stretch(s.channels, static_cast<int>(s.rate), speed);
        out.clear();
        for (size_t at = 0; at < s.pcm.size(); at += kBlock)
            stretch.push(s.pcm.data() + at, std::min(kBlock, s.pcm.size() - at), out);
        stretch.finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    reportShare(state, s.seconds());
}
BENCHMARK(BM_Stretch)->Arg(50)->Arg(75)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
