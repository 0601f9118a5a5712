// Feeds arbitrary bytes to the reading plan file reader (the file is the user's and may
// hold anything). The input is copied into a heap block of exactly its size, so that any
// read past its end is caught. Beyond not crashing: no line may vanish (the items read and
// the damaged lines together are all the non-empty lines after the version line), and
// what was read, written back, reads as the same plan.
#include "app/reading_plan_file.h"
#include "fuzz/line_count.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

int ayahCount(int surah) {
    return surah == 2 ? 286 : 7;
}

const PlanPages& pages() {
    static const PlanPages table = [] {
        PlanPages built;
        // Two pages: 1:1 and 50:1.
        built.build(
            ayahCount,
            [](int page) {
                return page == 1 ? AyahRef{1, 1} : AyahRef{50, 1};
            },
            2);
        return built;
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    const std::string_view input(copy.get(), size);

    const PlanFileContent content = parsePlanFile(input, ayahCount);
    if (!content.recognised) {
        if (content.settings || !content.runs.empty() || !content.damagedLines.empty())
            std::abort();
        return 0;
    }
    // After the version line: three setting lines when the settings read (fewer read
    // otherwise), then the read lines and the damaged ones.
    const size_t accounted = content.runs.size() + content.damagedLines.size();
    const size_t after = nonEmptyLines(input) - 1;
    if (content.settings ? accounted + 3 != after : accounted > after || accounted + 2 < after)
        std::abort();
    if (!content.settings) return 0;
    if (!content.settings->valid()) std::abort();
    ReadingPlan plan(pages(), *content.settings);
    applyReadRuns(plan, content.runs);
    const PlanFileContent again =
        parsePlanFile(formatPlanFile(plan.settings(), readRunsOf(plan)), ayahCount);
    if (!again.settings || !again.damagedLines.empty() ||
        again.settings->start != content.settings->start ||
        again.settings->days != content.settings->days ||
        again.settings->missed != content.settings->missed)
        std::abort();
    ReadingPlan back(pages(), *again.settings);
    applyReadRuns(back, again.runs);
    for (int index = 0; index < pages().ayahTotal(); ++index)
        if (back.readOn(index) != plan.readOn(index)) std::abort();
    return 0;
}
