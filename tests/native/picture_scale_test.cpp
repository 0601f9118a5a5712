// Drawing ayah pictures at the screen's scale: the zoom steps, which picture set a scale
// is drawn from, the area-average resampler and the day and night colour tables.
#include "picture/picture_scale.h"

#include "picture_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using picture_builder::Bytes;

TEST(PictureZoom, StepsByQuartersTo200ThenByHalvesTo400AndStoredValuesOutsideGiveTheDefault) {
    EXPECT_EQ(zoomedIn(100), 125);
    EXPECT_EQ(zoomedIn(175), 200);
    EXPECT_EQ(zoomedIn(200), 250);
    EXPECT_EQ(zoomedIn(350), 400);
    EXPECT_EQ(zoomedIn(400), 400);
    EXPECT_EQ(zoomedOut(100), 75);
    EXPECT_EQ(zoomedOut(75), 75);
    EXPECT_EQ(zoomedOut(200), 175);
    EXPECT_EQ(zoomedOut(400), 350);
    // Between two steps each direction takes the step that way.
    EXPECT_EQ(zoomedIn(110), 125);
    EXPECT_EQ(zoomedOut(110), 100);
    EXPECT_EQ(zoomedIn(260), 300);
    EXPECT_EQ(zoomFromStored(150), 150);
    EXPECT_EQ(zoomFromStored(75), 75);
    EXPECT_EQ(zoomFromStored(400), 400);
    for (int bad : {0, -100, 74, 401, 1000})
        EXPECT_EQ(zoomFromStored(bad), 100) << bad;
}

struct Choice {
    int dpi, zoom;
    bool doubleAvailable;
    PictureSet set;
    int numerator, denominator;
};

TEST(PictureSource, UpToScaleOneTheSingleSetAboveItTheDoubleSetAndNeverASingleEnlarged) {
    const Choice cases[] = {
        {96, 100, true, PictureSet::Single, 1, 1},  {96, 75, true, PictureSet::Single, 3, 4},
        {72, 100, true, PictureSet::Single, 3, 4},  {120, 100, true, PictureSet::Double, 5, 8},
        {144, 100, true, PictureSet::Double, 3, 4}, {96, 150, true, PictureSet::Double, 3, 4},
        {192, 100, true, PictureSet::Double, 1, 1}, {96, 200, true, PictureSet::Double, 1, 1},
        {192, 200, true, PictureSet::Double, 2, 1}, {144, 100, false, PictureSet::Single, 1, 1},
        {96, 200, false, PictureSet::Single, 1, 1}, {96, 75, false, PictureSet::Single, 3, 4},
        {0, 0, true, PictureSet::Single, 1, 1}, // a DPI or zoom nobody could give: 96, 100%
    };
    for (const Choice& c : cases) {
        const PictureSourceChoice got = choosePictureSource(c.dpi, c.zoom, c.doubleAvailable);
        EXPECT_EQ(got.set, c.set) << c.dpi << " " << c.zoom;
        EXPECT_EQ(got.numerator, c.numerator) << c.dpi << " " << c.zoom;
        EXPECT_EQ(got.denominator, c.denominator) << c.dpi << " " << c.zoom;
    }
    const PictureSourceChoice threeQuarters = choosePictureSource(144, 100, true);
    EXPECT_EQ(scaledLength(1121, threeQuarters), 841); // 840.75 rounded
    EXPECT_EQ(scaledLength(1, choosePictureSource(96, 75, true)), 1);
}

std::vector<uint8_t> resampled(const std::vector<uint8_t>& src, int sw, int sh, int dw, int dh) {
    std::vector<uint8_t> dst(static_cast<size_t>(dw) * dh, 7);
    resampleAreaAverage(src.data(), sw, sh, sw, dst.data(), dw, dh, dw);
    return dst;
}

TEST(AreaAverage, AFlatPictureStaysFlatAtEverySize) {
    const std::vector<uint8_t> flat(13 * 9, 200);
    for (auto [dw, dh] : {std::pair{13, 9}, {6, 4}, {1, 1}, {10, 7}, {27, 19}, {40, 3}}) {
        const std::vector<uint8_t> out = resampled(flat, 13, 9, dw, dh);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ(out[i], 200) << dw << "x" << dh << " at " << i;
    }
    const std::vector<uint8_t> full(5 * 5, 255);
    for (uint8_t v : resampled(full, 5, 5, 3, 3))
        EXPECT_EQ(v, 255) << "full ink keeps its value, no overflow in the sums";
}

TEST(AreaAverage, HalvingAveragesEachTwoByTwoBlockAndThreeQuartersSharesTheMiddlePixel) {
    // 4 x 2 source, two blocks: (0, 100, 200, 40) and (255, 255, 255, 255).
    const std::vector<uint8_t> src = {0, 100, 255, 255, 200, 40, 255, 255};
    EXPECT_EQ(resampled(src, 4, 2, 2, 1), (std::vector<uint8_t>{85, 255}));
    // Rows of a padded stride: the padding is left alone.
    std::vector<uint8_t> padded(2 * 6, 99);
    resampleAreaAverage(src.data(), 4, 2, 4, padded.data(), 2, 2, 6);
    EXPECT_EQ(padded, (std::vector<uint8_t>{50, 255, 99, 99, 99, 99, 120, 255, 99, 99, 99, 99}));

    // A row of 4 to 3: output 1 covers two thirds of the second and of the third pixel.
    const std::vector<uint8_t> edge = {0, 0, 255, 255};
    EXPECT_EQ(resampled(edge, 4, 1, 3, 1), (std::vector<uint8_t>{0, 128, 255}));
    // The same edge down a column; and an edge at a third: 1/4 of the output's area.
    EXPECT_EQ(resampled(edge, 1, 4, 1, 3), (std::vector<uint8_t>{0, 128, 255}));
    const std::vector<uint8_t> third = {0, 0, 0, 255, 255, 255};
    EXPECT_EQ(resampled(third, 6, 1, 4, 1), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(resampled(third, 6, 1, 5, 1), (std::vector<uint8_t>{0, 0, 128, 255, 255}));
}

TEST(AreaAverage, EnlargingByTwoRepeatsEveryPixelWithoutBlur) {
    const std::vector<uint8_t> src = {0, 255, 60, 255, 0, 130};
    EXPECT_EQ(resampled(src, 3, 2, 6, 4),
              (std::vector<uint8_t>{0,   0,   255, 255, 60,  60,  0,   0,   255, 255, 60,  60,
                                    255, 255, 0,   0,   130, 130, 255, 255, 0,   0,   130, 130}));
}

// A GIF whose four colours run from white paper to dark ink (made-up ink 30, 20, 10).
Bytes greyGif(int width, int height, const Bytes& pixels) {
    picture_builder::GifSpec shape;
    shape.width = width;
    shape.height = height;
    shape.minimumCodeSize = 2;
    shape.globalTable = {255, 255, 255, 180, 175, 170, 105, 95, 90, 30, 20, 10};
    return picture_builder::encodeGif(shape, pixels);
}

PictureData decoded(const Bytes& file) {
    PictureData data = decodeGif(file.data(), file.size());
    EXPECT_TRUE(data.ok());
    return data;
}

bool sameColour(const DibColour& a, const DibColour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST(DrawablePicture, AtNaturalSizeKeepsPixelsAndColoursAndNightRunsFromGroundToLightInk) {
    const Bytes pixels = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 3, 3};
    const PictureData data = decoded(greyGif(4, 3, pixels));
    const DrawablePicture picture = makeDrawablePicture(data, choosePictureSource(96, 100, true));
    ASSERT_EQ(picture.width, 4);
    ASSERT_EQ(picture.height, 3);
    EXPECT_EQ(picture.rowStride, 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(picture.pixels[y * 4 + x], pixels[y * 4 + x]);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(sameColour(picture.day[i], data.colours()[i])) << i;
    EXPECT_TRUE(sameColour(picture.night[0], kNightGround));
    EXPECT_TRUE(sameColour(picture.night[3], kNightInk));
    // The greys in between stay in order: lighter paper grey is darker at night.
    EXPECT_LT(picture.night[1].green, picture.night[2].green);
    EXPECT_GT(picture.night[1].green, kNightGround.green);
    EXPECT_LT(picture.night[2].green, kNightInk.green);
}

TEST(DrawablePicture, ResizedItHoldsInkCoverageWithARampFromPaperToInk) {
    // 8 x 2: a block of full ink, a block of paper, then a block of half ink and paper.
    const Bytes pixels = {3, 3, 0, 0, 3, 0, 0, 0, 3, 3, 0, 0, 0, 3, 0, 0};
    const PictureData data = decoded(greyGif(8, 2, pixels));
    const DrawablePicture picture = makeDrawablePicture(data, choosePictureSource(96, 200, true));
    // At 200% from what is taken for the double set the factor is 1/1: natural size.
    EXPECT_EQ(picture.width, 8);
    const PictureSourceChoice half{PictureSet::Double, 1, 2};
    const DrawablePicture small = makeDrawablePicture(data, half);
    ASSERT_EQ(small.width, 4);
    ASSERT_EQ(small.height, 1);
    EXPECT_EQ(small.rowStride, 4);
    EXPECT_EQ(small.pixels[0], 255);
    EXPECT_EQ(small.pixels[1], 0);
    EXPECT_EQ(small.pixels[2], 128);
    EXPECT_EQ(small.pixels[3], 0);
    EXPECT_TRUE(sameColour(small.day[0], DibColour{255, 255, 255, 0}));
    EXPECT_TRUE(sameColour(small.day[255], DibColour{10, 20, 30, 0}));
    EXPECT_TRUE(sameColour(small.night[0], kNightGround));
    EXPECT_TRUE(sameColour(small.night[255], kNightInk));
    // Rows are padded to four bytes.
    const DrawablePicture odd =
        makeDrawablePicture(data, PictureSourceChoice{PictureSet::Single, 3, 4});
    EXPECT_EQ(odd.width, 6);
    EXPECT_EQ(odd.rowStride, 8);
    EXPECT_EQ(odd.pixels.size(), 8u * odd.height);
}

TEST(DrawablePicture, ABottomUpBmpKeepsItsRowOrderAndOtherDepthsGiveNothing) {
    picture_builder::BmpSpec shape;
    shape.width = 2;
    shape.height = 2; // bottom-up
    const Bytes file = picture_builder::buildBmp(shape);
    const PictureData data = readBmp(file.data(), file.size());
    ASSERT_TRUE(data.ok());
    const DrawablePicture picture = makeDrawablePicture(data, choosePictureSource(96, 100, true));
    ASSERT_EQ(picture.height, 2);
    // The file's last row (bytes 4, 5) is the top of the picture.
    EXPECT_EQ(picture.pixels[0], data.bits()[4]);
    EXPECT_EQ(picture.pixels[4], data.bits()[0]);

    // Resized too: the bottom-up picture is the top-down one of the same bytes upside down.
    shape.height = -2;
    const Bytes topDownFile = picture_builder::buildBmp(shape);
    const PictureData topDown = readBmp(topDownFile.data(), topDownFile.size());
    ASSERT_TRUE(topDown.ok());
    const PictureSourceChoice twice{PictureSet::Double, 2, 1};
    const DrawablePicture up = makeDrawablePicture(data, twice);
    const DrawablePicture down = makeDrawablePicture(topDown, twice);
    ASSERT_EQ(up.height, 4);
    ASSERT_EQ(down.height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(up.pixels[y * up.rowStride + x], down.pixels[(3 - y) * down.rowStride + x]);
    EXPECT_NE(up.pixels[0], up.pixels[3 * up.rowStride]) << "the two rows differ";

    shape.height = 2;
    shape.bitCount = 24;
    const Bytes deep = picture_builder::buildBmp(shape);
    EXPECT_TRUE(
        makeDrawablePicture(readBmp(deep.data(), deep.size()), choosePictureSource(96, 100, true))
            .empty());
    EXPECT_TRUE(makeDrawablePicture(PictureData{}, choosePictureSource(96, 100, true)).empty());
}

} // namespace
