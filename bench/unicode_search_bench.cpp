// The translation search over all 6,236 ayat of a language beside a plain byte scan
// (memmem) of the same folded text for the same word, measured in the same run: the
// search's cost over the scan's is the figure that counts (the language is folded once,
// when it is first searched; BM_FoldLanguage times that).
#include "bench_data.h"
#include "search/unicode_search.h"
#include "text/translation_languages.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string.h>

namespace {

struct Language {
    std::string bytes;
    TranslationText text;
    FoldRules rules;
    FoldedTranslation folded;
    const TranslationLanguage* language;
};

// The cases: a language and a word that occurs in it.
struct Case {
    const char* code;
    const char* word;
};
const Case kCases[] = {{"ru", "аллах"}, {"tr", "ibrahim"}, {"fr", "prière"},
                       {"zh", "真主"},  {"bn", "আল্লাহ"},   {"id", "cahaya"}};

Language& languageOf(int index) {
    static Language languages[sizeof kCases / sizeof kCases[0]];
    Language& loaded = languages[index];
    if (!loaded.language) {
        loaded.language = translationLanguageAt(translationLanguageIndex(kCases[index].code));
        const std::string name = std::to_string(loaded.language->resourceId) + "_translation_" +
                                 kCases[index].code + ".txt";
        loaded.bytes = readDataFile(name.c_str());
        loaded.text.load(loaded.bytes.data(), loaded.bytes.size());
        loaded.rules.letters = loaded.language->letters;
        loaded.folded.build(loaded.text, loaded.rules);
    }
    return loaded;
}

void BM_Search(benchmark::State& state) {
    Language& language = languageOf(static_cast<int>(state.range(0)));
    SearchQuery query;
    std::snprintf(query.words[0], SearchQuery::kWordSize, "%s", kCases[state.range(0)].word);
    query.wholeWord = language.language->spacedWords;
    size_t hits = 0;
    for (auto _ : state) {
        hits = searchFolded(query, language.folded, language.rules, language.language->spacedWords)
                   .size();
        benchmark::DoNotOptimize(hits);
    }
    state.SetLabel(std::string(kCases[state.range(0)].code) + " whole words, " +
                   std::to_string(hits) + " hits");
}

// The baseline: every occurrence of the folded word in the folded text, by memmem.
void BM_MemmemBaseline(benchmark::State& state) {
    Language& language = languageOf(static_cast<int>(state.range(0)));
    std::string word;
    foldText(kCases[state.range(0)].word, language.rules, word);
    const std::string& all = language.folded.all();
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        const char* at = all.data();
        const char* end = all.data() + all.size();
        while (const void* hit =
                   memmem(at, static_cast<size_t>(end - at), word.data(), word.size())) {
            ++found;
            at = static_cast<const char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(std::string(kCases[state.range(0)].code) + ", " + std::to_string(found) +
                   " occurrences");
}

void BM_FoldLanguage(benchmark::State& state) {
    Language& language = languageOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FoldedTranslation folded;
        folded.build(language.text, language.rules);
        benchmark::DoNotOptimize(folded.all().data());
    }
    state.SetLabel(kCases[state.range(0)].code);
}

BENCHMARK(BM_Search)->DenseRange(0, 5);
BENCHMARK(BM_MemmemBaseline)->DenseRange(0, 5);
BENCHMARK(BM_FoldLanguage)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace
