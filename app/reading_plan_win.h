// The reading plan of the user (plan logic: app/reading_plan.h), kept in
// %APPDATA%\Noravel\reading-plan.txt (format: app/reading_plan_file.h) and written like the
// bookmarks: a temporary file beside it moved over it in one step. Lines of the file that
// do not read, or the whole of a file that does not read as a plan, are appended to
// reading-plan-damaged.txt beside it and reported once.
//
// An ayah counts as read once it has been the reader's ayah for three seconds (timer
// kReadingPlanTimer of the main window); the file is then saved at most once a minute, and
// when the reader closes.
#ifndef NORAVEL_APP_READING_PLAN_WIN_H
#define NORAVEL_APP_READING_PLAN_WIN_H

#include "app/reading_plan.h"
#include "base/prompts_win.h"
#include "text/ayah_ref.h"

#include <windows.h>

#include <functional>
#include <string>

constexpr UINT_PTR kReadingPlanTimer = 340;
constexpr UINT kReadingPlanReadAfterMs = 3000;

// The mushaf's pages, given once at start (after the text store is loaded): the first
// ayah of each page 1..pageCount. False when they do not make a table; the plan is then
// not offered.
bool useReadingPlanPages(const std::function<AyahRef(int page)>& firstAyahOfPage, int pageCount);

std::wstring readingPlanFilePath();
std::wstring damagedReadingPlanFilePath();

// Reads the plan file, sets damaged lines aside and reports them once, enables the
// Reading plan menu item of mainWindow and, when a plan is on, shows today's portion in
// the status bar.
void loadReadingPlan(HWND mainWindow, Prompts& prompts);

// The plan in force, or null; the user's local date as a day number.
const ReadingPlan* readingPlan();
long readingPlanToday();
// "Today: pages 41–60, 2:203 – 3:14" and the like; "" without a plan.
std::wstring todaysPortionText();

// The reader shows an ayah (restarts the timer), and the timer fires (the ayah is read).
void readingPlanAyahShown(HWND mainWindow, AyahRef ayah);
void readingPlanTimer(HWND mainWindow);
// Saves what is not saved yet (the reader closes); true when nothing is left unsaved.
bool saveReadingPlanNow();

// What the dialog changes; each saves at once and returns whether it was saved.
bool startReadingPlan(const PlanSettings& settings);
bool stopReadingPlan();
bool changeMissedDays(MissedDays missed);
bool markTodaysPortionRead();
// The first ayah of a page of the plan's table, or {0, 0}.
AyahRef firstAyahOfPlanPage(int page);
// Today's portion in the status bar of mainWindow (after what part 1 shows, if anything).
void showTodaysPortion(HWND mainWindow);

// Plan > Reading plan...: the dialog (290). Returns the ayah to go to (its Go to today's
// portion button), else {0, 0}.
AyahRef showReadingPlanDialog(HINSTANCE instance, HWND mainWindow, Prompts& prompts);

// For tests: called between writing the temporary file and moving it over the plan file.
void setReadingPlanSavePause(void (*pause)());

#endif
