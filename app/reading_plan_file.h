// The reading plan's file: UTF-8 text, one item per line, ending with LF (a CR before it
// is accepted; a byte order mark and empty lines are skipped):
//   Noravel reading plan 1          the first line, naming the format and its version
//   start 2026-12-07                the plan's first day
//   days 30                         1..365
//   missed carry | missed spread    what becomes of the pages of a day missed
//   read 2026-12-07 1:1 2:25        ayat 1:1 to 2:25 were first read on that day
// A file whose first line is not the version line is not read at all. A line that does
// not read (or a setting given twice) is damaged: the reader sets it aside, byte for byte,
// rather than dropping it.
#ifndef NORAVEL_APP_READING_PLAN_FILE_H
#define NORAVEL_APP_READING_PLAN_FILE_H

#include "app/reading_plan.h"
#include "base/civil_date.h"
#include "text/ayah_ref.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view kPlanFileVersionLine = "Noravel reading plan 1";
// More read lines than the Quran has ayat are not written by the reader: the rest are
// damaged.
constexpr size_t kMostReadLines = 6236;

struct ReadRun {
    CivilDate date;
    AyahRef first;
    AyahRef last;
};

struct PlanFileContent {
    bool recognised = false;               // the version line was there
    std::optional<PlanSettings> settings;  // when start, days and missed all read
    std::vector<ReadRun> runs;             // in file order
    std::vector<std::string> damagedLines; // as written, without the LF
};

// ayahCount gives the ayat of a surah 1..114. The runs hold ayat that exist, first not
// after last in the order of the ayahCount's surahs.
PlanFileContent parsePlanFile(std::string_view text, int (*ayahCount)(int surah));

std::string formatPlanFile(const PlanSettings& settings, const std::vector<ReadRun>& runs);

// The reading of a plan as runs of ayat read on one day (plan order), and back: runs
// applied to a plan (each ayah keeps its earliest day).
std::vector<ReadRun> readRunsOf(const ReadingPlan& plan);
void applyReadRuns(ReadingPlan& plan, const std::vector<ReadRun>& runs);

#endif
