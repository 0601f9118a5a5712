// Times the full translation scan: three words tried in every one of the 6,236 ayat, in
// each language, with each of the four matchers the flags can choose.
#include "search/translation_scan.h"
#include "text/text_store.h"

#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// Loads one language into the text store; the copy stays alive while the tables point into it.
bool loadLanguage(int language) {
    static int loaded = -1;
    static std::string surahs, timing;
    static WritableCopy copy;
    if (loaded == language) return true;
    surahs = readDataFile("130_surahs.txt");
    timing = readDataFile("137_timing.txt");
    std::string text = readDataFile(language ? "133_english.txt" : "131_indonesian.txt");
    if (surahs.empty() || timing.empty() || text.empty()) return false;
    copy = WritableCopy({text.data(), text.size()});
    TextStore::loadFrom({surahs.data(), surahs.size()}, copy.bytes(),
                        {timing.data(), timing.size()}, language);
    loaded = language;
    return true;
}

// Arguments: language (0 Indonesian, 1 English); flags (bit 0 match case, bit 1 whole word).
void BM_ThreeWordScanOfAllAyat(benchmark::State& state) {
    const int language = static_cast<int>(state.range(0));
    if (!loadLanguage(language)) return state.SkipWithError("generated text resources not found");
    SearchQuery query;
    const char* const words[2][3] = {{"Allah", "rahmat", "hari kiamat"},
                                     {"Allah", "mercy", "Day of Judgement"}};
    for (int i = 0; i < 3; ++i)
        setSearchWord(query, i, words[language][i]);
    query.allWords = false; // "atau": the most hits
    query.matchCase = state.range(1) & 1;
    query.wholeWord = state.range(1) & 2;
    size_t hits = 0;
    for (auto _ : state) {
        auto found = scanTranslations(query, StoreTranslations());
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["ayat/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 6236,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThreeWordScanOfAllAyat)
    ->ArgNames({"language", "flags"})
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

} // namespace
