#include "app/go_to_input.h"

#include "text/mushaf_pages.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int kSurahs = 114;
constexpr size_t kLongestNumber = 6; // more digits than this name no surah or ayah
constexpr int kNamesInProblem = 4;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    return true;
}

// A number of at most kLongestNumber digits; -1 for anything else.
int numberOf(std::string_view text) {
    if (!allDigits(text) || text.size() > kLongestNumber) return -1;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

// Lower-case letters and digits only: "Al Ma'idah" and "al-maidah" both become "almaidah".
std::string folded(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        else if ((c >= 'a' && c <= 'z') || isDigit(c))
            out.push_back(c);
    }
    return out;
}

// The name after its first word ("Baqarah" of "Al Baqarah"), folded; "" for one word.
std::string foldedWithoutArticle(std::string_view name) {
    name = trimmed(name);
    const size_t space = name.find(' ');
    return space == std::string_view::npos ? std::string() : folded(name.substr(space + 1));
}

// The text as a problem quotes it: trimmed, and cut to at most maxBytes at a character
// boundary, so that a quoted word typed in any script stays whole UTF-8.
std::string shown(std::string_view text, size_t maxBytes) {
    std::string_view kept = trimmed(text);
    if (kept.size() > maxBytes) {
        size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(kept[cut]) & 0xC0) == 0x80)
            --cut;
        kept = kept.substr(0, cut);
    }
    return std::string(kept);
}

GoToTarget problem(std::string text) {
    GoToTarget target;
    target.problem = std::move(text);
    return target;
}

// The surah a part of a name stands for; 0 when none does, -1 when several do (their
// numbers in matches).
int surahByName(const std::string& query, const char* (*surahName)(int),
                std::vector<int>& matches) {
    std::vector<int> exact, starting, containing;
    for (int surah = 1; surah <= kSurahs; ++surah) {
        const char* raw = surahName(surah);
        const std::string name = folded(raw ? raw : "");
        const std::string bare = foldedWithoutArticle(raw ? raw : "");
        if (name.empty()) continue;
        if (name == query || bare == query) exact.push_back(surah);
        if (name.compare(0, query.size(), query) == 0 ||
            (!bare.empty() && bare.compare(0, query.size(), query) == 0))
            starting.push_back(surah);
        if (name.find(query) != std::string::npos) containing.push_back(surah);
    }
    for (const std::vector<int>* group : {&exact, &starting, &containing}) {
        if (group->size() == 1) return group->front();
        if (group->size() > 1) {
            matches = *group;
            return -1;
        }
    }
    return 0;
}

// A page of the mushaf: "page" or "p" (any case), blanks, then the page's number. Answers
// false for any other text; target then stays as it is.
bool parsePage(std::string_view input, GoToTarget& target) {
    std::string_view rest;
    if (input.size() >= 4 && folded(input.substr(0, 4)) == "page")
        rest = trimmed(input.substr(4));
    else if (!input.empty() && (input[0] == 'p' || input[0] == 'P'))
        rest = trimmed(input.substr(1));
    else
        return false;
    // Anything but digits after it ("pages 5", "p" alone) is left to the surah names; "page"
    // alone asks for the number.
    if (rest.empty() ? folded(input) != "page" : !allDigits(rest)) return false;
    const int page = numberOf(rest);
    char line[160];
    if (page < 1 || page > kMushafPageCount) {
        if (rest.empty())
            std::snprintf(line, sizeof line, "Type the page's number, 1 to %d, such as page 50.",
                          kMushafPageCount);
        else
            std::snprintf(line, sizeof line,
                          "There is no page %s: the pages of the mushaf are numbered 1 to %d.",
                          shown(rest, 12).c_str(), kMushafPageCount);
        target = problem(line);
        return true;
    }
    const AyahRef first = firstAyahOfPage(page);
    target = GoToTarget{};
    target.found = true;
    target.surah = first.surah;
    target.ayah = first.ayah;
    target.page = page;
    return true;
}

} // namespace

GoToTarget parseGoToInput(std::string_view text, const char* (*surahName)(int surah),
                          int (*ayahCount)(int surah)) {
    const std::string_view input = trimmed(text);
    if (input.empty())
        return problem("Type a surah and an ayah, such as 2:255 or 2 255, a part of a surah "
                       "name, such as baqa, or a page of the mushaf, such as page 50.");
    GoToTarget page;
    if (parsePage(input, page)) return page;

    // An ayah at the end, after a colon or a space: "2:255", "2 255", "baqa 255".
    std::string_view head = input;
    std::string_view ayahText;
    size_t digits = input.size();
    while (digits > 0 && isDigit(input[digits - 1]))
        --digits;
    if (digits > 0 && digits < input.size()) {
        size_t cut = digits;
        while (cut > 0 && (isSpace(input[cut - 1]) || input[cut - 1] == ':'))
            --cut;
        if (cut < digits && cut > 0) {
            head = trimmed(input.substr(0, cut));
            ayahText = input.substr(digits);
        }
    }

    char line[256];
    int surah = 0;
    if (allDigits(head)) {
        surah = numberOf(head);
        if (surah < 1 || surah > kSurahs) {
            std::snprintf(line, sizeof line,
                          "There is no surah %s: the surahs are numbered 1 to 114.",
                          shown(head, 12).c_str());
            return problem(line);
        }
    } else {
        const std::string query = folded(head);
        if (query.empty()) {
            std::snprintf(line, sizeof line, "\"%s\" is neither an ayah nor a surah name.",
                          shown(input, 40).c_str());
            return problem(line);
        }
        std::vector<int> matches;
        surah = surahByName(query, surahName, matches);
        if (surah == 0) {
            std::snprintf(line, sizeof line, "No surah name contains \"%s\".",
                          shown(head, 40).c_str());
            return problem(line);
        }
        if (surah < 0) {
            std::string names;
            for (size_t i = 0; i < matches.size() && i < kNamesInProblem; ++i) {
                if (i > 0) names += ", ";
                names += shown(surahName(matches[i]), 40);
            }
            if (matches.size() > kNamesInProblem) names += ", ...";
            std::snprintf(line, sizeof line,
                          "\"%s\" fits several surahs (%.150s): type more of the name.",
                          shown(head, 40).c_str(), names.c_str());
            return problem(line);
        }
    }

    int ayah = 1;
    if (!ayahText.empty()) {
        ayah = numberOf(ayahText);
        const int count = ayahCount(surah);
        if (ayah < 1 || ayah > count) {
            std::snprintf(line, sizeof line, "Surah %d (%s) has ayat 1 to %d, not %s.", surah,
                          shown(surahName(surah), 40).c_str(), count, shown(ayahText, 12).c_str());
            return problem(line);
        }
    }
    GoToTarget target;
    target.found = true;
    target.surah = surah;
    target.ayah = ayah;
    return target;
}
