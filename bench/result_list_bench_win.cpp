// Result-list benchmark: the time from OK in the translation search (dialog 107) to the
// filled result list in the real reader, for a word with thousands of hits, once with the
// list's redrawing switched off while it fills (as the reader does) and once with a repaint
// per line (NORAVEL_RESULT_LIST_REDRAW_EACH_LINE=1, which the reader inherits). Each reader
// also times a search with a handful of hits, the baseline: the dialog's round trip and a
// short fill on the same machine in the same state. The figures are ratios to that baseline
// of the same reader process.
// A measurement, not a test: it prints its figures and passes or fails nothing.
//   result_list_bench <Noravel.exe> [rounds]
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "tests/support/registry_value_win.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";
constexpr char kFewHits[] = "Kursi";
constexpr char kManyHits[] = "Allah";

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<std::string> resultLines(const ReaderSession& reader) {
    HWND list = reader.child(IDC_RESULT_LIST);
    std::vector<std::string> lines(static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i] = listItemText(list, static_cast<int>(i));
    return lines;
}

// Searches the whole translation for one word, any case, parts of words too; the
// milliseconds from OK until the reader is idle again with its list filled, or -1.
double timedSearch(const ReaderSession& reader, const char* word) {
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_TRANSLATION_SEARCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_TRANSLATION_SEARCH)));
    HWND dialog = reader.waitForWindow("#32770", "Pencarian kata");
    if (!dialog) return -1;
    // The dialog sets its fields in WM_INITDIALOG; its modal loop answers only after that.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
    const int words[] = {IDC_WORD_1, IDC_WORD_2, IDC_WORD_3};
    for (int id : words)
        SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(id == IDC_WORD_1 ? word : ""));
    for (int id : {IDC_SEARCH_WHOLE_WORD, IDC_SEARCH_MATCH_CASE})
        SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, BST_UNCHECKED, 0);
    CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SURAH, IDC_SCOPE_ALL);
    const double start = nowMs();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    while (IsWindow(dialog) && nowMs() - start < 60000)
        Sleep(1);
    if (IsWindow(dialog) || !reader.waitIdle(120000)) return -1;
    return nowMs() - start;
}

struct Figures {
    double fewMs = -1;  // best of the rounds
    double manyMs = -1; // best of the rounds
    size_t fewLines = 0;
    std::vector<std::string> manyLines;
};

double best(double so, double next) {
    return next < 0 ? so : so < 0 ? next : std::min(so, next);
}

// One reader process: the rounds alternate the two searches, so both see the same state.
Figures measure(const std::string& exe, bool redrawEachLine, int rounds) {
    SetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", redrawEachLine ? "1" : nullptr);
    Figures figures;
    ReaderSession reader(exe);
    if (reader.start()) {
        SetWindowPos(reader.window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
        reader.waitIdle();
        for (int round = 0; round < rounds; ++round) {
            figures.fewMs = best(figures.fewMs, timedSearch(reader, kFewHits));
            figures.fewLines = resultLines(reader).size();
            figures.manyMs = best(figures.manyMs, timedSearch(reader, kManyHits));
        }
        figures.manyLines = resultLines(reader);
        PostMessageA(reader.window(), WM_CLOSE, 0, 0);
        reader.waitForExit();
    }
    SetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", nullptr);
    return figures;
}

void print(const char* name, const Figures& figures) {
    std::printf("%-36s %5zu lines %7.0f ms  x%.2f   (baseline \"%s\": %zu lines %.0f ms)\n", name,
                figures.manyLines.size(), figures.manyMs,
                figures.fewMs > 0 ? figures.manyMs / figures.fewMs : 0.0, kFewHits,
                figures.fewLines, figures.fewMs);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: result_list_bench <Noravel.exe> [rounds]\n");
        return 2;
    }
    const std::string exe = windowsPathOf(argv[1]);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    // The Indonesian translation, the one a first run shows; the user's choice comes back.
    const RegistryValue language = readRegistryValue(HKEY_CURRENT_USER, kSettingKey, "Bahasa");
    writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, "Bahasa", {true, REG_DWORD, {0, 0, 0, 0}});
    const Figures switched = measure(exe, false, rounds);
    const Figures eachLine = measure(exe, true, rounds);
    writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, "Bahasa", language);

    std::printf("OK to filled result list for \"%s\", best of %d, as a ratio to the baseline of "
                "the same reader:\n",
                kManyHits, rounds);
    print("redraw switched off while filling", switched);
    print("redraw on for every line", eachLine);
    if (switched.manyMs > 0 && eachLine.manyMs > 0)
        std::printf("redraw on for every line / switched off: x%.2f\n",
                    eachLine.manyMs / switched.manyMs);
    std::printf("the same lines both ways: %s\n",
                switched.manyLines == eachLine.manyLines ? "yes" : "NO");
    return switched.manyMs > 0 && eachLine.manyMs > 0 ? 0 : 1;
}
