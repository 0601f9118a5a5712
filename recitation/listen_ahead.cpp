#include "recitation/listen_ahead.h"

#include "recitation/recitation_rules.h"

#include <algorithm>

namespace {

bool sameFile(const AyahOfSurah& a, const AyahOfSurah& b) {
    return a.surah == b.surah && a.ayah == b.ayah;
}

} // namespace

std::vector<AyahOfSurah> filesInPlayOrder(int surah, int ayah, int recitedTimes, bool continuous,
                                          int scope, int count, int (*ayahCount)(int surah)) {
    std::vector<AyahOfSurah> files;
    if (!ayahCount || count <= 0 || surah < 1 || surah > 114 || ayah < 1 || ayah > ayahCount(surah))
        return files;
    const auto add = [&](AyahOfSurah file) {
        if (std::none_of(files.begin(), files.end(),
                         [&](const AyahOfSurah& had) { return sameFile(had, file); }))
            files.push_back(file);
    };
    AyahOfSurah at{surah, ayah};
    bool first = true;
    // Each turn adds at most two files; the bound ends a scope that comes round again.
    for (int turn = 0; turn < 2 * count && static_cast<int>(files.size()) < count; ++turn) {
        if (beginsWithBasmala(at.surah, at.ayah, first ? recitedTimes : 0)) add(kBasmalaFile);
        if (static_cast<int>(files.size()) < count) add(at);
        if (!continuous || scope == kScopeAyah) break;
        const AyahRef next = ayahAfter(at.surah, at.ayah, scope, ayahCount(at.surah));
        at = {next.surah, next.ayah};
        first = false;
        if (sameFile(at, {surah, ayah})) break;
    }
    if (static_cast<int>(files.size()) > count) files.resize(static_cast<size_t>(count));
    return files;
}
