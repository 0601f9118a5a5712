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

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

int testDpi = 96;
std::string baselinePath;
std::string shotPath;

// What the run at 96 DPI measured: the labels' shares of their controls and the size of
// the ink of 2:255.
struct Baseline {
    std::map<std::string, double> shares;
    std::map<std::string, double> sizes;
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
        if (std::strcmp(kind, "size") == 0) baseline.sizes[name] = value;
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

// The width of text in the control's own font, made in this process from the same
// description; the system font's for a control that answers WM_GETFONT with none. -1 when
// the control does not answer (Wine does not carry WM_GETFONT across processes).
int textWidthInFontOf(HWND control, const std::string& text) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(control, WM_GETFONT, 0, 0, SMTO_NORMAL, 5000, &answer)) return -1;
    HFONT font = reinterpret_cast<HFONT>(answer);
    LOGFONTA description{};
    if (!font) {
        GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description);
    } else if (!GetObjectA(font, sizeof description, &description)) {
        return -1;
    }
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

// How wide the text that a control shows is on screen: the columns between `from` and `to`
// (control x) holding a pixel far from the area's commonest colour (its background), from
// the first to the last. A check box's square, the first run of such columns, is skipped.
// -1 when nothing is found.
int textInkWidth(HWND control, int from, int to, bool skipFirstRun) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const int inset = scaledLength(3, testDpi);
    RECT area{rect.left + from, rect.top + inset, rect.left + to, rect.bottom - inset};
    ScreenPixels pixels;
    if (!captureScreenArea(area, pixels)) return -1;
    std::map<unsigned, int> counts;
    auto colour = [&](int x, int row) {
        const BYTE* p = &pixels.bgr[static_cast<size_t>(row) * pixels.stride + x * 3];
        return static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8 |
               static_cast<unsigned>(p[2]) << 16;
    };
    for (int row = 0; row < pixels.height; ++row)
        for (int x = 0; x < pixels.width; ++x)
            ++counts[colour(x, row)];
    unsigned background = 0;
    int most = 0;
    for (const auto& entry : counts)
        if (entry.second > most) most = entry.second, background = entry.first;
    auto farFromBackground = [&](unsigned c) {
        int sum = 0;
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((c >> shift) & 0xFF) -
                            static_cast<int>((background >> shift) & 0xFF));
        return sum > 160;
    };
    std::vector<bool> inked(pixels.width, false);
    for (int x = 0; x < pixels.width; ++x)
        for (int row = 0; row < pixels.height && !inked[x]; ++row)
            inked[x] = farFromBackground(colour(x, row));
    int x = 0;
    if (skipFirstRun) {
        while (x < pixels.width && !inked[x])
            ++x;
        while (x < pixels.width && inked[x])
            ++x;
    }
    int first = -1, last = -1;
    for (; x < pixels.width; ++x)
        if (inked[x]) {
            if (first < 0) first = x;
            last = x;
        }
    return first < 0 ? -1 : last - first + 1;
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
        Sleep(300); // the children repaint after the parent is idle
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
        const int wantedWidth = e.where.width;
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

// Each text is measured twice where it can be: in the control's font (what the control
// asks of its width) and by its ink on screen (what a reader sees of it; only the items
// the lists show). Wine answers WM_GETFONT of another process with nothing, so there only
// the ink is compared.
TEST_F(ReaderAtDpi, NoLabelTakesMoreOfItsControlThanAt96Dpi) {
    struct Label {
        std::string name;
        HWND control;
        std::string text;
        bool shown;    // on screen now: a button's text, a list's selected item
        bool checkBox; // the text stands right of the check box's square
        bool list;     // the drop-down arrow takes the right end of the control
    };
    std::vector<Label> labels;
    for (int id :
         {IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH, IDC_TAJWID, IDC_LISTEN, IDC_CONTINUE}) {
        HWND control = reader->child(id);
        const std::string text = reader->text(control);
        labels.push_back({"button-" + text, control, text, true, id == IDC_CONTINUE, false});
    }
    for (int id : {IDC_RECITATION_SCOPE, IDC_LANGUAGE_LIST, IDC_SURAH_LIST}) {
        HWND list = reader->child(id);
        const int selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
        const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int index = 0; index < count && index < 3; ++index)
            labels.push_back({"list" + std::to_string(id) + "-" + comboItemText(list, index), list,
                              comboItemText(list, index), index == selected, false, true});
    }

    Baseline baseline;
    if (testDpi != 96) {
        ASSERT_TRUE(readBaseline(baseline)) << "no baseline at " << baselinePath;
    }
    int compared = 0;
    for (const Label& label : labels) {
        RECT rect{};
        GetWindowRect(label.control, &rect);
        const int width = rect.right - rect.left;
        ASSERT_GT(width, 0) << label.name;
        std::string key = label.name;
        for (char& c : key)
            if (c == ' ') c = '_';
        std::map<std::string, double> shares;
        const int fontWidth = textWidthInFontOf(label.control, label.text);
        if (fontWidth >= 0) shares["font-" + key] = static_cast<double>(fontWidth) / width;
        if (label.shown) {
            const int arrow = label.list ? GetSystemMetrics(SM_CXVSCROLL) : 0;
            const int inset = scaledLength(3, testDpi);
            // The screen may not show a control painted yet: a few tries.
            int ink = -1;
            for (int attempt = 0; attempt < 10 && ink <= 0; ++attempt) {
                if (attempt > 0) Sleep(200);
                ink = textInkWidth(label.control, inset, width - inset - arrow, label.checkBox);
            }
            EXPECT_GT(ink, 0) << key << ": no text seen";
            if (ink > 0) shares["ink-" + key] = static_cast<double>(ink) / width;
        }
        for (const auto& measured : shares) {
            if (testDpi == 96) {
                appendToBaseline("share", measured.first, measured.second);
                std::printf("dpi 96: %-30s share %.3f\n", measured.first.c_str(), measured.second);
                continue;
            }
            ASSERT_TRUE(baseline.shares.count(measured.first)) << measured.first;
            const double at96 = baseline.shares[measured.first];
            std::printf("dpi %d: %-30s share %.3f (96: %.3f, ratio %.3f)\n", testDpi,
                        measured.first.c_str(), measured.second, at96, measured.second / at96);
            // The message font is hinted for each size, so a text may take a little less
            // of its control than at 96 DPI; never more (it would be cut where it fitted),
            // and never so much less that its font was left unscaled.
            EXPECT_LE(measured.second / at96, 1.05)
                << measured.first << " share " << measured.second << ", at 96 " << at96;
            EXPECT_GE(measured.second / at96, 0.85)
                << measured.first << " share " << measured.second << ", at 96 " << at96;
            ++compared;
        }
    }
    if (testDpi != 96) {
        EXPECT_GE(compared, 8) << "too few texts measured";
    }
}

// The Arabic search dialog scales with its font (dialog units); its input field is placed
// in pixels by the program and must scale by dpi / 96 itself, and the owner-drawn keys'
// faces, drawn in the program's key font, must take the same share of a key as at 96.
TEST_F(ReaderAtDpi, TheArabicKeyboardsFieldKeysAndKeyFacesScaleWithTheDpi) {
    PostMessageA(reader->window(), WM_COMMAND, IDC_ARABIC_SEARCH, 0);
    HWND dialog = reader->waitForWindow("#32770", "Find (Arab)");
    ASSERT_NE(dialog, nullptr);
    reader->waitIdle();
    Sleep(300);
    HWND field = findChildWindow(dialog, "EDITARAB");
    ASSERT_NE(field, nullptr);
    RECT fieldRect{};
    GetWindowRect(field, &fieldRect);
    EXPECT_NEAR(fieldRect.right - fieldRect.left, scaledLength(450, testDpi), 1);
    EXPECT_NEAR(fieldRect.bottom - fieldRect.top, scaledLength(30, testDpi), 1);

    Baseline baseline;
    if (testDpi != 96) {
        ASSERT_TRUE(readBaseline(baseline));
    }
    // Faces wide enough to measure (an alif is a stroke of two pixels).
    for (int id : {IDC_KEY_SYIN, IDC_KEY_SHAD, IDC_KEY_DHAD, IDC_KEY_LAMALIF, IDC_KEY_KHA}) {
        HWND key = GetDlgItem(dialog, id);
        ASSERT_NE(key, nullptr) << id;
        RECT rect{};
        GetWindowRect(key, &rect);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        const int inset = scaledLength(3, testDpi);
        const int ink = textInkWidth(key, inset, width - inset, false);
        ASSERT_GT(ink, 0) << "key " << id << " shows no face";
        const std::string name = "key" + std::to_string(id);
        const double share = static_cast<double>(ink) / width;
        if (testDpi == 96) {
            appendToBaseline("share", "ink-" + name, share);
            appendToBaseline("size", name + "-width", width);
            appendToBaseline("size", name + "-height", height);
            std::printf("dpi 96: %s %d x %d, face share %.3f\n", name.c_str(), width, height,
                        share);
            continue;
        }
        const double at96 = baseline.shares["ink-" + name];
        const double width96 = baseline.sizes[name + "-width"];
        const double height96 = baseline.sizes[name + "-height"];
        ASSERT_GT(at96, 0) << name;
        ASSERT_GT(width96, 0) << name;
        std::printf(
            "dpi %d: %s %d x %d (96: %.0f x %.0f), face share %.3f (96: %.3f, ratio %.3f)\n",
            testDpi, name.c_str(), width, height, width96, height96, share, at96, share / at96);
        // Dialog units follow the dialog font's own metrics, which need not grow exactly
        // with the DPI: the key's size within 10%; the face as wide as its share at 96
        // makes it, within 5% or the rounding of the two measurements.
        const double scale = testDpi / 96.0;
        EXPECT_NEAR(width / width96, scale, 0.1 * scale) << name;
        EXPECT_NEAR(height / height96, scale, 0.1 * scale) << name;
        // Both measurements are whole pixels: the half pixel of the one at 96 grows with
        // the key, the half pixel of this one does not.
        const double expectedInk = at96 * width;
        const double rounding = 0.5 * width / width96 + 0.5;
        EXPECT_NEAR(ink, expectedInk, std::max(0.05 * expectedInk, rounding)) << name;
    }
    if (!shotPath.empty()) {
        RECT dialogRect{};
        GetWindowRect(dialog, &dialogRect);
        std::string path = shotPath;
        const size_t slash = path.find_last_of("\\/");
        path.insert(slash == std::string::npos ? 0 : slash + 1, "arabic-");
        saveScreenArea(dialogRect, path);
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    reader->waitIdle();
}

// The picture's scale belongs to the picture view: until that view draws for the window's
// DPI, this check fails at 144 and 192 (the ink keeps its 96-DPI size).
TEST_F(ReaderAtDpi, ThePictureOf2_255HasInkAtTheScaleOfTheDpi) {
    // A window tall enough (1000 x 960 at 96 DPI, scaled) for the whole picture to show.
    SetWindowPos(reader->window(), nullptr, 0, 0, scaledLength(1000, testDpi),
                 scaledLength(960, testDpi), SWP_NOZORDER);
    ASSERT_TRUE(reader->goTo(2, 255));
    reader->waitIdle();
    Sleep(500);
    HWND view = findChildWindow(reader->window(), "WND_DRAW_BITMAP");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetWindowLongA(view, GWL_STYLE) & WS_VSCROLL, 0)
        << "the picture does not fit its view: its ink is cut";
    // The view's client area: its scroll bar is no ink.
    RECT area{};
    GetClientRect(view, &area);
    MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&area), 2);
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
