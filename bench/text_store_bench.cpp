// Times what the start-up loads (surah list, a writable copy of the translation,
// its walk, the timing and the Arabic text) from the generated resources, beside
// one memchr pass over the same bytes, and counts the heap allocations of a load.
#include "text/text_store.h"

#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

// Every operator new of the program counts here. The replacements stay out of
// line: inlined, GCC takes malloc/free for a mismatch with new/delete.
static size_t allocations;

[[gnu::noinline]] void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](size_t size) {
    return operator new(size);
}
[[gnu::noinline]] void* operator new(size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}
[[gnu::noinline]] void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

namespace {

struct Resources {
    std::string surahs = readDataFile("130_surahs.txt");
    std::string translations[2] = {readDataFile("131_indonesian.txt"),
                                   readDataFile("133_english.txt")};
    std::string arabic = readDataFile("134_arabic.txt");
    std::string timing = readDataFile("137_timing.txt");

    bool complete() const {
        return !surahs.empty() && !translations[0].empty() && !translations[1].empty() &&
               !arabic.empty() && !timing.empty();
    }
    size_t bytes(int language) const {
        return surahs.size() + translations[language].size() + arabic.size() + timing.size();
    }
};

const Resources& resources() {
    static const Resources loaded;
    return loaded;
}

ResourceBytes bytesOf(const std::string& s) {
    return {s.data(), s.size()};
}

// Start-up: argument 0 Indonesian, 1 English.
void BM_StartupLoad(benchmark::State& state) {
    const Resources& r = resources();
    if (!r.complete()) return state.SkipWithError("generated text resources not found");
    int language = static_cast<int>(state.range(0));
    size_t allocationsPerLoad = 0;
    for (auto _ : state) {
        size_t before = allocations;
        WritableCopy copy(bytesOf(r.translations[language]));
        TextStore::loadFrom(bytesOf(r.surahs), copy.bytes(), bytesOf(r.timing), language);
        TextStore::loadArabicFrom(bytesOf(r.arabic));
        allocationsPerLoad = allocations - before;
        benchmark::DoNotOptimize(TextStore::translation(114, 6));
        state.PauseTiming();
        TextStore::reset(); // the copy dies with this iteration
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes(language)));
    state.counters["allocations"] = static_cast<double>(allocationsPerLoad);
}
BENCHMARK(BM_StartupLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same bytes searched once for a byte that none of them holds.
void BM_MemchrPass(benchmark::State& state) {
    const Resources& r = resources();
    if (!r.complete()) return state.SkipWithError("generated text resources not found");
    int language = static_cast<int>(state.range(0));
    const std::string* parts[] = {&r.surahs, &r.translations[language], &r.arabic, &r.timing};
    for (auto _ : state) {
        for (const std::string* part : parts) {
            const char* bytes = part->data();
            benchmark::DoNotOptimize(bytes); // keeps the search inside the loop
            benchmark::DoNotOptimize(std::memchr(bytes, '\x01', part->size()));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes(language)));
}
BENCHMARK(BM_MemchrPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
