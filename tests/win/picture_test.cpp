// The pictures' Windows layer, in process: the loader's bitmaps and error codes, the
// bitmap view's scrolling and painting, the clipboard DIBs and the picture copy.
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "picture/dib_win.h"
#include "picture/picture_loader_win.h"
#include "picture/picture_scale.h"
#include "resources/resource_ids.h"

#include <windows.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string tempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "noravel_picture_" + name;
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string writeFile(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<uint8_t>(x >> 8 * i);
}

// A bottom-up BMP file of 8 bits (pixel(x, y) an index into table) or 24 bits
// (pixel(x, y) 0xRRGGBB), y counted from the top.
template <typename Pixel>
std::vector<uint8_t> bmpFile(int width, int height, int bitCount,
                             const std::vector<uint32_t>& table, Pixel pixel) {
    const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    const size_t bitsOffset = 54 + 4 * table.size();
    std::vector<uint8_t> file(bitsOffset + stride * height);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<uint32_t>(file.size()));
    put32(file, 14, 40);
    put32(file, 18, width);
    put32(file, 22, height);
    put32(file, 26, 1 | bitCount << 16); // planes, bits per pixel; colours used stays 0
    for (size_t i = 0; i < table.size(); ++i)
        put32(file, 54 + 4 * i, table[i]);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = file.data() + bitsOffset + stride * (height - 1 - y) + x * bitCount / 8;
            const uint32_t value = pixel(x, y);
            for (int i = 0; i < bitCount / 8; ++i)
                p[i] = static_cast<uint8_t>(value >> 8 * i);
        }
    return file;
}

SIZE sizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

BITMAPINFO topDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// The pixels of a bitmap as 0xRRGGBB, rows top first.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap) {
    const SIZE size = sizeOf(bitmap);
    BITMAPINFO info = topDown32(size.cx, size.cy);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS), size.cy);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// A screen-compatible bitmap whose pixels are colour(x, y) as 0xRRGGBB.
template <typename Colour> HBITMAP makeBitmap(int width, int height, Colour colour) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
    BITMAPINFO info = topDown32(width, height);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// What a view paints into its whole client area (WM_PRINTCLIENT), as 0xRRGGBB rows over a
// red ground.
std::vector<uint32_t> printedClient(HWND view) {
    RECT client{};
    GetClientRect(view, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = makeBitmap(client.right, client.bottom, [](int, int) { return 0xFF0000u; });
    HGDIOBJ old = SelectObject(memory, target);
    SendMessageA(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<uint32_t> pixels = pixelsOf(target);
    DeleteObject(target);
    return pixels;
}

uint32_t windowColour() {
    const COLORREF c = GetSysColor(COLOR_WINDOW);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

uint32_t rowColour(int, int y) {
    return static_cast<uint32_t>((y & 0xFF) << 16 | (y >> 8) << 8 | 0x40);
}

TEST(PictureLoader, AyahGifComesBackWithItsSizeAndEveryPixelInItsDecodedColour) {
    const std::vector<uint8_t> bytes = readFile(windowsPath(NORAVEL_DIST_DIR "/gif/1/1_1.gif"));
    const PictureData decoded = decodePicture("x.gif", bytes.data(), bytes.size());
    ASSERT_TRUE(decoded.ok());
    const std::string upperCase = writeFile("ayah.GIF", bytes);
    Picture picture;
    HDC screen = GetDC(nullptr);
    HGDIOBJ paletteBefore = GetCurrentObject(screen, OBJ_PAL);
    HBITMAP bitmap = picture.load(upperCase.c_str(), screen);
    EXPECT_EQ(GetCurrentObject(screen, OBJ_PAL), paletteBefore);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr) << picture.lastError();
    const int width = decoded.header().width, height = -decoded.header().height;
    EXPECT_EQ(sizeOf(bitmap).cx, width);
    EXPECT_EQ(sizeOf(bitmap).cy, height);
    const std::vector<uint32_t> pixels = pixelsOf(bitmap);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DibColour c = decoded.colours()[decoded.bits()[y * decoded.rowStride + x]];
            wrong += pixels[static_cast<size_t>(y) * width + x] !=
                     static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(picture.lastError(), 0);
    DeleteObject(bitmap);
    DeleteFileA(upperCase.c_str());
}

TEST(PictureLoader, EightBitBmpTakesAll256ColoursAndTwentyFourBitOneNeedsNone) {
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = i << 16 | (255 - i) << 8 | i / 2;
    const uint32_t indices[] = {0, 17, 200, 255, 128};
    // Width 5 pads rows to 8 and 16 bytes; another program holds the 8-bit file open.
    const std::string eight = writeFile(
        "eight.Bmp", bmpFile(5, 3, 8, table, [&](int x, int y) { return indices[(x + y) % 5]; }));
    const std::string twentyFour = writeFile("true.bmp", bmpFile(5, 3, 24, {}, [&](int x, int y) {
                                                 return 0x100000u * x + 0x31u * y + 7;
                                             }));
    HANDLE writer =
        CreateFileA(eight.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    Picture picture;
    HBITMAP eightBit = picture.load(eight.c_str());
    HBITMAP trueColour = picture.load(twentyFour.c_str());
    CloseHandle(writer);
    ASSERT_TRUE(eightBit && trueColour) << picture.lastError();
    const std::vector<uint32_t> a = pixelsOf(eightBit), b = pixelsOf(trueColour);
    ASSERT_EQ(a.size(), 15u);
    ASSERT_EQ(b.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        const int x = i % 5, y = i / 5;
        EXPECT_EQ(a[i], table[indices[(x + y) % 5]]) << x << "," << y;
        EXPECT_EQ(b[i], 0x100000u * x + 0x31u * y + 7) << x << "," << y;
    }
    DeleteObject(eightBit);
    DeleteObject(trueColour);
    DeleteFileA(eight.c_str());
    DeleteFileA(twentyFour.c_str());
}

TEST(PictureLoader, FailuresGiveTheirCodesKeepEarlierBitmapsAndOutliveLaterSuccess) {
    const std::vector<uint8_t> junk(64, 'x');
    std::vector<uint8_t> wrongType = bmpFile(2, 2, 24, {}, [](int, int) { return 0xABCDEFu; });
    const std::string good = writeFile("good.bmp", wrongType);
    wrongType[0] = 'X';
    std::vector<uint8_t> lying = bmpFile(4, 4, 24, {}, [](int, int) { return 0u; });
    put32(lying, 22, 4000); // far more rows than the file holds
    const std::string huge = tempPath("huge.gif");
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(kMaxPictureFileBytes) + 1; // sparse, never read
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    const struct {
        std::string path;
        int code;
    } cases[] = {
        {writeFile("exists.tif", junk), kPictureUnknownExtension},
        {writeFile("nodot", junk), kPictureUnknownExtension},
        {tempPath("missing.gif"), kPictureCannotOpen},
        {tempPath("missing.jpeg"), kPictureCannotOpen},
        {writeFile("exists.jpg", junk), kPictureNoData},
        {writeFile("exists.pcx", junk), kPictureNoData},
        {writeFile("exists.tiff", junk), kPictureNoData},
        {writeFile("junk.gif", junk), kPictureNotGif},
        {writeFile("empty.bmp", {}), kPictureReadFailed},
        {writeFile("wrongtype.bmp", wrongType), kPictureNotBmp},
        {writeFile("lying.bmp", lying), kPictureReadFailed},
        {huge, kPictureReadFailed},
    };
    Picture picture;
    HBITMAP earlier = picture.load(good.c_str());
    ASSERT_NE(earlier, nullptr);
    for (const auto& c : cases) {
        EXPECT_EQ(picture.load(c.path.c_str()), nullptr) << c.path;
        EXPECT_EQ(picture.lastError(), c.code) << c.path;
        DeleteFileA(c.path.c_str());
    }
    EXPECT_EQ(pixelsOf(earlier)[3], 0xABCDEFu);
    HBITMAP later = picture.load(good.c_str());
    EXPECT_NE(later, nullptr);
    EXPECT_EQ(picture.lastError(), kPictureReadFailed);
    DeleteObject(earlier);
    DeleteObject(later);
    DeleteFileA(good.c_str());
}

// A screen that gives no device context, as when GDI is exhausted.
class PictureWithoutScreen : public Picture {
  public:
    int asked = 0;

  protected:
    HDC getScreenDc() override {
        ++asked;
        return nullptr;
    }
    void releaseScreenDc(HDC) override { ADD_FAILURE() << "released a context never had"; }
};

TEST(PictureLoader, NoScreenDeviceContextIsErrorTenAfterOneAttempt) {
    const std::string path =
        writeFile("noscreen.bmp", bmpFile(2, 2, 24, {}, [](int, int) { return 0x123456u; }));
    PictureWithoutScreen picture;
    EXPECT_EQ(picture.load(path.c_str(), nullptr), nullptr);
    EXPECT_EQ(picture.lastError(), kPictureNoBitmap);
    EXPECT_EQ(picture.asked, 1);
    EXPECT_EQ(picture.load(path.c_str()), nullptr);
    EXPECT_EQ(picture.asked, 2);
    // A context of the caller's own still works.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = picture.load(path.c_str(), screen);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
    DeleteFileA(path.c_str());
}

// A view in a parent window, its client area 200 x 300.
class BitmapView : public ::testing::Test {
  protected:
    // One parent for the suite: a top-level window costs Wine about two seconds.
    static void SetUpTestSuite() {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 700, nullptr,
                                  nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent_); }
    void SetUp() override {
        view_ = createBitmapView(GetModuleHandleA(nullptr), parent_, nullptr);
        ASSERT_NE(view_, nullptr);
        MoveWindow(view_, 0, 0, 240, 340, TRUE); // gives the frame its size
        resizeClient(300);
    }
    void TearDown() override {
        DestroyWindow(view_);
        for (HBITMAP bitmap : bitmaps_)
            DeleteObject(bitmap);
    }
    void resizeClient(int height) {
        RECT window{}, client{};
        GetWindowRect(view_, &window);
        GetClientRect(view_, &client);
        MoveWindow(view_, 0, 0, 200 + window.right - window.left - client.right,
                   height + window.bottom - window.top - client.bottom, TRUE);
    }
    void show(int width, int height) {
        bitmaps_.push_back(makeBitmap(width, height, rowColour));
        SendMessageA(view_, WM_SETPICTURE, 0, reinterpret_cast<LPARAM>(bitmaps_.back()));
        RECT client{};
        GetClientRect(view_, &client);
        resizeClient(client.bottom); // the scroll bar may have come or gone
    }
    SCROLLINFO scroll() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(view_, SB_VERT, &info);
        return info;
    }
    int scrollBy(int code) {
        SendMessageA(view_, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
        return scroll().nPos;
    }
    // The colour the view paints at x, y, over a red background.
    uint32_t painted(int x, int y) {
        RECT client{};
        GetClientRect(view_, &client);
        EXPECT_EQ(client.right, 200);
        return printedClient(view_)[static_cast<size_t>(y) * client.right + x];
    }
    static HWND parent_;
    HWND view_ = nullptr;
    std::vector<HBITMAP> bitmaps_;
};

HWND BitmapView::parent_ = nullptr;

TEST_F(BitmapView, WithoutPictureWindowColourAndHundredPixelPictureSitsFortyDownUnscrollable) {
    EXPECT_EQ(painted(100, 150), windowColour());
    show(50, 100);
    SCROLLINFO info = scroll();
    EXPECT_EQ(info.nMax, 140);
    EXPECT_EQ(info.nPage, 141u); // 300 asked; the scroll bar keeps the page within its range
    EXPECT_EQ(scrollBy(SB_PAGEDOWN), 0);
    EXPECT_EQ(scrollBy(SB_BOTTOM), 0);
    const int left = 100 - 25;
    EXPECT_EQ(painted(left, 40), rowColour(0, 0));
    EXPECT_EQ(painted(left + 49, 139), rowColour(0, 99));
    EXPECT_EQ(painted(left, 39), windowColour());
    EXPECT_EQ(painted(left, 140), windowColour());
    EXPECT_EQ(painted(left - 1, 40), windowColour());
    EXPECT_EQ(painted(left + 50, 40), windowColour());
    SendMessageA(view_, WM_SETPICTURE, 0, 0);
    EXPECT_EQ(painted(left, 40), windowColour());
}

TEST_F(BitmapView, ThousandPixelPictureScrollsByLineAndPageUpToItsBottom) {
    show(50, 1000);
    EXPECT_EQ(scroll().nMax, 1040);
    EXPECT_EQ(scroll().nPage, 300u);
    const struct {
        int code, position;
    } steps[] = {{SB_PAGEDOWN, 300},  {SB_PAGEDOWN, 600},      {SB_PAGEDOWN, 741},
                 {SB_LINEDOWN, 741},  {SB_LINEUP, 740},        {SB_LINEDOWN, 741},
                 {SB_ENDSCROLL, 741}, {SB_THUMBPOSITION, 741}, {SB_PAGEUP, 441},
                 {SB_TOP, 0},         {SB_LINEUP, 0},          {SB_BOTTOM, 741}};
    for (const auto& step : steps)
        EXPECT_EQ(scrollBy(step.code), step.position) << step.code;
    // Picture row r is drawn at 40 - 741 + r.
    EXPECT_EQ(painted(100, 0), rowColour(0, 701));
    EXPECT_EQ(painted(100, 298), rowColour(0, 999));
    EXPECT_EQ(painted(100, 299), windowColour());
    resizeClient(500);
    EXPECT_EQ(scroll().nPage, 500u);
    EXPECT_EQ(scroll().nPos, 541);
    show(60, 500);
    EXPECT_EQ(scroll().nPos, 0);
    EXPECT_EQ(scroll().nMax, 540);
    EXPECT_EQ(painted(100, 40), rowColour(0, 0));
}

TEST_F(BitmapView, DraggingTheThumbToTheBottomShowsThePictureEnd) {
    show(50, 1000);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(view_, OBJID_VSCROLL, &bar));
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    POINT drop{x, bar.rcScrollBar.bottom - 2};
    ScreenToClient(view_, &drop);
    // The system's tracking loop takes these from the queue once the button is down.
    PostMessageA(view_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x, drop.y));
    PostMessageA(view_, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
    SendMessageA(view_, WM_NCLBUTTONDOWN, HTVSCROLL,
                 MAKELPARAM(x, bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2));
    EXPECT_EQ(scroll().nPos, 741);
}

// ---- The ayah picture drawn from its files at the view's scale ----

std::string ayahFile(const char* set, const char* name) {
    return windowsPath(std::string(NORAVEL_DIST_DIR) + "/" + set + "/" + name);
}

// The ink of a painted area: its bounding box, and how many pixels are solid ink (at
// least three quarters dark) and how many are half-tones (a quarter to three quarters).
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int solid = 0, halftone = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    double softness() const { return solid ? static_cast<double>(halftone) / solid : 1e9; }
};

// Darkness 0 (paper white) .. 255 (full ink) of a day pixel; of a night pixel its brightness.
int darkness(uint32_t pixel) {
    return 255 -
           static_cast<int>(((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3);
}

Ink inkOf(const std::vector<uint32_t>& pixels, int width) {
    Ink ink;
    const int height = static_cast<int>(pixels.size()) / width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int dark = darkness(pixels[static_cast<size_t>(y) * width + x]);
            if (dark >= 176)
                ++ink.solid;
            else if (dark >= 59)
                ++ink.halftone;
            if (dark < 128) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// ---- The ayat drawn from the font ----

std::wstring distFolder() {
    return wideFromUtf8(windowsPath(NORAVEL_DIST_DIR).c_str());
}

// The calligraphy of the program folder, opened once for these tests.
const Calligraphy* distCalligraphy() {
    static std::unique_ptr<Calligraphy> opened = Calligraphy::open(distFolder());
    return opened.get();
}

RunColours blackOnWhite() {
    RunColours colours;
    colours.ink = RGB(0, 0, 0);
    colours.paper = RGB(255, 255, 255);
    return colours;
}

// The pixels of the ayah drawn from its runs at scale, black on white.
std::vector<uint32_t> drawnAyah(int surah, int ayah, double scale, SIZE& size) {
    const AyahRuns runs = distCalligraphy()->ayah(surah, ayah);
    size = ayahRunsSize(runs, scale);
    GdiObject<HBITMAP> bitmap(makeAyahRunsBitmap(*distCalligraphy(), runs, scale, blackOnWhite()));
    if (!bitmap) return {};
    return pixelsOf(bitmap.get());
}

// Whether a coverage (0..255, black on white) is ink as the 1x pictures show it: they keep
// 16 grey levels from white to their ink, and ink is what is darker than mid-grey. Comparing
// after the same steps compares the shapes, not the rounding of the picture's levels.
bool inkOnPicture(int coverage) {
    const int level = (coverage * 15 + 127) / 255;
    const int grey =
        (255 * (15 - level) + (kDayInk.red + kDayInk.green + kDayInk.blue) / 3 * level) / 15;
    return grey < 128;
}

TEST(Calligraphy, EveryAyahDrawnAtOneTimesHasTheInkOfItsPicture) {
    ASSERT_NE(distCalligraphy(), nullptr);
    double worstShare = 0;
    std::string worst;
    int ayat = 0;
    for (int surah = 1; surah <= 114; ++surah) {
        const int count = distCalligraphy()->ayah(surah, 1).empty() ? 0 : 286;
        for (int ayah = 1; ayah <= count; ++ayah) {
            const AyahRuns runs = distCalligraphy()->ayah(surah, ayah);
            if (runs.empty()) break;
            ++ayat;
            const std::string name = std::to_string(surah) + "_" + std::to_string(ayah);
            const PictureData gif = decodePictureFile(
                ayahFile("gif", (std::to_string(surah) + "/" + name + ".gif").c_str()).c_str());
            ASSERT_TRUE(gif.ok()) << name;
            const int width = gif.header().width, height = -gif.header().height;
            ASSERT_EQ(runs.width, width) << name;
            ASSERT_EQ(runs.height, height) << name;
            SIZE size{};
            const std::vector<uint32_t> drawn = drawnAyah(surah, ayah, 1.0, size);
            ASSERT_EQ(drawn.size(), static_cast<size_t>(width) * height) << name;
            // Ink: darker than mid-grey.
            int ink = 0, differing = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const DibColour c = gif.colours()[gif.bits()[y * gif.rowStride + x]];
                    const bool pictureInk = (c.red + c.green + c.blue) / 3 < 128;
                    const bool drawnInk =
                        inkOnPicture(darkness(drawn[static_cast<size_t>(y) * width + x]));
                    ink += pictureInk;
                    differing += pictureInk != drawnInk;
                }
            ASSERT_GT(ink, 0) << name;
            const double share = static_cast<double>(differing) / ink;
            // Measured worst: 0.52% (51:3), from edge pixels near mid-grey.
            EXPECT_LE(share, 0.02) << name;
            if (share > worstShare) {
                worstShare = share;
                worst = name;
            }
        }
    }
    EXPECT_EQ(ayat, 6236);
    std::printf("worst ayah %s: %.2f%% of its ink pixels differ\n", worst.c_str(),
                100 * worstShare);
}

TEST(Calligraphy, AtThreeTimesTheInkIsThreeTimesAsLargeWithSoftNarrowEdges) {
    ASSERT_NE(distCalligraphy(), nullptr);
    SIZE one{}, three{};
    const std::vector<uint32_t> natural = drawnAyah(2, 255, 1.0, one);
    const std::vector<uint32_t> tripled = drawnAyah(2, 255, 3.0, three);
    ASSERT_FALSE(natural.empty());
    ASSERT_FALSE(tripled.empty());
    const Ink small = inkOf(natural, one.cx), large = inkOf(tripled, three.cx);
    EXPECT_NEAR(large.width() / static_cast<double>(small.width()), 3.0, 0.03);
    EXPECT_NEAR(large.height() / static_cast<double>(small.height()), 3.0, 0.03);
    // Drawn at the size, not enlarged: the edges keep half-tones (anti-aliased) but stay about
    // as narrow as at 1x, so there are far fewer for each solid pixel; a 1x drawing enlarged
    // three times keeps the 1x share, and a stair of 3-pixel steps has no half-tones at all.
    EXPECT_GT(large.halftone, small.halftone);
    EXPECT_LT(large.softness(), 0.6 * small.softness())
        << large.softness() << " against " << small.softness();
    // Neither is an enlargement: rows 3y, 3y+1 and 3y+2 of the large drawing differ somewhere.
    int blocky = 0, rows = 0;
    for (int y = large.top / 3 + 1; y < large.bottom / 3; ++y, ++rows) {
        const uint32_t* a = &tripled[static_cast<size_t>(3 * y) * three.cx];
        const uint32_t* b = &tripled[static_cast<size_t>(3 * y + 1) * three.cx];
        blocky += std::equal(a, a + three.cx, b);
    }
    EXPECT_LT(blocky, rows / 2);
}

TEST(Calligraphy, InTajwidColoursEveryGlyphTakesItsRulesColourAtAnySize) {
    ASSERT_NE(distCalligraphy(), nullptr);
    // Made-up colours, one per rule number, easy to tell apart.
    COLORREF rules[kGlyphRunsRuleLimit];
    for (int r = 0; r < kGlyphRunsRuleLimit; ++r)
        rules[r] = RGB(40 + 3 * r, 200 - 2 * r, (r * 37) % 256);
    RunColours colours = blackOnWhite();
    colours.ruleColours = rules;
    const int ayat[][2] = {{112, 1}, {111, 5}, {2, 10}};
    for (const auto& which : ayat)
        for (double scale : {1.3, 2.6}) {
            const AyahRuns runs = distCalligraphy()->ayah(which[0], which[1]);
            GdiObject<HBITMAP> bitmap(makeAyahRunsBitmap(*distCalligraphy(), runs, scale, colours));
            ASSERT_TRUE(bitmap);
            const std::vector<uint32_t> pixels = pixelsOf(bitmap.get());
            std::set<uint32_t> expected{0}; // the ink
            for (const RunLine& line : runs.lines)
                for (const RunGlyph& g : line.glyphs)
                    if (g.rule != 0)
                        expected.insert(GetRValue(rules[g.rule]) << 16 |
                                        GetGValue(rules[g.rule]) << 8 | GetBValue(rules[g.rule]));
            ASSERT_GT(expected.size(), 2u) << which[0] << ":" << which[1];
            // The solid pixels show exactly the rules' colours of the ayah and the ink.
            std::set<uint32_t> seen;
            for (uint32_t p : pixels)
                if (p != 0xFFFFFFu && (p == 0 || expected.count(p))) seen.insert(p);
            EXPECT_EQ(seen, expected) << which[0] << ":" << which[1] << " at " << scale;
            // And at each glyph of a rule, the heart of its ink shows its colour: one at least of
            // the pixels the glyph drawn alone covers most (where a glyph drawn later covers a
            // pixel as fully, that one's colour wins, as in the build).
            for (const RunLine& line : runs.lines)
                for (const RunGlyph& g : line.glyphs) {
                    if (g.rule == 0) continue;
                    AyahRuns alone = runs;
                    for (RunLine& l : alone.lines)
                        l.glyphs.clear();
                    alone.lines[0].glyphs.push_back(g);
                    GdiObject<HBITMAP> single(
                        makeAyahRunsBitmap(*distCalligraphy(), alone, scale, blackOnWhite()));
                    const std::vector<uint32_t> own = pixelsOf(single.get());
                    int darkest = 0;
                    for (uint32_t p : own)
                        darkest = std::max(darkest, darkness(p));
                    const COLORREF c = rules[g.rule];
                    const uint32_t colour = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
                    bool shown = false;
                    for (size_t i = 0; i < own.size() && !shown; ++i)
                        shown = darkness(own[i]) == darkest && pixels[i] == colour;
                    EXPECT_TRUE(shown)
                        << which[0] << ":" << which[1] << " glyph " << g.glyph << " at " << scale;
                }
        }
}

// The program folder's runs and font copied into a folder of their own, the one named
// changed by change (or left out when it gives nothing).
template <typename Change> std::wstring calligraphyCopy(const wchar_t* changed, Change change) {
    const std::string folder = tempPath("calligraphy");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const wchar_t* name : {kGlyphRunsFileName, kCalligraphyFontFileName}) {
        const std::string file = utf8FromWide(name);
        std::vector<uint8_t> bytes = readFile(windowsPath(NORAVEL_DIST_DIR) + "\\" + file);
        const std::string target = folder + "\\" + file;
        DeleteFileA(target.c_str());
        if (lstrcmpW(name, changed) == 0 && !change(bytes)) continue;
        std::ofstream(target, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    return wideFromUtf8(folder.c_str());
}

TEST(Calligraphy, AMissingOrDamagedRunsFileOrFontGivesNoCalligraphy) {
    auto same = [](std::vector<uint8_t>&) { return true; };
    auto missing = [](std::vector<uint8_t>&) { return false; };
    auto flipped = [](std::vector<uint8_t>& bytes) {
        bytes[bytes.size() / 2] ^= 0x40;
        return true;
    };
    auto cut = [](std::vector<uint8_t>& bytes) {
        bytes.resize(bytes.size() - 100);
        return true;
    };
    EXPECT_NE(Calligraphy::open(calligraphyCopy(L"", same)), nullptr);
    for (const wchar_t* name : {kGlyphRunsFileName, kCalligraphyFontFileName}) {
        EXPECT_EQ(Calligraphy::open(calligraphyCopy(name, missing)), nullptr);
        EXPECT_EQ(Calligraphy::open(calligraphyCopy(name, cut)), nullptr);
    }
    EXPECT_EQ(Calligraphy::open(calligraphyCopy(kCalligraphyFontFileName, flipped)), nullptr);
    // In the runs file a damaged table refuses the whole file; a damaged record leaves its
    // own ayah without runs (the view then shows that ayah's 1x picture) and no other.
    auto tableFlipped = [](std::vector<uint8_t>& bytes) {
        bytes[kGlyphRunsHeaderBytes + 2 * kGlyphRunsSurahs + 8 * 261 + 1] ^= 0x40;
        return true;
    };
    EXPECT_EQ(Calligraphy::open(calligraphyCopy(kGlyphRunsFileName, tableFlipped)), nullptr);
    auto recordFlipped = [](std::vector<uint8_t>& bytes) { // a byte of 2:255, the 262nd ayah
        const std::size_t entry = kGlyphRunsHeaderBytes + 2 * kGlyphRunsSurahs + 8 * 261;
        const std::size_t at = bytes[entry] | bytes[entry + 1] << 8 | bytes[entry + 2] << 16;
        bytes[kGlyphRunsHeaderBytes + at + 9] ^= 0x40;
        return true;
    };
    const auto damaged = Calligraphy::open(calligraphyCopy(kGlyphRunsFileName, recordFlipped));
    ASSERT_NE(damaged, nullptr);
    EXPECT_TRUE(damaged->ayah(2, 255).empty());
    EXPECT_FALSE(damaged->ayah(2, 254).empty());
    EXPECT_FALSE(damaged->ayah(2, 256).empty());
}

// A view large enough for 2:255 at twice its size, in a parent of its own.
class AyahPictureView : public ::testing::Test {
  protected:
    static constexpr int kWidth = 1400, kHeight = 1500;
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                                  nullptr, nullptr);
        view_ = createBitmapView(GetModuleHandleA(nullptr), parent_, nullptr);
        ASSERT_NE(view_, nullptr);
        resize(kWidth, kHeight);
    }
    void resize(int width, int height) {
        RECT window{}, client{};
        MoveWindow(view_, 0, 0, width + 40, height, TRUE);
        GetWindowRect(view_, &window);
        GetClientRect(view_, &client);
        MoveWindow(view_, 0, 0, width + window.right - window.left - client.right,
                   height + window.bottom - window.top - client.bottom, TRUE);
    }
    void TearDown() override {
        DestroyWindow(view_);
        DestroyWindow(parent_);
    }
    // What the view paints, as 0xRRGGBB rows of its client area (kWidth wide unless resized),
    // over a red ground.
    std::vector<uint32_t> capture() { return printedClient(view_); }
    Ink ink() { return inkOf(capture(), kWidth); }
    int scrollMax() const { return scroll(SB_VERT).nMax; }
    SCROLLINFO scroll(int bar) const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(view_, bar, &info);
        return info;
    }
    bool showRuns(const std::string& single, int surah, int ayah) {
        return showBitmapViewAyah(view_, single.c_str(), nullptr, distCalligraphy(), surah, ayah);
    }
    HWND parent_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(AyahPictureView, ZoomedTwoFiftyFiveIsDrawnAtTheZoomAndScrollsOverTheDrawnHeight) {
    const std::string single = ayahFile("gif", "2/2_255.gif");
    const AyahRuns runs = distCalligraphy()->ayah(2, 255);
    ASSERT_TRUE(showRuns(single, 2, 255));
    EXPECT_EQ(bitmapViewZoom(view_), 100);
    const Ink natural = ink();
    EXPECT_EQ(scrollMax(), runs.height + 40);
    ASSERT_GT(natural.width(), 300);

    for (int zoom : {75, 150, 200, 300, 400}) {
        setBitmapViewZoom(view_, zoom);
        EXPECT_EQ(bitmapViewZoom(view_), zoom);
        const double factor = zoom / 100.0;
        // The scroll range is the drawn picture's height below the margin.
        EXPECT_EQ(scrollMax(), ayahRunsSize(runs, factor).cy + 40) << zoom;
        if (zoom > 200) continue; // wider than the view: measured across elsewhere
        const Ink zoomed = ink();
        EXPECT_NEAR(zoomed.width() / static_cast<double>(natural.width()), factor, factor * 0.02)
            << zoom;
        EXPECT_NEAR(zoomed.height() / static_cast<double>(natural.height()), factor, factor * 0.02)
            << zoom;
    }
    setBitmapViewZoom(view_, 500); // out of range: back to 100%
    EXPECT_EQ(bitmapViewZoom(view_), 100);
    EXPECT_EQ(ink().width(), natural.width());
}

TEST_F(AyahPictureView, APictureWiderThanTheViewScrollsAcrossFromItsRightEnd) {
    const std::string single = ayahFile("gif", "2/2_255.gif");
    const AyahRuns runs = distCalligraphy()->ayah(2, 255);
    // The picture as the view draws it by day.
    RunColours day = blackOnWhite();
    day.ink = RGB(kDayInk.red, kDayInk.green, kDayInk.blue);
    GdiObject<HBITMAP> picture(makeAyahRunsBitmap(*distCalligraphy(), runs, 2.0, day));
    ASSERT_TRUE(picture);
    const std::vector<uint32_t> full = pixelsOf(picture.get());
    const SIZE doubled = ayahRunsSize(runs, 2.0);
    const int width = doubled.cx;
    resize(600, doubled.cy + 60); // tall enough for the doubled picture: no bar down the side
    ASSERT_TRUE(showRuns(single, 2, 255));
    EXPECT_EQ(scroll(SB_HORZ).nMax, 0) << "the 1x picture fits: nothing to scroll across";
    setBitmapViewZoom(view_, 200);
    RECT client{};
    GetClientRect(view_, &client);
    ASSERT_EQ(client.right, 600);
    SCROLLINFO across = scroll(SB_HORZ);
    EXPECT_EQ(across.nMax, width - 1);
    EXPECT_EQ(across.nPage, 600u);
    EXPECT_EQ(across.nPos, width - 600) << "lines begin at the right";

    // Column x of the view shows column x + position of the picture.
    auto matches = [&](int position) {
        const std::vector<uint32_t> painted = capture();
        int wrong = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 600; ++x)
                wrong += painted[static_cast<size_t>(y + 40) * 600 + x] !=
                         full[static_cast<size_t>(y) * width + x + position];
        return wrong;
    };
    EXPECT_EQ(matches(width - 600), 0);
    SendMessageA(view_, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    EXPECT_EQ(scroll(SB_HORZ).nPos, 0);
    EXPECT_EQ(matches(0), 0);
    SendMessageA(view_, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(scroll(SB_HORZ).nPos, 1);
    EXPECT_EQ(matches(1), 0);
    SendMessageA(view_, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    EXPECT_EQ(scroll(SB_HORZ).nPos, std::min(601, width - 600)) << "not past the end less the page";
    SendMessageA(view_, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    EXPECT_EQ(scroll(SB_HORZ).nPos, width - 600);
    setBitmapViewZoom(view_, 100);
    EXPECT_EQ(scroll(SB_HORZ).nMax, 0);
    EXPECT_EQ(runs.width, ayahRunsSize(runs, 1.0).cx);
}

TEST_F(AyahPictureView, WithoutCalligraphyTheOnePictureShowsAtItsNaturalSizeAtEveryZoom) {
    const std::string single = ayahFile("gif", "2/2_255.gif");
    const PictureData singleData = decodePictureFile(single.c_str());
    ASSERT_TRUE(singleData.ok());
    ASSERT_TRUE(showBitmapViewAyah(view_, single.c_str(), nullptr, nullptr, 2, 255));
    const Ink natural = ink();
    EXPECT_EQ(scrollMax(), -singleData.header().height + 40);
    for (int zoom : {150, 300}) {
        setBitmapViewZoom(view_, zoom);
        EXPECT_EQ(ink().width(), natural.width()) << zoom;
        EXPECT_EQ(scrollMax(), -singleData.header().height + 40) << zoom;
    }
    // A calligraphy without the ayah (no such number) falls back the same way.
    ASSERT_TRUE(showBitmapViewAyah(view_, single.c_str(), nullptr, distCalligraphy(), 2, 999));
    EXPECT_EQ(ink().width(), natural.width());
    // Neither readable: nothing drawn from files, the lent bitmap (none here) is shown.
    EXPECT_FALSE(showBitmapViewAyah(view_, writeFile("damaged1x.gif", {'x'}).c_str(), nullptr,
                                    nullptr, 2, 255));
    EXPECT_EQ(ink().right, -1);
}

TEST_F(AyahPictureView, WhileShownTheNextAyahsGlyphsAreDrawnAheadAtTheViewsScale) {
    ASSERT_EQ(bitmapViewZoom(view_), 100); // at 96 DPI: scale 1
    const AyahCalligraphy& core = distCalligraphy()->core();
    const AyahRuns next = distCalligraphy()->ayah(3, 1); // after the last ayah of surah 2
    int width = 0, height = 0;
    ayahPictureSize(next, 1.0, width, height);
    const std::string last = ayahFile("gif", "2/2_286.gif");
    // Waits for the glyph drawings to pass a count, handling the view's messages.
    auto drawingsPass = [&core](std::size_t count, DWORD ms) {
        for (const DWORD until = GetTickCount() + ms;; Sleep(10)) {
            pumpMessages();
            if (core.glyphDrawingsMade() > count) return true;
            if (static_cast<LONG>(until - GetTickCount()) <= 0) return false;
        }
    };

    // Hidden (another view may be drawing at its own scale), the view draws nothing ahead.
    core.forgetGlyphs();
    ASSERT_TRUE(showRuns(last, 2, 286));
    EXPECT_FALSE(drawingsPass(core.glyphDrawingsMade(), 700));
    std::size_t made = core.glyphDrawingsMade();
    core.draw(next, 1.0, GlyphInks{}, width, height);
    EXPECT_GT(core.glyphDrawingsMade(), made);

    ShowWindow(parent_, SW_SHOWNOACTIVATE);
    core.forgetGlyphs();
    ASSERT_TRUE(showRuns(last, 2, 286));
    ASSERT_TRUE(drawingsPass(core.glyphDrawingsMade(), 10000));
    made = core.glyphDrawingsMade();
    core.draw(next, 1.0, GlyphInks{}, width, height);
    EXPECT_EQ(core.glyphDrawingsMade(), made);
}

TEST_F(AyahPictureView, NightTurnsTheGroundDarkAndTheInkLightWithoutReadingTheFilesAgain) {
    // A copy, removed once shown: the night colours must come from what the view holds.
    const std::string single = writeFile("night1x.gif", readFile(ayahFile("gif", "2/2_255.gif")));
    for (int zoom : {100, 300}) {
        setBitmapViewZoom(view_, zoom);
        ASSERT_TRUE(showRuns(single, 2, 255)) << zoom;
        const std::vector<uint32_t> day = capture();
        const Ink box = inkOf(day, kWidth);
        // The darkest pixel of the picture, and a point of the ground beside it.
        size_t inkAt = 0;
        for (size_t i = 0; i < day.size(); ++i)
            if (darkness(day[i]) > darkness(day[inkAt])) inkAt = i;
        const size_t groundAt = static_cast<size_t>(10) * kWidth + 10;
        // Inside the picture, in its margin above the ink.
        const size_t paperAt = static_cast<size_t>(box.top - 3) * kWidth + box.left;
        EXPECT_EQ(darkness(day[paperAt]), 0);
        EXPECT_EQ(day[groundAt], windowColour());
        EXPECT_GE(darkness(day[inkAt]), 220) << "the day ink is dark";

        DeleteFileA(single.c_str());
        setBitmapViewNight(view_, true);
        const std::vector<uint32_t> night = capture();
        const uint32_t ground =
            kNightGround.red << 16 | kNightGround.green << 8 | kNightGround.blue;
        EXPECT_EQ(night[groundAt], ground) << zoom;
        EXPECT_GE(darkness(night[paperAt]), 200) << "paper of the picture is dark too";
        EXPECT_LE(darkness(night[inkAt]), 40) << "the ink is light";

        setBitmapViewNight(view_, false);
        EXPECT_TRUE(capture() == day) << "the day colours are back at " << zoom;
        writeFile("night1x.gif", readFile(ayahFile("gif", "2/2_255.gif")));
    }
    // Erasing paints nothing: WM_PAINT covers every pixel, so no old colour shows between.
    HDC screen = GetDC(nullptr);
    MemoryDc memory(screen);
    HBITMAP target = makeBitmap(8, 8, [](int, int) { return 0x123456u; });
    {
        SelectedObject selected(memory.get(), target);
        EXPECT_NE(SendMessageA(view_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0), 0);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(pixelsOf(target)[0], 0x123456u);
    DeleteObject(target);
    DeleteFileA(single.c_str());
}

struct DibCheck {
    HBITMAP bitmap;
    WORD bitsAsked, bitsGot, colours;
    SIZE_T imageSize;
};

TEST(ClipboardDib, SizesAndColourTablesFollowTheDepth) {
    BITMAPINFO info = topDown32(7, 3);
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP trueColour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(trueColour, nullptr);
    std::memset(bits, 0x11, 24 * 3);
    static_cast<uint8_t*>(bits)[3 * 6 + 2] = 0xEE; // red of the top row's last pixel
    const DibCheck checks[] = {
        {CreateBitmap(300, 100, 1, 1, nullptr), 0, 1, 2, 4000}, // 4,048 bytes in all
        {trueColour, 0, 24, 0, 24 * 3},
        {makeBitmap(1, 5, rowColour), 8, 8, 256, 4 * 5},
    };
    for (const DibCheck& c : checks) {
        HGLOBAL dib = bitmapToDib(c.bitmap, BI_RGB, c.bitsAsked, nullptr);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(GlobalSize(dib), 40 + 4 * c.colours + c.imageSize);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
        EXPECT_EQ(header->biBitCount, c.bitsGot);
        EXPECT_EQ(header->biHeight, sizeOf(c.bitmap).cy);
        EXPECT_EQ(header->biSizeImage, c.imageSize);
        EXPECT_EQ(dibColourCount(header), c.colours);
        EXPECT_EQ(dibPaletteSize(header), 4 * c.colours);
        if (c.bitmap == trueColour) { // bottom-up: the top row comes last
            const uint8_t* last = reinterpret_cast<const uint8_t*>(header + 1) + 24 * 2 + 3 * 6;
            EXPECT_EQ(last[2] << 16 | last[1] << 8 | last[0], 0xEE1111);
        }
        GlobalUnlock(dib);
        GlobalFree(dib);
        DeleteObject(c.bitmap);
    }
    HBITMAP masked = makeBitmap(3, 2, rowColour);
    HGLOBAL dib = bitmapToDib(masked, BI_BITFIELDS, 32, nullptr);
    if (dib) {
        EXPECT_EQ(GlobalSize(dib), 40u + 12 + 3 * 2 * 4); // room for the three masks
    }
    GlobalFree(dib);
    DeleteObject(masked);
    EXPECT_EQ(bitmapToDib(nullptr, BI_RGB, 0, nullptr), nullptr);
}

TEST(ClipboardDib, ColourCountComesFromColoursUsedOrDepthAndCoreHeadersHaveTriples) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biBitCount = 4;
    EXPECT_EQ(dibColourCount(&info), 16);
    info.biBitCount = 16;
    EXPECT_EQ(dibColourCount(&info), 0);
    info.biClrUsed = 12;
    EXPECT_EQ(dibPaletteSize(&info), 48);
    BITMAPCOREHEADER core{};
    core.bcSize = sizeof core;
    core.bcBitCount = 8;
    EXPECT_EQ(dibColourCount(&core), 256);
    EXPECT_EQ(dibPaletteSize(&core), 768);
}

// The DIB on the clipboard: header fields and pixels (0xRRGGBB, y from the top).
struct ClipboardPicture {
    ClipboardPicture() {
        if (!OpenClipboard(nullptr)) return;
        if (HGLOBAL block = GetClipboardData(CF_DIB)) {
            const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
            if (data) bytes.assign(data, data + GlobalSize(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        if (bytes.size() >= 40) std::memcpy(&header, bytes.data(), 40);
    }
    uint32_t pixel(int x, int y) const {
        const size_t stride =
            (static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
        const size_t at = 40 + dibPaletteSize(&header) + stride * (header.biHeight - 1 - y) +
                          x * header.biBitCount / 8;
        return at + 3 <= bytes.size() ? bytes[at + 2] << 16 | bytes[at + 1] << 8 | bytes[at] : ~0u;
    }
    std::vector<uint8_t> bytes;
    BITMAPINFOHEADER header{};
};

TEST(PictureCopy, CopyIsAColourDibOfClientWidthAndSplitterLessTwentySixWithPictureCentred) {
    HWND main = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr,
                                nullptr, nullptr, nullptr);
    HBITMAP picture = makeBitmap(60, 20, [](int x, int y) {
        return x == 10 && y == 5 ? 0xFFFFFFu : (x < 30 ? 0xFF0000u : 0x00A000u);
    });
    copyPictureToClipboard(main, picture, 226);
    ClipboardPicture copy;
    EXPECT_EQ(copy.header.biWidth, 400);
    EXPECT_EQ(copy.header.biHeight, 200);
    EXPECT_GE(copy.header.biBitCount, 24);
    const int left = 200 - 30;
    EXPECT_EQ(copy.pixel(left, 40), 0xFF0000u);
    EXPECT_EQ(copy.pixel(left + 59, 59), 0x00A000u);
    EXPECT_EQ(copy.pixel(left + 10, 45), windowColour()); // white ANDed onto window colour
    EXPECT_EQ(copy.pixel(left - 1, 40), windowColour());
    EXPECT_EQ(copy.pixel(left, 39), windowColour());
    EXPECT_EQ(copy.pixel(left + 60, 59), windowColour());

    copyPictureToClipboard(main, nullptr, 226);
    ClipboardPicture blank;
    ASSERT_EQ(blank.header.biHeight, 200);
    int other = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            other += blank.pixel(x, y) != windowColour();
    EXPECT_EQ(other, 0);
    DeleteObject(picture);
    DestroyWindow(main);
}

} // namespace
