#include "tajwid/tajwid_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tajwid {

namespace {
constexpr int kSurahs = 114;
constexpr int kMaxAyat = 286;
} // namespace

bool formatCaption(char* out, std::size_t size, int surah, int ayah, const char* surahName) {
    if (size == 0) return false;
    out[0] = '\0';
    if (surah < 1 || surah > kSurahs || ayah < 1 || ayah > kMaxAyat) return false;
    const int written =
        std::snprintf(out, size, "Tajwid - %d:%d%s%s", surah, ayah,
                      surahName && *surahName ? " " : "", surahName ? surahName : "");
    return written > 0;
}

DrawnSize fitToWidth(int pictureWidth, int pictureHeight, int roomWidth, double maxScale) {
    if (pictureWidth < 1 || pictureHeight < 1) return {};
    double scale = roomWidth > 0 ? static_cast<double>(roomWidth) / pictureWidth : 0.0;
    scale = std::min(scale, maxScale);
    DrawnSize size;
    size.width = std::max(1, static_cast<int>(std::lround(pictureWidth * scale)));
    size.height = std::max(1, static_cast<int>(std::lround(pictureHeight * scale)));
    return size;
}

int clampScroll(int position, int content, int page) {
    const int most = std::max(0, content - page);
    return std::clamp(position, 0, most);
}

AyahRef ayahFromSelections(long surahIndex, long ayahIndex) {
    if (surahIndex < 0 || surahIndex >= kSurahs || ayahIndex < 0 || ayahIndex >= kMaxAyat)
        return {};
    return {static_cast<int>(surahIndex) + 1, static_cast<int>(ayahIndex) + 1};
}

} // namespace tajwid
