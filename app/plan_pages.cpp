#include "app/plan_pages.h"

#include <algorithm>

namespace {

// More than any surah has (286): a count beyond it is not a surah of the Quran.
constexpr int kLongestSurah = 1000;

} // namespace

bool PlanPages::build(const std::function<int(int surah)>& ayahCount,
                      const std::function<AyahRef(int page)>& firstAyahOfPage, int pageCount) {
    surahStart_.clear();
    pageStart_.clear();
    std::vector<int> surahs{0};
    for (int surah = 1; surah <= kPlanSurahs; ++surah) {
        const int count = ayahCount(surah);
        if (count < 1 || count > kLongestSurah) return false;
        surahs.push_back(surahs.back() + count);
    }
    surahStart_ = std::move(surahs);
    const int total = surahStart_.back();
    if (pageCount < 1 || pageCount > total) {
        surahStart_.clear();
        return false;
    }
    std::vector<int> pages;
    for (int page = 1; page <= pageCount; ++page) {
        const int first = indexOf(firstAyahOfPage(page));
        if (first < 0 || (page == 1 && first != 0) || (page > 1 && first <= pages.back())) {
            surahStart_.clear();
            return false;
        }
        pages.push_back(first);
    }
    pages.push_back(total);
    pageStart_ = std::move(pages);
    return true;
}

int PlanPages::indexOf(AyahRef ayah) const {
    if (surahStart_.empty() || ayah.surah < 1 || ayah.surah > kPlanSurahs || ayah.ayah < 1)
        return -1;
    const int begin = surahStart_[static_cast<size_t>(ayah.surah - 1)];
    const int end = surahStart_[static_cast<size_t>(ayah.surah)];
    return ayah.ayah <= end - begin ? begin + ayah.ayah - 1 : -1;
}

AyahRef PlanPages::ayahAt(int index) const {
    if (index < 0 || index >= ayahTotal()) return {};
    // The last surah whose first ayah is at or before index.
    const auto after = std::upper_bound(surahStart_.begin(), surahStart_.end(), index);
    const int surah = static_cast<int>(after - surahStart_.begin());
    return {surah, index - surahStart_[static_cast<size_t>(surah - 1)] + 1};
}

int PlanPages::pageOfIndex(int index) const {
    if (index < 0 || index >= ayahTotal()) return 0;
    const auto after = std::upper_bound(pageStart_.begin(), pageStart_.end(), index);
    return static_cast<int>(after - pageStart_.begin());
}
