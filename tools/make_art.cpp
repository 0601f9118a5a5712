// Draws the program's own icon (resource 110: 32x32 and 16x16 images in 16 colours),
// the background tile (resource 122: 50x50 pixels, 24 bits per pixel) and its night
// variant (resource 123, the same lattice in dark blue-grey) and writes them as
// noravel.ico, background.bmp and background_night.bmp. Everything is computed from simple shapes,
// so the output is the same on every run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize,
                   uint32_t coloursUsed) {
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0); // BI_RGB
    put32(out, imageSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, coloursUsed);
    put32(out, 0);
}

// The 16-colour palette of the icon: the standard VGA colours, which every display shows.
const Rgb kIconPalette[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
enum IconColour : uint8_t {
    Black = 0,
    DarkGreen = 2,
    Olive = 3,
    Grey = 8,
    Yellow = 11,
    White = 15
};

// One icon image: an open book (white pages, dark green cover) under a golden crescent.
// Returns palette indices, row 0 at the top; -1 marks transparent pixels.
std::vector<int> drawIcon(int size) {
    std::vector<int> px(static_cast<size_t>(size * size), -1);
    const double s = size / 32.0;
    auto at = [&](int x, int y) -> int& { return px[static_cast<size_t>(y * size + x)]; };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double fx = (x + 0.5) / s, fy = (y + 0.5) / s; // in 32-pixel units
            // Cover: a rounded band under the pages.
            if (fy >= 17 && fy < 29 && fx >= 2 && fx < 30) at(x, y) = DarkGreen;
            // Pages: two slanted halves meeting at the spine.
            const double dx = std::fabs(fx - 16.0);
            const double top = 15.0 + dx * 0.18;
            if (fy >= top && fy < 26.5 - dx * 0.05 && dx < 13 && dx >= 0.8) at(x, y) = White;
            if (dx < 0.8 && fy >= 15 && fy < 27) at(x, y) = Olive;
            // Lines of text on the pages.
            if (size >= 32 && at(x, y) == White && dx > 3 && dx < 11 &&
                (static_cast<int>(fy) == 19 || static_cast<int>(fy) == 22))
                at(x, y) = Grey;
            // Crescent: a disc minus a shifted disc.
            const double d1 = std::hypot(fx - 16.0, fy - 8.0);
            const double d2 = std::hypot(fx - 18.5, fy - 6.8);
            if (d1 < 6.5 && d2 >= 5.6) at(x, y) = Yellow;
            if (d1 < 6.5 && d1 >= 5.6 && d2 >= 5.6 && fy > 8) at(x, y) = Olive;
        }
    }
    // A dark outline around the cover keeps the shape readable on light backgrounds.
    std::vector<int> outlined = px;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (px[static_cast<size_t>(y * size + x)] != -1) continue;
            for (int k = 0; k < 4; ++k) {
                const int nx = x + (k == 0) - (k == 1), ny = y + (k == 2) - (k == 3);
                if (nx < 0 || ny < 0 || nx >= size || ny >= size) continue;
                if (px[static_cast<size_t>(ny * size + nx)] == DarkGreen) {
                    outlined[static_cast<size_t>(y * size + x)] = Black;
                    break;
                }
            }
        }
    return outlined;
}

// One icon directory image: BITMAPINFOHEADER with doubled height, 16-entry palette,
// 4-bit XOR rows bottom-up, then the 1-bit AND mask rows.
std::vector<uint8_t> iconImage(int size) {
    const std::vector<int> px = drawIcon(size);
    const int xorStride = ((size * 4 + 31) / 32) * 4;
    const int andStride = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    putInfoHeader(out, size, size * 2, 4, static_cast<uint32_t>((xorStride + andStride) * size), 0);
    for (const Rgb& c : kIconPalette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(xorStride), 0);
        for (int x = 0; x < size; ++x) {
            const int v = px[static_cast<size_t>(y * size + x)];
            const uint8_t idx = static_cast<uint8_t>(v < 0 ? 0 : v);
            row[static_cast<size_t>(x / 2)] |= (x % 2 == 0) ? static_cast<uint8_t>(idx << 4) : idx;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(andStride), 0);
        for (int x = 0; x < size; ++x)
            if (px[static_cast<size_t>(y * size + x)] < 0)
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> makeIcon() {
    const int sizes[2] = {32, 16};
    std::vector<uint8_t> images[2] = {iconImage(32), iconImage(16)};
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, 2);
    uint32_t offset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(16); // colours
        out.push_back(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, static_cast<uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& img : images)
        out.insert(out.end(), img.begin(), img.end());
    return out;
}

// The four colours of a background tile.
struct TileColours {
    Rgb ground, weave, lines, inner;
};

// By day a soft sand colour; by night a dark blue-grey on which light text stays readable,
// its lines just bright enough to show the lattice.
const TileColours kDayTile{{226, 219, 178}, {223, 216, 174}, {200, 190, 140}, {212, 203, 158}};
const TileColours kNightTile{{38, 41, 54}, {35, 38, 50}, {64, 69, 90}, {50, 54, 71}};

// A background tile: a ground with a fine lattice of eight-pointed stars, which repeats
// seamlessly every 50 pixels.
std::vector<uint8_t> makeBackground(const TileColours& colours) {
    const int size = 50;
    const int stride = size * 3 + 2; // rows padded to 4 bytes: 150 -> 152
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(14 + 40 + stride * size));
    put32(out, 0);
    put32(out, 14 + 40);
    putInfoHeader(out, size, size, 24, static_cast<uint32_t>(stride * size), 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const double cx = x + 0.5 - 25.0, cy = y + 0.5 - 25.0;
            const double ax = std::fabs(cx), ay = std::fabs(cy);
            // Two overlapping squares (one turned by 45 degrees) make the star's outline.
            const double square = std::max(ax, ay);
            const double diamond = (ax + ay) / std::sqrt(2.0);
            const double star = std::max(square, diamond);
            const bool outline = std::fabs(star - 13.0) < 0.75;
            // Lines from the tile corners join neighbouring stars into a lattice.
            const bool lattice = std::fabs(ax - ay) < 0.75 && star > 13.0;
            Rgb c = colours.ground;
            if ((x + y) % 2 == 0) c = colours.weave; // a faint weave
            if (outline || lattice) c = colours.lines;
            if (star < 12.25 && std::fabs(square - diamond) < 0.6) c = colours.inner;
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!writeFile(dir + "/noravel.ico", makeIcon()) ||
        !writeFile(dir + "/background.bmp", makeBackground(kDayTile)) ||
        !writeFile(dir + "/background_night.bmp", makeBackground(kNightTile))) {
        std::fprintf(stderr, "make_art: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
