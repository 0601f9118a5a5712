#include "app/reading_plan_win.h"

#include "app/reading_plan_file.h"
#include "app/user_files_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "text/text_store.h"

#include <commctrl.h>

#include <memory>

namespace {

// The status bar's part that also shows the recitation's state and speed.
constexpr int kPlanStatusPart = 1;
// The file is saved at most this often while the reader reads.
constexpr DWORD kSaveEveryMs = 60 * 1000;

struct PlanStore {
    PlanPages pages;
    std::unique_ptr<ReadingPlan> plan;
    // False when the file exists but could not be read or set aside: a save would then
    // replace what nobody has read.
    bool savable = true;
    bool unsaved = false;
    DWORD lastSave = 0;
    AyahRef shown;
    void (*savePause)() = nullptr;
};

PlanStore& store() {
    static PlanStore planStore;
    return planStore;
}

void report(Prompts& prompts, HWND owner, const std::wstring& text, UINT icon = MB_ICONWARNING) {
    prompts.tell(owner, utf8FromWide(text.c_str()).c_str(), NORAVEL_CAPTION, icon);
}

std::wstring userFile(const wchar_t* name) {
    const std::wstring folder = userFolder();
    return folder.empty() ? folder : folder + L"\\" + name;
}

bool save() {
    PlanStore& s = store();
    if (!s.savable) return false;
    const std::wstring path = readingPlanFilePath();
    if (path.empty()) return false;
    if (!s.plan) {
        s.unsaved = !(DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
                      GetLastError() == ERROR_PATH_NOT_FOUND);
        return !s.unsaved;
    }
    const std::string text = formatPlanFile(s.plan->settings(), readRunsOf(*s.plan));
    if (!makeUserFolder() || !writeTemporaryFile(path, text)) return false;
    if (s.savePause) s.savePause();
    if (!replaceWithTemporaryFile(path)) return false;
    s.unsaved = false;
    s.lastSave = GetTickCount();
    return true;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

bool blank(const std::string& text) {
    return text.find_first_not_of("\xEF\xBB\xBF \r\n") == std::string::npos;
}

std::wstring ayahText(AyahRef ayah) {
    wchar_t text[16];
    swprintf(text, 16, L"%d:%d", ayah.surah, ayah.ayah);
    return text;
}

// Reads the file into the store; what does not read goes aside first.
void readPlanFile(HWND mainWindow, Prompts& prompts) {
    PlanStore& s = store();
    const std::wstring path = readingPlanFilePath();
    std::string text;
    const UserFileRead outcome = path.empty() ? UserFileRead::failed : readUserFile(path, text);
    if (outcome == UserFileRead::missing || (outcome == UserFileRead::read && blank(text))) return;
    if (outcome == UserFileRead::failed) {
        s.savable = false;
        report(prompts, mainWindow,
               L"The reading plan file could not be read:\n" + path +
                   L"\nIt is left as it is; changes to the plan are not saved.");
        return;
    }
    PlanFileContent content = parsePlanFile(text, TextStore::ayahCount);
    const bool whole = !content.settings;
    const std::vector<std::string> aside = whole ? linesOf(text) : content.damagedLines;
    if (!whole) {
        s.plan = std::make_unique<ReadingPlan>(s.pages, *content.settings);
        applyReadRuns(*s.plan, content.runs);
    }
    if (aside.empty()) return;
    const std::wstring damaged = damagedReadingPlanFilePath();
    // The lines leave the plan file only once they are safe in the side file.
    if (!damaged.empty() && makeUserFolder() && appendLinesToFile(damaged, aside) && save()) {
        report(prompts, mainWindow,
               (whole ? std::wstring(L"The reading plan file could not be read as a plan")
                      : std::to_wstring(aside.size()) + (aside.size() == 1 ? L" line" : L" lines") +
                            L" of the reading plan file could not be read") +
                   L". They were moved, unchanged, to\n" + damaged,
               MB_ICONINFORMATION);
    } else {
        s.savable = false;
        report(prompts, mainWindow,
               L"The reading plan file could not be read and could not be set aside. It is "
               L"left as it is and changes to the plan are not saved:\n" +
                   path);
    }
}

} // namespace

bool useReadingPlanPages(const std::function<AyahRef(int page)>& firstAyahOfPage, int pageCount) {
    store().plan.reset();
    return store().pages.build(TextStore::ayahCount, firstAyahOfPage, pageCount);
}

std::wstring readingPlanFilePath() {
    return userFile(L"reading-plan.txt");
}

std::wstring damagedReadingPlanFilePath() {
    return userFile(L"reading-plan-damaged.txt");
}

void loadReadingPlan(HWND mainWindow, Prompts& prompts) {
    PlanStore& s = store();
    s.plan.reset();
    s.savable = true;
    s.unsaved = false;
    if (HMENU menu = mainWindow ? GetMenu(mainWindow) : nullptr)
        EnableMenuItem(menu, IDM_READING_PLAN, s.pages.ready() ? MF_ENABLED : MF_GRAYED);
    if (!s.pages.ready()) return;
    readPlanFile(mainWindow, prompts);
    if (s.plan) showTodaysPortion(mainWindow);
}

const ReadingPlan* readingPlan() {
    return store().plan.get();
}

long readingPlanToday() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return dayNumber({now.wYear, now.wMonth, now.wDay});
}

AyahRef firstAyahOfPlanPage(int page) {
    const PlanPages& pages = store().pages;
    return page >= 1 && page <= pages.pageCount() ? pages.ayahAt(pages.pageBegin(page)) : AyahRef{};
}

std::wstring todaysPortionText() {
    const ReadingPlan* plan = readingPlan();
    if (!plan) return L"";
    const long today = readingPlanToday();
    if (plan->dayIndex(today) < 0) {
        char date[16] = "";
        formatDate(date, sizeof date, plan->settings().start);
        return L"Reading plan: starts on " + wideFromUtf8(date);
    }
    if (plan->pagesRead() == plan->pages().pageCount())
        return L"Reading plan: the whole Quran is read";
    const PagePortion portion = plan->portionOn(today);
    if (portion.empty()) return L"Today: nothing left to read";
    const PlanPages& pages = plan->pages();
    wchar_t text[128];
    swprintf(text, 128, L"Today: pages %d\u2013%d, ", portion.firstPage, portion.lastPage);
    std::wstring line = text + ayahText(firstAyahOfPlanPage(portion.firstPage)) + L" \u2013 " +
                        ayahText(pages.ayahAt(pages.pageEnd(portion.lastPage) - 1));
    if (portion.done()) line += L" (read)";
    return line;
}

void showTodaysPortion(HWND mainWindow) {
    HWND status = mainWindow ? GetDlgItem(mainWindow, IDC_STATUS_BAR) : nullptr;
    const std::wstring today = todaysPortionText();
    if (!status || today.empty()) return;
    // The part may show the recitation's speed: the portion follows it.
    wchar_t shown[256] = L"";
    if (LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, kPlanStatusPart, 0)) < 256)
        SendMessageW(status, SB_GETTEXTW, kPlanStatusPart, reinterpret_cast<LPARAM>(shown));
    std::wstring line = shown;
    const size_t before = line.find(L"Today:");
    if (before != std::wstring::npos) line.erase(before);
    while (!line.empty() && line.back() == L' ')
        line.pop_back();
    line = line.empty() ? today : line + L"    " + today;
    SendMessageW(status, SB_SETTEXTW, kPlanStatusPart, reinterpret_cast<LPARAM>(line.c_str()));
}

void readingPlanAyahShown(HWND mainWindow, AyahRef ayah) {
    if (!store().plan || !mainWindow) return;
    store().shown = ayah;
    SetTimer(mainWindow, kReadingPlanTimer, kReadingPlanReadAfterMs, nullptr);
}

void readingPlanTimer(HWND mainWindow) {
    KillTimer(mainWindow, kReadingPlanTimer);
    PlanStore& s = store();
    if (!s.plan) return;
    if (s.plan->markRead(s.pages.indexOf(s.shown), readingPlanToday())) s.unsaved = true;
    if (s.unsaved && GetTickCount() - s.lastSave >= kSaveEveryMs) save();
}

bool saveReadingPlanNow() {
    return !store().unsaved || save();
}

bool startReadingPlan(const PlanSettings& settings) {
    PlanStore& s = store();
    if (!s.pages.ready() || !settings.valid()) return false;
    s.plan = std::make_unique<ReadingPlan>(s.pages, settings);
    s.unsaved = true;
    return save();
}

bool stopReadingPlan() {
    store().plan.reset();
    store().unsaved = true;
    return save();
}

bool changeMissedDays(MissedDays missed) {
    if (!store().plan) return false;
    store().plan->setMissedDays(missed);
    store().unsaved = true;
    return save();
}

bool markTodaysPortionRead() {
    PlanStore& s = store();
    if (!s.plan) return false;
    const long today = readingPlanToday();
    const PagePortion portion = s.plan->portionOn(today);
    s.plan->markPagesRead(portion.firstPage, portion.lastPage, today);
    s.unsaved = true;
    return save();
}

void setReadingPlanSavePause(void (*pause)()) {
    store().savePause = pause;
}
