// Feeds arbitrary sound to the time-stretch in blocks of arbitrary sizes (blocks that end
// inside a sample frame included), with any channel count, rate and speed the first bytes
// choose. The output must hold whole sample frames, exactly the input's length divided by
// the speed, and the same whatever the blocks.
#include "recitation/time_stretch.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int channels = 1 + data[0] % 8;
    const int rate = 8000 + (data[1] % 8) * 23000;
    const double speed = 0.5 + (data[2] % 31) * 0.05;
    const size_t block = 1 + data[3] % 64 * 37;
    data += 4;
    size -= 4;
    std::vector<int16_t> samples(size / 2);
    if (!samples.empty()) std::memcpy(samples.data(), data, samples.size() * 2);

    TimeStretch inBlocks(channels, rate, speed);
    std::vector<int16_t> out;
    for (size_t at = 0; at < samples.size(); at += block)
        inBlocks.push(samples.data() + at, std::min(block, samples.size() - at), out);
    inBlocks.finish(out);
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    if (out.size() % static_cast<size_t>(channels) != 0) std::abort();
    if (out.size() / static_cast<size_t>(channels) !=
        static_cast<size_t>(std::llround(static_cast<double>(frames) / speed)))
        std::abort();

    TimeStretch whole(channels, rate, speed);
    std::vector<int16_t> once;
    whole.push(samples.data(), samples.size(), once);
    whole.finish(once);
    if (once != out) std::abort();
    return 0;
}
