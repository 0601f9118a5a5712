// The portable half of drawing an ayah picture at the screen's scale: which of the two
// picture sets (gif\ drawn for 96 DPI, gif2x\ drawn at twice the size) a scale is drawn
// from, the zoom steps of the view, an area-average (box filter) resampler of grey
// pictures, and the 8-bit picture the bitmap view draws from with its day and night
// colour tables.
//
// A scale is dpi x zoom / (96 x 100). Up to 1 it is drawn from the 1x set (reduced for
// 75%); above 1 from the 2x set, reduced for scales between 1 and 2. A 1x picture is never
// enlarged: without a 2x picture it is drawn at its natural size instead.
#ifndef NORAVEL_PICTURE_PICTURE_SCALE_H
#define NORAVEL_PICTURE_PICTURE_SCALE_H

#include "picture/picture_decoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// ---- Zoom of the picture, in percent of its size at the screen's DPI ----
inline constexpr int kZoomSteps[] = {75, 100, 125, 150, 175, 200, 250, 300, 350, 400};
inline constexpr int kMinZoom = 75;
inline constexpr int kMaxZoom = 400;
inline constexpr int kDefaultZoom = 100;

// The next step above percent (at most the largest), and below it (at least the smallest).
// A percent between two steps goes to the step in the direction asked.
int zoomedIn(int percent);
int zoomedOut(int percent);
// A stored zoom as the view takes it: within 75..400 as it is, anything else 100.
int zoomFromStored(int stored);

// ---- Which picture set, and by how much it is resized ----
enum class PictureSet { Single, Double };

struct PictureSourceChoice {
    PictureSet set = PictureSet::Single;
    // The source is drawn at numerator / denominator of its own size.
    int numerator = 1;
    int denominator = 1;
    bool natural() const { return numerator == denominator; }
};

// The set and the factor for a window at dpi showing the picture at zoomPercent. Without a
// 2x picture (doubleAvailable false) a scale above 1 is drawn from the 1x set unresized.
PictureSourceChoice choosePictureSource(int dpi, int zoomPercent, bool doubleAvailable);

// A length of the source at the choice's factor, rounded, at least 1.
int scaledLength(int length, const PictureSourceChoice& choice);

// ---- The resampler ----
// Resizes a grey picture (one byte a pixel, rows `srcStride` bytes apart) to dstWidth x
// dstHeight by area averaging: every output pixel is the mean of the source area it
// covers, each source pixel weighted by the part of it inside. Works for reduction and
// enlargement alike (an enlargement keeps hard edges: at most one blended pixel between
// two source pixels). Sizes below 1 do nothing.
void resampleAreaAverage(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride,
                         uint8_t* dst, int dstWidth, int dstHeight, ptrdiff_t dstStride);

// ---- What the view draws ----
// The colours of the night scheme: light ink on a dark ground. The view's own background
// outside the picture takes the ground colour too.
inline constexpr DibColour kNightGround{30, 28, 28, 0};
inline constexpr DibColour kNightInk{214, 228, 234, 0};
// The ink of the day: that of the ayah pictures.
inline constexpr DibColour kDayInk{16, 20, 24, 0};

// An 8-bit top-down picture with two colour tables of 256 entries; switching between day
// and night is a change of the table only.
struct DrawablePicture {
    int width = 0;
    int height = 0;
    int rowStride = 0;           // bytes per row, a multiple of 4 as a DIB needs
    std::vector<uint8_t> pixels; // rowStride x height
    std::array<DibColour, 256> day{};
    std::array<DibColour, 256> night{};
    bool empty() const { return width <= 0 || height <= 0; }
};

// The decoded 8-bit picture (a GIF as decodeGif gives it, or an 8-bit BMP) at the choice's
// factor. The lightest colour the picture uses counts as paper and the darkest as ink; the
// others as grey between. At its natural size the picture keeps its pixels and colours; a
// resized one holds ink coverage 0..255 with a ramp from paper to ink. The night table
// maps the same coverage onto kNightGround..kNightInk. Empty for any other picture.
DrawablePicture makeDrawablePicture(const PictureData& decoded, const PictureSourceChoice& choice);

#endif
