// Scale choice, zoom steps, the area-average resampler and the drawable picture. See the
// header for the rules.
#include "picture/picture_scale.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <numeric>

namespace {

constexpr int kBaseDpi = 96;

// The taps of one axis: for every output pixel the first source pixel it covers, how many,
// and their weights (in 1/2^14, summing to exactly 2^14).
constexpr int kWeightBits = 14;
constexpr uint32_t kWeightOne = 1u << kWeightBits;

struct AxisTaps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> start; // index of the output pixel's first weight in weights
    std::vector<uint32_t> weights;
};

// Output pixel i covers the source from i x src / dst to (i + 1) x src / dst; measured in
// 1/dst of a source pixel every boundary is a whole number, so the overlaps are exact.
AxisTaps axisTaps(int src, int dst) {
    AxisTaps taps;
    taps.first.resize(dst);
    taps.count.resize(dst);
    taps.start.resize(dst);
    taps.weights.reserve(static_cast<size_t>(dst) * (src / dst + 2));
    for (int i = 0; i < dst; ++i) {
        const int64_t from = static_cast<int64_t>(i) * src;
        const int64_t to = from + src;
        const int firstPixel = static_cast<int>(from / dst);
        const int lastPixel = static_cast<int>((to - 1) / dst);
        taps.first[i] = firstPixel;
        taps.count[i] = lastPixel - firstPixel + 1;
        taps.start[i] = static_cast<int>(taps.weights.size());
        // Weights from the rounded running sum of the overlaps: none negative, their sum
        // exactly one.
        int64_t covered = 0;
        for (int j = firstPixel; j <= lastPixel; ++j) {
            const int64_t overlap = std::min<int64_t>(to, static_cast<int64_t>(j + 1) * dst) -
                                    std::max<int64_t>(from, static_cast<int64_t>(j) * dst);
            const int64_t before = (covered * kWeightOne + src / 2) / src;
            covered += overlap;
            const int64_t after = (covered * kWeightOne + src / 2) / src;
            const auto weight = static_cast<uint32_t>(after - before);
            taps.weights.push_back(weight);
        }
    }
    return taps;
}

uint32_t luminance(const DibColour& c) {
    return (299u * c.red + 587u * c.green + 114u * c.blue + 500u) / 1000u;
}

uint8_t mixChannel(uint8_t from, uint8_t to, int coverage) {
    return static_cast<uint8_t>((from * (255 - coverage) + to * coverage + 127) / 255);
}

DibColour mix(const DibColour& from, const DibColour& to, int coverage) {
    return DibColour{mixChannel(from.blue, to.blue, coverage),
                     mixChannel(from.green, to.green, coverage),
                     mixChannel(from.red, to.red, coverage), 0};
}

} // namespace

int zoomedIn(int percent) {
    for (int step : kZoomSteps)
        if (step > percent) return step;
    return kMaxZoom;
}

int zoomedOut(int percent) {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < percent) return *it;
    return kMinZoom;
}

int zoomFromStored(int stored) {
    return stored >= kMinZoom && stored <= kMaxZoom ? stored : kDefaultZoom;
}

PictureSourceChoice choosePictureSource(int dpi, int zoomPercent, bool doubleAvailable) {
    if (dpi <= 0) dpi = kBaseDpi;
    if (zoomPercent <= 0) zoomPercent = kDefaultZoom;
    const int scale = dpi * zoomPercent; // over kBaseDpi x 100
    const int one = kBaseDpi * 100;
    PictureSourceChoice choice;
    if (scale <= one) {
        choice.numerator = scale;
        choice.denominator = one;
    } else if (doubleAvailable) {
        choice.set = PictureSet::Double;
        choice.numerator = scale;
        choice.denominator = 2 * one;
    } // else the 1x picture at its natural size
    const int divisor = std::gcd(choice.numerator, choice.denominator);
    choice.numerator /= divisor;
    choice.denominator /= divisor;
    return choice;
}

int scaledLength(int length, const PictureSourceChoice& choice) {
    const int64_t scaled =
        (static_cast<int64_t>(length) * choice.numerator + choice.denominator / 2) /
        choice.denominator;
    return scaled < 1 ? 1 : static_cast<int>(scaled);
}

namespace {

// The resampler, reading every source byte through lookup (its grey value).
void resampleThrough(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride,
                     const std::array<uint8_t, 256>& lookup, uint8_t* dst, int dstWidth,
                     int dstHeight, ptrdiff_t dstStride) {
    if (srcWidth < 1 || srcHeight < 1 || dstWidth < 1 || dstHeight < 1) return;
    const AxisTaps across = axisTaps(srcWidth, dstWidth);
    const AxisTaps down = axisTaps(srcHeight, dstHeight);

    // Across: one source row into output columns, kept with 8 more bits. Two rows are kept,
    // by the parity of their number, so that a row two output rows share (the last of one
    // and the first of the next) is resampled once.
    std::vector<uint16_t> kept[2] = {std::vector<uint16_t>(dstWidth),
                                     std::vector<uint16_t>(dstWidth)};
    int keptRow[2] = {-1, -1};
    auto across_ = [&](int y) -> const uint16_t* {
        const int slot = y & 1;
        uint16_t* out = kept[slot].data();
        if (keptRow[slot] == y) return out;
        keptRow[slot] = y;
        const uint8_t* in = src + y * srcStride;
        for (int x = 0; x < dstWidth; ++x) {
            const uint8_t* pixel = in + across.first[x];
            const uint32_t* weight = across.weights.data() + across.start[x];
            uint32_t sum = 0;
            for (int k = 0; k < across.count[x]; ++k)
                sum += weight[k] * lookup[pixel[k]];
            out[x] = static_cast<uint16_t>((sum + (1u << (kWeightBits - 9))) >> (kWeightBits - 8));
        }
        return out;
    };
    // Then down: 65,280 x 2^14 stays below 2^32.
    std::vector<uint32_t> sums(dstWidth);
    for (int y = 0; y < dstHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int k = 0; k < down.count[y]; ++k) {
            const uint32_t weight = down.weights[down.start[y] + k];
            const uint16_t* row = across_(down.first[y] + k);
            for (int x = 0; x < dstWidth; ++x)
                sums[x] += weight * row[x];
        }
        uint8_t* out = dst + y * dstStride;
        constexpr int shift = kWeightBits + 8;
        for (int x = 0; x < dstWidth; ++x)
            out[x] = static_cast<uint8_t>((sums[x] + (1u << (shift - 1))) >> shift);
    }
}

} // namespace

void resampleAreaAverage(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride,
                         uint8_t* dst, int dstWidth, int dstHeight, ptrdiff_t dstStride) {
    std::array<uint8_t, 256> same{};
    for (int i = 0; i < 256; ++i)
        same[i] = static_cast<uint8_t>(i);
    resampleThrough(src, srcWidth, srcHeight, srcStride, same, dst, dstWidth, dstHeight, dstStride);
}

DrawablePicture makeDrawablePicture(const PictureData& decoded, const PictureSourceChoice& choice) {
    DrawablePicture picture;
    if (!decoded.ok() || decoded.dibSize < sizeof(DibInfoHeader)) return picture;
    const DibInfoHeader& header = decoded.header();
    if (header.size < sizeof(DibInfoHeader) || header.bitCount != 8 ||
        header.compression != kDibRgb || decoded.colourCount == 0)
        return picture;
    const int width = header.width;
    const int height = header.height < 0 ? -header.height : header.height;
    if (width < 1 || height < 1 || decoded.rowStride < width) return picture;
    const bool topDown = header.height < 0;
    const uint8_t* bits = decoded.bits();
    auto sourceRow = [&](int y) {
        return bits + static_cast<size_t>(topDown ? y : height - 1 - y) * decoded.rowStride;
    };

    // The colours the picture uses: the lightest is paper, the darkest ink.
    const uint32_t colours = std::min<uint32_t>(decoded.colourCount, 256);
    const DibColour* table = decoded.colours();
    std::array<bool, 256> used{};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = sourceRow(y);
        for (int x = 0; x < width; ++x)
            used[row[x]] = true;
    }
    DibColour paper{255, 255, 255, 0}, ink{0, 0, 0, 0};
    uint32_t paperLight = 0, inkLight = 256;
    for (uint32_t i = 0; i < colours; ++i) {
        if (!used[i]) continue;
        const uint32_t light = luminance(table[i]);
        if (light >= paperLight) paperLight = light, paper = table[i];
        if (light < inkLight) inkLight = light, ink = table[i];
    }
    // Indices past the table (a BMP may use them) count as paper.
    std::array<uint8_t, 256> coverage{};
    if (inkLight < paperLight) {
        for (uint32_t i = 0; i < colours; ++i) {
            const uint32_t light = std::clamp(luminance(table[i]), inkLight, paperLight);
            coverage[i] =
                static_cast<uint8_t>(((paperLight - light) * 255 + (paperLight - inkLight) / 2) /
                                     (paperLight - inkLight));
        }
    }

    const int outWidth = choice.natural() ? width : scaledLength(width, choice);
    const int outHeight = choice.natural() ? height : scaledLength(height, choice);
    picture.width = outWidth;
    picture.height = outHeight;
    picture.rowStride = ((outWidth - 1) | 3) + 1;
    picture.pixels.assign(static_cast<size_t>(picture.rowStride) * outHeight, 0);

    if (choice.natural()) {
        // Pixels and day colours as they are; the night table by each entry's coverage.
        for (int y = 0; y < height; ++y)
            std::memcpy(picture.pixels.data() + static_cast<size_t>(y) * picture.rowStride,
                        sourceRow(y), width);
        for (uint32_t i = 0; i < 256; ++i) {
            picture.day[i] = i < colours ? table[i] : paper;
            picture.night[i] = mix(kNightGround, kNightInk, coverage[i]);
        }
        return picture;
    }

    // The source rows top first, whichever way the bitmap stores them.
    const ptrdiff_t stride =
        topDown ? decoded.rowStride : -static_cast<ptrdiff_t>(decoded.rowStride);
    resampleThrough(sourceRow(0), width, height, stride, coverage, picture.pixels.data(), outWidth,
                    outHeight, picture.rowStride);
    for (int c = 0; c < 256; ++c) {
        picture.day[c] = mix(paper, ink, c);
        picture.night[c] = mix(kNightGround, kNightInk, c);
    }
    return picture;
}
