#include "app/reading_plan_file.h"

#include <cstdio>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool number(std::string_view text, int most, int& value) {
    if (text.empty() || text.size() > 4) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= most;
}

bool ayahRef(std::string_view text, int (*ayahCount)(int), AyahRef& ayah) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    AyahRef read;
    if (!number(text.substr(0, colon), kPlanSurahs, read.surah) ||
        !number(text.substr(colon + 1), 9999, read.ayah) || read.surah < 1 || read.ayah < 1 ||
        read.ayah > ayahCount(read.surah))
        return false;
    ayah = read;
    return true;
}

bool notAfter(AyahRef a, AyahRef b) {
    return a.surah < b.surah || (a.surah == b.surah && a.ayah <= b.ayah);
}

// Splits "word rest" at the first space.
std::string_view firstWord(std::string_view& line) {
    const size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    return word;
}

bool readRun(std::string_view rest, int (*ayahCount)(int), ReadRun& run) {
    return parseDate(firstWord(rest), run.date) && ayahRef(firstWord(rest), ayahCount, run.first) &&
           ayahRef(rest, ayahCount, run.last) && notAfter(run.first, run.last);
}

std::string ayahText(AyahRef ayah) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%d", ayah.surah, ayah.ayah);
    return text;
}

} // namespace

PlanFileContent parsePlanFile(std::string_view text, int (*ayahCount)(int surah)) {
    PlanFileContent content;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    PlanSettings settings;
    bool haveStart = false, haveDays = false, haveMissed = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::string_view body = line;
        if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
        if (body.empty()) continue;
        if (!content.recognised) {
            if (body != kPlanFileVersionLine) return PlanFileContent{};
            content.recognised = true;
            continue;
        }
        std::string_view rest = body;
        const std::string_view word = firstWord(rest);
        bool read = false;
        if (word == "start" && !haveStart) {
            read = haveStart = parseDate(rest, settings.start);
        } else if (word == "days" && !haveDays) {
            read = haveDays =
                number(rest, kMostPlanDays, settings.days) && settings.days >= kFewestPlanDays;
        } else if (word == "missed" && !haveMissed) {
            read = haveMissed = rest == "carry" || rest == "spread";
            settings.missed = rest == "spread" ? MissedDays::spread : MissedDays::carryForward;
        } else if (word == "read" && content.runs.size() < kMostReadLines) {
            ReadRun run;
            read = readRun(rest, ayahCount, run);
            if (read) content.runs.push_back(run);
        }
        if (!read) content.damagedLines.emplace_back(line);
    }
    if (haveStart && haveDays && haveMissed) content.settings = settings;
    return content;
}

std::string formatPlanFile(const PlanSettings& settings, const std::vector<ReadRun>& runs) {
    char date[16] = "";
    std::string text(kPlanFileVersionLine);
    formatDate(date, sizeof date, settings.start);
    text += "\nstart ";
    text += date;
    text += "\ndays " + std::to_string(settings.days);
    text += settings.missed == MissedDays::spread ? "\nmissed spread\n" : "\nmissed carry\n";
    for (const ReadRun& run : runs) {
        if (!formatDate(date, sizeof date, run.date)) continue;
        text += "read ";
        text += date;
        text += ' ' + ayahText(run.first) + ' ' + ayahText(run.last) + '\n';
    }
    return text;
}

std::vector<ReadRun> readRunsOf(const ReadingPlan& plan) {
    std::vector<ReadRun> runs;
    const PlanPages& pages = plan.pages();
    int index = 0;
    while (index < pages.ayahTotal()) {
        const long day = plan.readOn(index);
        int end = index + 1;
        while (end < pages.ayahTotal() && plan.readOn(end) == day)
            ++end;
        if (day != kNotRead)
            runs.push_back({dateOfDay(day), pages.ayahAt(index), pages.ayahAt(end - 1)});
        index = end;
    }
    return runs;
}

void applyReadRuns(ReadingPlan& plan, const std::vector<ReadRun>& runs) {
    const PlanPages& pages = plan.pages();
    for (const ReadRun& run : runs) {
        if (!isValidDate(run.date)) continue;
        const long day = dayNumber(run.date);
        const int first = pages.indexOf(run.first);
        const int last = pages.indexOf(run.last);
        if (first < 0 || last < first) continue;
        for (int index = first; index <= last; ++index)
            plan.markRead(index, day);
    }
}
