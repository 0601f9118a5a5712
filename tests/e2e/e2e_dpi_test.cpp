// The reader on screens of 96, 144 and 192 DPI, each in a test-bed prefix of its own:
// its controls sit where the layout scaled by dpi / 96 puts them, every label takes the same
// share of its control as at 96 DPI, and the ayah picture is drawn at the screen's scale.
// The run at 96 writes what it measured to a baseline file, which the other runs read:
//   e2e_dpi_test.exe --dpi=144 --baseline=Z:\...\dpi-96.txt --shot=Z:\...\reader-150.bmp
#include "app/main_layout.h"
#include "base/dpi_win.h"
#include "reader_session_win.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

int testDpi = 96;
std::string baselinePath;
std::string shotPath;

// What the run at 96 DPI measured: the labels' shares of their controls and the size of
// the ink of 2:255.
struct Baseline {
    std::map<std::string, double> shares;
    int inkWidth = 0;
    int inkHeight = 0;
};

bool readBaseline(Baseline& baseline) {
    FILE* in = std::fopen(baselinePath.c_str(), "r");
    if (!in) return false;
    char kind[16], name[64];
    double value = 0;
    while (std::fscanf(in, "%15s %63s %lf", kind, name, &value) == 3) {
        if (std::strcmp(kind, "share") == 0) baseline.shares[name] = value;
        if (std::strcmp(kind, "ink") == 0 && std::strcmp(name, "width") == 0)
            baseline.inkWidth = static_cast<int>(value);
        if (std::strcmp(kind, "ink") == 0 && std::strcmp(name, "height") == 0)
            baseline.inkHeight = static_cast<int>(value);
    }
    std::fclose(in);
    return true;
}

void appendToBaseline(const char* kind, const std::string& name, double value) {
    if (FILE* out = std::fopen(baselinePath.c_str(), "a")) {
        std::fprintf(out, "%s %s %.6f\n", kind, name.c_str(), value);
        std::fclose(out);
    }
}

// The rectangle of a child in its parent's client coordinates.
RECT placeOf(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width of text in the control's own font (the system font when it has none), made in
// this process from the same description.
int textWidthInFontOf(HWND control, const std::string& text) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA description{};
    if (!font || !GetObjectA(font, sizeof description, &description))
        GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description);
    HFONT made = CreateFontIndirectA(&description);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, made);
    SIZE size{};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(made);
    return size.cx;
}

class ReaderAtDpi : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        reader = new ReaderSession(windowsPathOf(NORAVEL_READER_EXE));
        started = reader->start();
        if (!started) return;
        // The window of 800 x 600 at 96 DPI, scaled.
        SetWindowPos(reader->window(), nullptr, 0, 0, scaledLength(800, testDpi),
                     scaledLength(600, testDpi), SWP_NOZORDER);
        reader->waitIdle();
    }
    static void TearDownTestSuite() {
        if (reader && started) {
            PostMessageA(reader->window(), WM_CLOSE, 0, 0);
            reader->waitForExit();
        }
        delete reader;
        reader = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(started) << "the reader did not start"; }

    static ReaderSession* reader;
    static bool started;
};

ReaderSession* ReaderAtDpi::reader = nullptr;
bool ReaderAtDpi::started = false;

TEST_F(ReaderAtDpi, TheScreenAndTheReadersWindowHaveThePrefixsDpi) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), testDpi);
    ReleaseDC(nullptr, screen);
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpi) {
        EXPECT_EQ(static_cast<int>(getDpi(reader->window())), testDpi);
    }
}

TEST_F(ReaderAtDpi, ControlsSitWhereTheLayoutScaledByTheDpiPutsThem) {
    HWND main = reader->window();
    RECT client{};
    GetClientRect(main, &client);
    RECT status{};
    GetClientRect(reader->child(IDC_STATUS_BAR), &status);
    const MainLayout layout =
        computeMainLayout(client.right, client.bottom, status.bottom, 140, testDpi);
    const FixedRow row = fixedRowFor(testDpi);

    struct Expected {
        const char* name;
        HWND control;
        Placement where;
        bool hasHeight; // a drop-down list is as high as its selection field, not its list
    };
    const Expected expected[] = {
        {"surah list", reader->child(IDC_SURAH_LIST), row.surahList, false},
        {"ayah list", reader->child(IDC_AYAH_LIST), row.ayahList, false},
        {"up-down", reader->child(IDC_AYAH_STEPPER), row.upDown, true},
        {"Cari(ind/eng)", reader->child(IDC_TRANSLATION_SEARCH), row.translationSearch, true},
        {"Cari(Arab)", reader->child(IDC_ARABIC_SEARCH), row.arabicSearch, true},
        {"Tajwid", reader->child(IDC_TAJWID), row.tajwid, true},
        {"Listen", reader->child(IDC_LISTEN), row.listen, true},
        {"Continue", reader->child(IDC_CONTINUE), row.continueBox, true},
        {"scope list", reader->child(IDC_RECITATION_SCOPE), row.recitationScope, false},
        {"language list", reader->child(IDC_LANGUAGE_LIST), layout.languageList, false},
        {"result list", reader->child(IDC_RESULT_LIST), layout.resultList, true},
        {"translation", reader->child(IDC_TRANSLATION), layout.translation, true},
        {"picture", findChildWindow(main, "WND_DRAW_BITMAP"), layout.bitmapView, true},
    };
    for (const Expected& e : expected) {
        ASSERT_NE(e.control, nullptr) << e.name;
        const RECT at = placeOf(e.control, main);
        int wantedWidth = e.where.width;
        if (e.control == reader->child(IDC_AYAH_STEPPER) && wantedWidth < 16)
            wantedWidth = 16; // Wine keeps an up-down control at least 16 pixels wide
        std::printf("dpi %d: %-14s at (%d, %d, %d, %d), layout (%d, %d, %d, %d)\n", testDpi, e.name,
                    static_cast<int>(at.left), static_cast<int>(at.top),
                    static_cast<int>(at.right - at.left), static_cast<int>(at.bottom - at.top),
                    e.where.x, e.where.y, e.where.width, e.where.height);
        EXPECT_NEAR(at.left, e.where.x, 1) << e.name;
        EXPECT_NEAR(at.top, e.where.y, 1) << e.name;
        EXPECT_NEAR(at.right - at.left, wantedWidth, 1) << e.name;
        if (e.hasHeight) {
            EXPECT_NEAR(at.bottom - at.top, e.where.height, 1) << e.name;
        }
    }
}

TEST_F(ReaderAtDpi, EveryLabelTakesTheShareOfItsControlItTookAt96Dpi) {
    struct Label {
        std::string name;
        HWND control;
        std::string text;
    };
    std::vector<Label> labels;
    for (int id :
         {IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH, IDC_TAJWID, IDC_LISTEN, IDC_CONTINUE}) {
        HWND control = reader->child(id);
        const std::string text = reader->text(control);
        labels.push_back({"button-" + text, control, text});
    }
    for (int index = 0; index < 3; ++index) {
        HWND scope = reader->child(IDC_RECITATION_SCOPE);
        labels.push_back(
            {"scope-" + comboItemText(scope, index), scope, comboItemText(scope, index)});
    }
    for (int index = 0; index < 2; ++index) {
        HWND language = reader->child(IDC_LANGUAGE_LIST);
        labels.push_back({"language-" + comboItemText(language, index), language,
                          comboItemText(language, index)});
    }
    HWND surahs = reader->child(IDC_SURAH_LIST);
    labels.push_back({"surah-first", surahs, comboItemText(surahs, 0)});

    Baseline baseline;
    if (testDpi != 96) {
        ASSERT_TRUE(readBaseline(baseline)) << "no baseline at " << baselinePath;
    }
    for (const Label& label : labels) {
        RECT rect{};
        GetWindowRect(label.control, &rect);
        const int width = rect.right - rect.left;
        ASSERT_GT(width, 0) << label.name;
        const double share =
            static_cast<double>(textWidthInFontOf(label.control, label.text)) / width;
        std::string key = label.name;
        for (char& c : key)
            if (c == ' ') c = '_';
        if (testDpi == 96) {
            appendToBaseline("share", key, share);
            std::printf("dpi 96: %-24s share %.3f\n", key.c_str(), share);
            continue;
        }
        ASSERT_TRUE(baseline.shares.count(key)) << key;
        const double at96 = baseline.shares[key];
        std::printf("dpi %d: %-24s share %.3f (96: %.3f, ratio %.3f)\n", testDpi, key.c_str(),
                    share, at96, share / at96);
        EXPECT_NEAR(share / at96, 1.0, 0.05) << key << " share " << share << ", at 96 " << at96;
    }
}

// The picture's scale belongs to the picture view: until that view draws for the window's
// DPI, this check fails at 144 and 192 (the ink keeps its 96-DPI size).
TEST_F(ReaderAtDpi, ThePictureOf2_255HasInkAtTheScaleOfTheDpi) {
    ASSERT_TRUE(reader->goTo(2, 255));
    reader->waitIdle();
    Sleep(500);
    HWND view = findChildWindow(reader->window(), "WND_DRAW_BITMAP");
    ASSERT_NE(view, nullptr);
    RECT area{};
    GetWindowRect(view, &area);
    ScreenPixels pixels;
    ASSERT_TRUE(captureScreenArea(area, pixels));
    int left = pixels.width, right = -1, top = pixels.height, bottom = -1;
    for (int row = 0; row < pixels.height; ++row)
        for (int x = 0; x < pixels.width; ++x) {
            const BYTE* p = &pixels.bgr[static_cast<size_t>(row) * pixels.stride + x * 3];
            if (p[0] + p[1] + p[2] >= 3 * 96) continue;
            const int y = pixels.height - 1 - row; // rows come bottom first
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            if (y > bottom) bottom = y;
        }
    ASSERT_GE(right, left) << "no ink in the picture view";
    const int width = right - left + 1, height = bottom - top + 1;
    if (testDpi == 96) {
        appendToBaseline("ink", "width", width);
        appendToBaseline("ink", "height", height);
        std::printf("dpi 96: ink of 2:255 %d x %d\n", width, height);
        return;
    }
    Baseline baseline;
    ASSERT_TRUE(readBaseline(baseline));
    ASSERT_GT(baseline.inkWidth, 0);
    const double scale = testDpi / 96.0;
    const double widthRatio = static_cast<double>(width) / baseline.inkWidth;
    const double heightRatio = static_cast<double>(height) / baseline.inkHeight;
    std::printf("dpi %d: ink of 2:255 %d x %d (96: %d x %d), ratios %.3f x %.3f, wanted %.2f\n",
                testDpi, width, height, baseline.inkWidth, baseline.inkHeight, widthRatio,
                heightRatio, scale);
    EXPECT_NEAR(widthRatio, scale, 0.1 * scale);
    EXPECT_NEAR(heightRatio, scale, 0.1 * scale);
}

TEST_F(ReaderAtDpi, AScreenshotOfTheWindowIsSaved) {
    if (shotPath.empty()) GTEST_SKIP() << "no --shot given";
    reader->waitIdle();
    Sleep(300);
    EXPECT_TRUE(reader->saveWindowPicture(shotPath));
}

} // namespace

int main(int argc, char** argv) {
    // Window rectangles of the reader in real pixels, as its own layout sees them.
    becomeDpiAware();
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0) testDpi = std::atoi(argv[i] + 6);
        if (std::strncmp(argv[i], "--baseline=", 11) == 0) baselinePath = argv[i] + 11;
        if (std::strncmp(argv[i], "--shot=", 7) == 0) shotPath = argv[i] + 7;
    }
    if (testDpi <= 0 || baselinePath.empty()) {
        std::fprintf(stderr, "usage: e2e_dpi_test --dpi=N --baseline=FILE [--shot=FILE.bmp]\n");
        return 2;
    }
    // The run at 96 writes the baseline afresh.
    if (testDpi == 96) std::remove(baselinePath.c_str());
    return RUN_ALL_TESTS();
}
