// Times the full Arabic scan over the 6,236 ayat of the generated resources: a common
// word (many hits), a rare one, a query found nowhere, and the whole-word variant; then
// the same queries and a word in standard spelling with the spelling-tolerant scan over
// the forms of resource 139, to compare the two in one run.
#include "search/arabic_scan.h"
#include "search/arabic_spelling.h"
#include "text/text_store.h"

#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// The resources stay alive for the whole run: the tables point into them.
struct LoadedStore {
    std::string surahs = readDataFile("130_surahs.txt");
    std::string arabic = readDataFile("134_arabic.txt");
    std::string timing = readDataFile("137_timing.txt");
    std::string indonesian = readDataFile("131_indonesian.txt");
    std::string spelling = readDataFile("139_arabic_spelling.txt");
    WritableCopy translation{ResourceBytes{indonesian.data(), indonesian.size()}};
    ArabicSpellingForms forms{ResourceBytes{nullptr, 0}};
    LoadedStore() {
        TextStore::loadFrom({surahs.data(), surahs.size()}, translation.bytes(),
                            {timing.data(), timing.size()}, 0);
        TextStore::loadArabicFrom({arabic.data(), arabic.size()});
        forms = ArabicSpellingForms({spelling.data(), spelling.size()});
    }
    bool ok() const { return !arabic.empty() && !surahs.empty() && forms.complete(); }
};

LoadedStore& store() {
    static LoadedStore loaded;
    return loaded;
}

template <typename Scan> void run(benchmark::State& state, Scan scan) {
    if (!store().ok()) {
        state.SkipWithError("generated text resources not found");
        return;
    }
    size_t hits = 0;
    for (auto _ : state) {
        auto found = scan();
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
}

void scan(benchmark::State& state, const char* query, bool wholeWord) {
    run(state, [&] { return scanArabicTexts(query, wholeWord, StoreArabicTexts()); });
}

// The whole tolerant search: the query folded, then every ayah's form scanned.
void scanTolerant(benchmark::State& state, const char* query) {
    run(state, [&] { return scanArabicSpelling(query, store().forms); });
}

void BM_ScanAllah(benchmark::State& state) {
    scan(state, "\xC7\xE1\xE1\xE5", false); // ALEF LAM LAM HEH
}
void BM_ScanAllahWholeWord(benchmark::State& state) {
    scan(state, "\xC7\xE1\xE1\xE5", true);
}
void BM_ScanRareWord(benchmark::State& state) {
    scan(state, "\xC7\xE1\xD5\xE3\xCF", false); // ALSAMAD
}
void BM_ScanFoundNowhere(benchmark::State& state) {
    scan(state, "\xD9\xD9\xD9", false);
}

void BM_TolerantScanAllah(benchmark::State& state) {
    scanTolerant(state, "\xC7\xE1\xE1\xE5");
}
void BM_TolerantScanRareWord(benchmark::State& state) {
    scanTolerant(state, "\xC7\xE1\xD5\xE3\xCF");
}
void BM_TolerantScanFoundNowhere(benchmark::State& state) {
    scanTolerant(state, "\xD9\xD9\xD9");
}
void BM_TolerantScanStandardSpelling(benchmark::State& state) {
    scanTolerant(state, "\xC7\xE1\xDF\xCA\xC7\xC8"); // AL-KITAB with its alef
}

BENCHMARK(BM_ScanAllah)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanAllahWholeWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanRareWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanFoundNowhere)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TolerantScanAllah)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TolerantScanRareWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TolerantScanFoundNowhere)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TolerantScanStandardSpelling)->Unit(benchmark::kMicrosecond);

} // namespace
