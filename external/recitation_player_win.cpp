#include "external/recitation_player_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "app/version.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "external/recitation_rules.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

// The report may name a path beside the program, in UTF-8.
void showFailureBox(const char* text) {
    showUtf8MessageBox(process.mainWindow, text, NORAVEL_CAPTION, MB_OK | MB_ICONERROR);
}

// Command lines name two paths beside the program, quoted, and a few numbers.
constexpr size_t kCommandLineBytes = 2 * kUtf8PathBytes + 64;

// The recitation's state; the player's process handle itself is process.playerProcess,
// which the entry routine terminates at exit.
struct Recitation_ {
    RecitationFailureReporter report = showFailureBox;
    // Every start gets a new number; a worker marks only its own playback as finished,
    // so a late worker of a stopped playback cannot end a newer one.
    volatile LONG playback = 0;
    volatile LONG finishedPlayback = 0;
    bool running = false;
    bool polled = false; // no worker could be started: the tick looks at the process itself
    bool continuous = false;
    DWORD timeBase = 0;
    char mp3Path[kUtf8PathBytes] = ""; // UTF-8
};

Recitation_ state;

struct WorkerTask {
    HANDLE player; // the worker's own duplicate, closed by the worker
    LONG playback;
};

DWORD WINAPI waitForPlayer(LPVOID parameter) {
    WorkerTask* task = static_cast<WorkerTask*>(parameter);
    WaitForSingleObject(task->player, INFINITE);
    InterlockedExchange(&state.finishedPlayback, task->playback);
    CloseHandle(task->player);
    delete task;
    return 0;
}

HWND control(int id) {
    return GetDlgItem(process.mainWindow, id);
}

void setListenCaption(const char* caption) {
    SetWindowTextA(control(IDC_LISTEN), caption);
}

bool continueTicked() {
    return SendMessageA(control(IDC_CONTINUE), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int selectedScope() {
    return static_cast<int>(SendMessageA(control(IDC_RECITATION_SCOPE), CB_GETCURSEL, 0, 0)) + 1;
}

// Closes the handle of the last player; terminates it first when it may still play.
void releasePlayer(bool terminate) {
    if (!process.playerProcess) return;
    if (terminate) TerminateProcess(process.playerProcess, 1);
    CloseHandle(process.playerProcess);
    process.playerProcess = nullptr;
}

void reportf(const char* format, const char* argument) {
    char text[kUtf8PathBytes + 256];
    std::snprintf(text, sizeof text, format, argument);
    if (state.report) state.report(text);
}

// Starts a companion program from its UTF-8 command line (the program's path quoted in
// it), in the program folder as its working folder; on success the caller owns the
// returned handles.
bool startProgram(const char* commandLine, WORD showWindow, PROCESS_INFORMATION* started) {
    *started = PROCESS_INFORMATION{};
    std::wstring wide = wideFromUtf8(commandLine);
    if (wide.empty()) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    // CreateProcessW may write into the command line: it gets a copy of its own.
    const wchar_t* folder = process.programDirectory[0] ? process.programDirectory : nullptr;
    return CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                          started) != FALSE;
}

// The end of a playback: back to idle.
void endPlayback() {
    KillTimer(process.mainWindow, kRecitationTimer);
    setListenCaption("Listen");
    state.running = false;
}

bool playerFinished() {
    if (state.finishedPlayback == state.playback) return true;
    return state.polled && process.playerProcess &&
           WaitForSingleObject(process.playerProcess, 0) == WAIT_OBJECT_0;
}

} // namespace

void RecitationPlayer::start() {
    setListenCaption("Stop");
    const int surah = currentSurah();
    const int ayah = currentAyah();
    const Recitation timing = TextStore::recitation(surah, ayah);
    formatMp3Path(state.mp3Path, sizeof state.mp3Path, process.programDirectoryUtf8,
                  timing.file ? timing.file : "");
    state.continuous = continueTicked();
    char commandLine[kCommandLineBytes];
    formatPlayerCommandLine(commandLine, sizeof commandLine, process.programDirectoryUtf8,
                            state.mp3Path, timing.startMs, timing.endMs, state.continuous);

    // Only one player plays at a time.
    releasePlayer(true);
    KillTimer(process.mainWindow, kRecitationTimer);
    const LONG playback = InterlockedIncrement(&state.playback);

    PROCESS_INFORMATION started;
    if (!startProgram(commandLine, SW_HIDE, &started)) {
        // No worker, no timer: the reading ends here, also with "Continue".
        endPlayback();
        reportf("The recitation player could not be started:\n%s\\zemplay.exe",
                process.programDirectoryUtf8);
        return;
    }
    CloseHandle(started.hThread);
    process.playerProcess = started.hProcess;
    state.timeBase = GetTickCount() - static_cast<DWORD>(timing.startMs);
    state.running = true;
    state.polled = false;

    HANDLE forWorker = nullptr;
    WorkerTask* task = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), started.hProcess, GetCurrentProcess(), &forWorker,
                        SYNCHRONIZE, FALSE, 0))
        task = new (std::nothrow) WorkerTask{forWorker, playback};
    HANDLE worker = task ? CreateThread(nullptr, 0, waitForPlayer, task, 0, nullptr) : nullptr;
    if (worker) {
        CloseHandle(worker);
    } else {
        delete task;
        if (forWorker) CloseHandle(forWorker);
        state.polled = true;
    }
    SetTimer(process.mainWindow, kRecitationTimer, kRecitationTimerPeriodMs, nullptr);
}

void RecitationPlayer::stop() {
    setListenCaption("Listen");
    KillTimer(process.mainWindow, kRecitationTimer);
    releasePlayer(true);
    state.running = false;
}

void RecitationPlayer::onTimer() {
    if (!state.running) {
        // A tick that was already queued when the recitation ended.
        KillTimer(process.mainWindow, kRecitationTimer);
        return;
    }
    state.continuous = continueTicked();
    const int position = static_cast<int>(GetTickCount() - state.timeBase);

    if (playerFinished()) {
        DWORD exitCode = 0;
        const bool failed = process.playerProcess &&
                            GetExitCodeProcess(process.playerProcess, &exitCode) && exitCode != 0;
        releasePlayer(false);
        endPlayback();
        if (failed) {
            // A player that could not play (missing or broken file, no sound output) ends
            // the reading; continuing would start a failing player every second.
            reportf("The recitation player could not play\n%s", state.mp3Path);
            return;
        }
        if (!state.continuous) return;
        const int surah = currentSurah();
        const int ayah = currentAyah();
        const int count = TextStore::ayahCount(surah);
        const AyahRef next = ayahAfter(surah, ayah, selectedScope(), count);
        if (next.surah == surah && next.ayah == ayah + 1) {
            SendMessageA(control(IDC_AYAH_LIST), CB_SETCURSEL, next.ayah - 1, 0);
            showAyah(next.surah, next.ayah);
        } else {
            selectAyah(next.surah, next.ayah);
        }
        start();
        return;
    }

    if (!state.continuous) return;
    const char* name = std::strrchr(state.mp3Path, '\\');
    const int k = followedAyah(state.mp3Path, position, textStoreTiming());
    if (k == 0 || !name) return;
    if (currentAyah() != k) {
        // The surah of the file: the number its name starts with.
        selectAyah(std::atoi(name + 1), k);
    }
}

void RecitationPlayer::onListenCommand() {
    char caption[260] = "";
    GetWindowTextA(control(IDC_LISTEN), caption, sizeof caption);
    if (std::strcmp(caption, "Stop") == 0)
        stop();
    else
        start();
}

void RecitationPlayer::launchTajwid() {
    char commandLine[kCommandLineBytes];
    if (!formatTajwidCommandLine(commandLine, sizeof commandLine, process.programDirectoryUtf8))
        return;
    PROCESS_INFORMATION started;
    if (!startProgram(commandLine, SW_SHOWMAXIMIZED, &started)) {
        reportf("The tajwid program could not be started:\n%s\\morvent.exe",
                process.programDirectoryUtf8);
        return;
    }
    // Nothing is kept of it: every click starts another instance.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

bool RecitationPlayer::playing() {
    return state.running;
}

void RecitationPlayer::setFailureReporter(RecitationFailureReporter reporter) {
    state.report = reporter;
}

void RecitationPlayer::resetFailureReporter() {
    state.report = showFailureBox;
}
