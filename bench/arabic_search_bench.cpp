// Times the full Arabic scan over the 6,236 ayat of the generated resources: a common
// word (many hits), a rare one, a query found nowhere, and the whole-word variant.
#include "search/arabic_scan.h"
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
    WritableCopy translation{ResourceBytes{indonesian.data(), indonesian.size()}};
    LoadedStore() {
        TextStore::loadFrom({surahs.data(), surahs.size()}, translation.bytes(),
                            {timing.data(), timing.size()}, 0);
        TextStore::loadArabicFrom({arabic.data(), arabic.size()});
    }
    bool ok() const { return !arabic.empty() && !surahs.empty(); }
};

LoadedStore& store() {
    static LoadedStore loaded;
    return loaded;
}

void scan(benchmark::State& state, const char* query, bool wholeWord) {
    if (!store().ok()) {
        state.SkipWithError("generated text resources not found");
        return;
    }
    size_t hits = 0;
    for (auto _ : state) {
        auto found = scanArabicTexts(query, wholeWord, StoreArabicTexts());
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
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

BENCHMARK(BM_ScanAllah)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanAllahWholeWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanRareWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanFoundNowhere)->Unit(benchmark::kMicrosecond);

} // namespace
