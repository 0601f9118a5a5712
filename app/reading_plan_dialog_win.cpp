// Plan > Reading plan... (dialog 290): the plan's days, first day and the way missed days
// are handled, Start and Stop, today's portion and the progress, every day of the plan,
// and the buttons that mark today's portion read and go to its first ayah.
#include "app/reading_plan_win.h"

#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/message_font_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"

#include <commctrl.h>

#include <cstdio>

namespace {

struct DialogState {
    Prompts* prompts = nullptr;
    GdiObject<HFONT> font;
    AyahRef goTo;
};

DialogState* stateOf(HWND dialog) {
    return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

BOOL CALLBACK setChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

SYSTEMTIME systemTimeOf(long day) {
    const CivilDate date = dateOfDay(day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

std::wstring dateText(long day) {
    const SYSTEMTIME time = systemTimeOf(day);
    wchar_t text[64] = L"";
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, L"ddd d MMM yyyy", text, 64)) {
        char iso[16] = "";
        formatDate(iso, sizeof iso, dateOfDay(day));
        return wideFromUtf8(iso);
    }
    return text;
}

std::wstring dayLine(const PlanDay& day, int number) {
    wchar_t text[160];
    const PagePortion& p = day.portion;
    const std::wstring date = dateText(day.day);
    if (p.empty()) {
        swprintf(text, 160, L"%d\t%ls\tnothing to read", number, date.c_str());
        return text;
    }
    const wchar_t* state = day.state == DayState::read     ? L"read"
                           : day.state == DayState::missed ? L"missed"
                           : day.state == DayState::today  ? L"today"
                                                           : L"";
    swprintf(text, 160, L"%d\t%ls\tpages %d\u2013%d\t%d of %d read\t%ls", number, date.c_str(),
             p.firstPage, p.lastPage, p.pagesRead, p.pages, state);
    return text;
}

// Shows the plan as it stands: the fields, today's line, the progress and the days.
void showPlan(HWND dialog) {
    const ReadingPlan* plan = readingPlan();
    const long today = readingPlanToday();
    for (int id : {IDC_PLAN_STOP, IDC_PLAN_MARK_READ, IDC_PLAN_GO_TO})
        EnableWindow(GetDlgItem(dialog, id), plan != nullptr);
    HWND list = GetDlgItem(dialog, IDC_PLAN_DAYS_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (!plan) {
        SetDlgItemTextW(dialog, IDC_PLAN_TODAY, L"No plan is on. Choose the days and start one.");
        SetDlgItemTextW(dialog, IDC_PLAN_PROGRESS, L"");
        return;
    }
    SetDlgItemInt(dialog, IDC_PLAN_DAYS, static_cast<UINT>(plan->settings().days), FALSE);
    const SYSTEMTIME start = systemTimeOf(plan->firstDay());
    SendDlgItemMessageW(dialog, IDC_PLAN_START, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&start));
    CheckRadioButton(dialog, IDC_PLAN_CARRY, IDC_PLAN_SPREAD,
                     plan->settings().missed == MissedDays::spread ? IDC_PLAN_SPREAD
                                                                   : IDC_PLAN_CARRY);
    SetDlgItemTextW(dialog, IDC_PLAN_TODAY, todaysPortionText().c_str());
    wchar_t progress[160];
    const int behind = plan->pagesBehind(today);
    swprintf(progress, 160, L"Read: %d of %d pages (%d%%)%ls", plan->pagesRead(),
             plan->pages().pageCount(), plan->percentRead(),
             behind > 0 ? (L"; " + std::to_wstring(behind) + L" pages behind the plan").c_str()
                        : L"");
    SetDlgItemTextW(dialog, IDC_PLAN_PROGRESS, progress);
    const std::vector<PlanDay> days = plan->schedule(today);
    LRESULT todayItem = -1;
    for (size_t d = 0; d < days.size(); ++d) {
        const LRESULT item = SendMessageW(
            list, LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(dayLine(days[d], static_cast<int>(d) + 1).c_str()));
        if (days[d].state == DayState::today) todayItem = item;
    }
    // Yesterday stays in sight above today.
    if (todayItem >= 0) {
        SendMessageW(list, LB_SETTOPINDEX, todayItem > 0 ? todayItem - 1 : 0, 0);
        SendMessageW(list, LB_SETCURSEL, todayItem, 0);
    }
}

void afterChange(HWND dialog, bool saved) {
    showPlan(dialog);
    showTodaysPortion(GetParent(dialog));
    if (!saved)
        if (DialogState* state = stateOf(dialog))
            state->prompts->tell(dialog,
                                 "The reading plan could not be saved. It stays in the reader "
                                 "until it closes.",
                                 NORAVEL_CAPTION, MB_ICONWARNING);
}

void onStart(HWND dialog) {
    BOOL number = FALSE;
    const UINT days = GetDlgItemInt(dialog, IDC_PLAN_DAYS, &number, FALSE);
    if (!number || days < kFewestPlanDays || days > kMostPlanDays) {
        MessageBoxW(dialog, L"The plan takes 1 to 365 days.", wideFromUtf8(NORAVEL_CAPTION).c_str(),
                    MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dialog, IDC_PLAN_DAYS));
        return;
    }
    SYSTEMTIME start{};
    if (SendDlgItemMessageW(dialog, IDC_PLAN_START, DTM_GETSYSTEMTIME, 0,
                            reinterpret_cast<LPARAM>(&start)) != GDT_VALID)
        return;
    DialogState* state = stateOf(dialog);
    if (readingPlan() && state &&
        !state->prompts->ask(dialog,
                             "A plan is on. Start a new one? What was read in it is forgotten.",
                             NORAVEL_CAPTION, MB_ICONQUESTION))
        return;
    PlanSettings settings;
    settings.start = {start.wYear, start.wMonth, start.wDay};
    settings.days = static_cast<int>(days);
    settings.missed = IsDlgButtonChecked(dialog, IDC_PLAN_SPREAD) == BST_CHECKED
                          ? MissedDays::spread
                          : MissedDays::carryForward;
    afterChange(dialog, startReadingPlan(settings));
}

void onCommand(HWND dialog, int id) {
    DialogState* state = stateOf(dialog);
    switch (id) {
    case IDC_PLAN_BEGIN: onStart(dialog); break;
    case IDC_PLAN_STOP:
        if (state && state->prompts->ask(dialog, "Stop the plan? What was read in it is forgotten.",
                                         NORAVEL_CAPTION, MB_ICONQUESTION))
            afterChange(dialog, stopReadingPlan());
        break;
    case IDC_PLAN_CARRY:
    case IDC_PLAN_SPREAD:
        if (readingPlan())
            afterChange(dialog, changeMissedDays(id == IDC_PLAN_SPREAD ? MissedDays::spread
                                                                       : MissedDays::carryForward));
        break;
    case IDC_PLAN_MARK_READ: afterChange(dialog, markTodaysPortionRead()); break;
    case IDC_PLAN_GO_TO:
        if (const ReadingPlan* plan = readingPlan()) {
            const PagePortion portion = plan->portionOn(readingPlanToday());
            if (state && !portion.empty()) {
                state->goTo = firstAyahOfPlanPage(portion.firstPage);
                EndDialog(dialog, IDOK);
            }
        }
        break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    }
}

void onInitDialog(HWND dialog, DialogState* state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->font.reset(createMessageFont(windowDpi(dialog)));
    if (state->font)
        EnumChildWindows(dialog, setChildFont, reinterpret_cast<LPARAM>(state->font.get()));
    SendDlgItemMessageW(dialog, IDC_PLAN_DAYS_SPIN, UDM_SETRANGE32, kFewestPlanDays, kMostPlanDays);
    SetDlgItemInt(dialog, IDC_PLAN_DAYS, 30, FALSE);
    const SYSTEMTIME today = systemTimeOf(readingPlanToday());
    SendDlgItemMessageW(dialog, IDC_PLAN_START, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&today));
    CheckRadioButton(dialog, IDC_PLAN_CARRY, IDC_PLAN_SPREAD, IDC_PLAN_CARRY);
    // The day list's columns: number, date, pages, read, state (dialog units).
    const int stops[] = {18, 90, 150, 200};
    SendDlgItemMessageW(dialog, IDC_PLAN_DAYS_LIST, LB_SETTABSTOPS, 4,
                        reinterpret_cast<LPARAM>(stops));
    showPlan(dialog);
}

INT_PTR CALLBACK planDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog, reinterpret_cast<DialogState*>(lParam)); return TRUE;
    case WM_COMMAND: onCommand(dialog, LOWORD(wParam)); return TRUE;
    }
    return FALSE;
} catch (...) { // out of memory: the dialog stays as it is
    return TRUE;
}

} // namespace

AyahRef showReadingPlanDialog(HINSTANCE instance, HWND mainWindow, Prompts& prompts) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    DialogState state;
    state.prompts = &prompts;
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_READING_PLAN), mainWindow, planDialogProc,
                        reinterpret_cast<LPARAM>(&state)) == IDOK)
        return state.goTo;
    return {};
}
