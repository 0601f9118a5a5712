#include "recitation/recitation_player_win.h"

#include "base/wide_text_win.h"
#include "recitation/listen_ahead.h"
#include "recitation/listen_ahead_win.h"
#include "recitation/memorise_settings_win.h"
#include "recitation/play_plan.h"
#include "recitation/recitation_dialog_win.h"
#include "recitation/recitation_rules.h"
#include "recitation/reciter_catalogue.h"
#include "recitation/reciter_choice_win.h"
#include "recitation/reciter_menu_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// A path the system takes, in UTF-8 (at most three bytes per UTF-16 unit).
constexpr size_t kPathBytes = 3 * MAX_PATH;
// Command lines name two paths, quoted, and a few numbers.
constexpr size_t kCommandLineBytes = 2 * kPathBytes + 64;
// A message names up to three paths beside its words.
constexpr size_t kMessageBytes = 3 * kPathBytes + 512;

// A player started ahead for the ayah after the one playing, waiting on its go event; it
// is the reader's until it plays or is ended.
struct WaitingPlayer {
    HANDLE process = nullptr;
    HANDLE go = nullptr;
    HANDLE soundStarted = nullptr;
    HANDLE soundFinished = nullptr;
    int surah = 0;
    int ayah = 0;
    char commandLine[kCommandLineBytes] = "";
};

// What the workers mark about the playbacks (see Recitation_).
struct PlaybackMarks {
    RisingMark finishedPlayback;
    RisingMark playedThrough;
    RisingMark soundStarted;
};

// The recitation's state.
struct Recitation_ {
    // Every start gets a new number; workers mark the numbers of ended playbacks, of those
    // whose player said its sound played to the end, and (playback << 32) | tick count at
    // which that playback's sound started. The marks outlive the recitation for as long
    // as a worker still holds them.
    volatile LONG playback = 0;
    std::shared_ptr<PlaybackMarks> marks = std::make_shared<PlaybackMarks>();
    bool running = false;
    bool polled = false; // no worker could be started: the tick looks at the process itself
    bool continuous = false;
    bool following = false; // the display follows the timing table through the file
    bool perAyah = false;   // an ayah's own recording plays
    LONG preparedFor = 0;   // the playback for which the next player was started ahead
    WaitingPlayer waiting;
    DWORD launchedAt = 0; // tick count when the player was started
    int startMs = 0;      // where in the file it starts
    int surah = 0;        // the ayah being recited
    int ayah = 0;
    int recitedTimes = 0; // times that ayah has been recited in a row before this playback
    char mp3Path[kPathBytes] = "";
};

struct WorkerTask {
    std::shared_ptr<PlaybackMarks> marks;
    HANDLE player;        // the worker's own duplicate, closed by the worker
    HANDLE soundStarted;  // the player's started event, or null; closed by the worker
    HANDLE soundFinished; // and its finished event
    LONG playback;
    HWND window; // gets a tick at once when the player ends
};

DWORD WINAPI waitForPlayer(LPVOID parameter) {
    WorkerTask* task = static_cast<WorkerTask*>(parameter);
    bool ended = false;
    if (task->soundStarted) {
        HANDLE both[2] = {task->player, task->soundStarted};
        ended = WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0 + 1;
        if (!ended) {
            const DWORD now = GetTickCount();
            task->marks->soundStarted.raise((static_cast<long long>(task->playback) << 32) | now);
            // The tick starts the next ayah's player ahead.
            PostMessageW(task->window, WM_TIMER, kRecitationTimer, 0);
        }
        CloseHandle(task->soundStarted);
    }
    if (!ended) {
        // The player's sound has played to its end when it says so: its output's closing
        // and its process's end are no part of the silence before the next ayah.
        HANDLE both[2] = {task->player, task->soundFinished};
        if (WaitForMultipleObjects(task->soundFinished ? 2 : 1, both, FALSE, INFINITE) ==
            WAIT_OBJECT_0 + 1)
            task->marks->playedThrough.raise(task->playback);
    }
    if (task->soundFinished) CloseHandle(task->soundFinished);
    task->marks->finishedPlayback.raise(task->playback);
    // The next ayah of a continuous reading starts now rather than at the next tick of the
    // timer: the silence between ayat is the next player's start alone.
    PostMessageW(task->window, WM_TIMER, kRecitationTimer, 0);
    CloseHandle(task->player);
    delete task;
    return 0;
}

// A recording read whole, when it is at most 64 MB.
bool readSmallFile(const char* utf8Path, std::vector<uint8_t>& bytes) {
    const std::wstring path = wideFromUtf8(utf8Path);
    if (path.empty()) return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= (64 << 20);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
             got == bytes.size();
    }
    CloseHandle(file);
    return ok;
}

bool fileExists(const char* utf8Path) {
    const std::wstring path = wideFromUtf8(utf8Path);
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a refused process start may succeed when tried again: not when the program is
// missing, not allowed or not a program.
bool mayStartOnRetry(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY: return false;
    default: return true;
    }
}
constexpr DWORD kStartRetryDelayMs = 50;
// How often a Listen that waits for its file looks whether it has come.
constexpr UINT kFetchPollMs = 100;

} // namespace

struct RecitationPlayer::State {
    State(const ProgramContext& programContext, RecitationHost& readerHost)
        : context(programContext), host(readerHost) {}

    const ProgramContext& context;
    RecitationHost& host;
    Recitation_ state;
    HANDLE player = nullptr; // the playing player's process
    // Listening with a built-in reciter fetches what is not on disk (listenAhead...).
    ListenAhead ahead;
    bool fetching = false; // the Listen waits for `awaited` to arrive
    AyahOfSurah awaited{0, 0};
    bool inBasmala = false;    // the basmala plays before state.ayah
    bool afterBasmala = false; // state.ayah follows its basmala
    // A reading for memorising: its settings as Listen found them, the range's plan (with
    // Continue and a range set) and the step playing; a pause under way ends at pauseEnd.
    MemoriseSettings memorise;
    std::unique_ptr<PlayPlan> plan;
    PlayStep step;
    bool pausing = false;
    DWORD pauseEnd = 0;
    bool statusShown = false; // the status bar shows a text of the recitation's

    HWND window() const { return host.window(); }

    const char* folderUtf8() const { return context.programDirectoryUtf8.c_str(); }

    HWND control(int id) { return GetDlgItem(window(), id); }

    void setListenCaption(const wchar_t* caption) { SetWindowTextW(control(IDC_LISTEN), caption); }

    bool continueTicked() {
        return SendMessageW(control(IDC_CONTINUE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    int selectedScope() {
        return static_cast<int>(SendMessageW(control(IDC_RECITATION_SCOPE), CB_GETCURSEL, 0, 0)) +
               1;
    }

    HANDLE& playerProcess() { return player; }

    // Closes the handle of the last player; terminates it first when it may still play.
    void releasePlayer(bool terminate) {
        HANDLE& player = playerProcess();
        if (!player) return;
        if (terminate) TerminateProcess(player, 1);
        CloseHandle(player);
        player = nullptr;
    }

    // Ends the player waiting for its turn, if there is one.
    void discardWaiting() {
        WaitingPlayer& w = state.waiting;
        if (w.process) {
            TerminateProcess(w.process, 1);
            CloseHandle(w.process);
        }
        if (w.go) CloseHandle(w.go);
        if (w.soundStarted) CloseHandle(w.soundStarted);
        if (w.soundFinished) CloseHandle(w.soundFinished);
        w = WaitingPlayer{};
    }

    void report(const char* text) {
        context.prompts->tell(window(), text, NORAVEL_CAPTION, MB_ICONERROR);
    }

    // Says that there is nothing to play and offers the Recitation dialog, where the user
    // chooses a folder or downloads a recitation.
    void offerRecitationDialog(const char* text) {
        if (context.prompts->ask(window(), text, NORAVEL_CAPTION, MB_ICONQUESTION))
            host.openRecitationDialog();
    }

    void reportf(const char* format, const char* argument) {
        char text[kMessageBytes];
        std::snprintf(text, sizeof text, format, argument);
        report(text);
    }

    // Starts a companion program from its UTF-8 command line (the program's path quoted in
    // it), in the program folder as its working folder; on success the caller owns the
    // returned handles.
    bool startProgram(const char* commandLine, WORD showWindow, DWORD startFlags,
                      DWORD creationFlags, PROCESS_INFORMATION* started) {
        *started = PROCESS_INFORMATION{};
        std::wstring wide = wideFromUtf8(commandLine);
        if (wide.empty()) return false;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | startFlags;
        startup.wShowWindow = showWindow;
        // CreateProcessW may write into the command line: it gets a copy of its own.
        const wchar_t* folder =
            context.programDirectory.empty() ? nullptr : context.programDirectory.c_str();
        // A start refused for a reason that says nothing of the program itself (the system short
        // of resources for a moment, as under a burst of starts) is tried once more.
        for (int attempt = 0; attempt < 2; ++attempt) {
            std::wstring line = wide;
            if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                               folder, &startup, started))
                return true;
            if (!mayStartOnRetry(GetLastError())) break;
            Sleep(kStartRetryDelayMs);
        }
        return false;
    }

    // The end of a playback: back to idle.
    void endPlayback() {
        KillTimer(window(), kRecitationTimer);
        setListenCaption(L"Listen");
        state.running = false;
    }

    bool playerFinished() {
        if (state.marks->finishedPlayback.value() >= state.playback) return true;
        HANDLE player = playerProcess();
        return state.polled && player && WaitForSingleObject(player, 0) == WAIT_OBJECT_0;
    }

    // Milliseconds into the file now: from the moment the player's sound started when it said
    // so, else from the moment it was started.
    int positionInFile() {
        const long long started = state.marks->soundStarted.value();
        const bool signalled = static_cast<LONG>(started >> 32) == state.playback;
        const DWORD base = signalled ? static_cast<DWORD>(started & 0xFFFFFFFF) : state.launchedAt;
        // At another speed the file goes by faster or slower than the clock.
        const long long played =
            static_cast<long long>(GetTickCount() - base) * speedPercent() / 100;
        return static_cast<int>(played) + state.startMs;
    }

    // The command line that plays the ayah's own recording whole, when it has one: the chosen
    // reciter's folder first, then the places recordings were kept before reciters had folders.
    bool perAyahCommandLine(char* commandLine, size_t size, char* mp3Path, size_t mp3Size,
                            const char* recitationFolder, int surah, int ayah) {
        const std::string reciterFolder = reciterFolderOnDisk(reciterInForce());
        const bool found =
            (!reciterFolder.empty() && reciterFolder != recitationFolder &&
             formatAyahFilePath(mp3Path, mp3Size, reciterFolder.c_str(), surah, ayah) &&
             fileExists(mp3Path)) ||
            findAyahRecording(mp3Path, mp3Size, recitationFolder, folderUtf8(), surah, ayah,
                              fileExists);
        return found &&
               formatPlayerCommandLine(commandLine, size, folderUtf8(), mp3Path, 0, 0, true) &&
               appendSpeedArgument(commandLine, size, speedPercent());
    }

    // Names the command line of the ayah's recording: its own file whole, or the timing
    // table's file from the ayah's start. False when there is none; then `nothingToPlay` says
    // where it looked.
    bool choosePlayerCommandLine(char* commandLine, size_t size, int surah, int ayah,
                                 char (&nothingToPlay)[kMessageBytes]) {
        nothingToPlay[0] = '\0';
        const std::string recitationFolder = recitationFolderInUse();
        state.startMs = 0;
        state.following = false;
        state.perAyah = perAyahCommandLine(commandLine, size, state.mp3Path, sizeof state.mp3Path,
                                           recitationFolder.c_str(), surah, ayah);
        if (state.perAyah) return true;

        const Recitation timing = TextStore::recitation(surah, ayah);
        if (!timing.file ||
            !formatMp3Path(state.mp3Path, sizeof state.mp3Path, folderUtf8(), timing.file) ||
            !fileExists(state.mp3Path)) {
            formatNoRecording(nothingToPlay, sizeof nothingToPlay, surah, ayah,
                              recitationFolder.c_str(), folderUtf8(), timing.file);
            return false;
        }
        const int repeats = validAyahRepeats(readRepeatEachAyah());
        // A range or pauses need each ayah's own span.
        state.following = state.continuous && followsWholeFile(selectedScope(), repeats) && !plan &&
                          memorise.pauses.afterAyah == AyahPause::kNone;
        state.startMs = timing.startMs;
        return formatPlayerCommandLine(commandLine, size, folderUtf8(), state.mp3Path,
                                       timing.startMs, timing.endMs, state.following) &&
               appendSpeedArgument(commandLine, size, speedPercent());
    }

    HANDLE makePlayerEvent(bool (*formatName)(char*, size_t, unsigned long), DWORD processId) {
        char name[64];
        if (!formatName(name, sizeof name, processId)) return nullptr;
        const std::wstring wide = wideFromUtf8(name);
        return CreateEventW(nullptr, TRUE, FALSE, wide.c_str());
    }

    // Starts the hidden player; `soundStarted` and `soundFinished` get its started and finished
    // events (or null). It is started
    // suspended, so that its events (named after its process id) exist before it can look for
    // them. With `go` it is started ahead and waits until that event is set; it is not started
    // when that event cannot be made.
    HANDLE startPlayer(const char* commandLine, HANDLE* soundStarted, HANDLE* soundFinished,
                       HANDLE* go) {
        *soundStarted = nullptr;
        *soundFinished = nullptr;
        PROCESS_INFORMATION started;
        if (!startProgram(commandLine, SW_HIDE, STARTF_FORCEOFFFEEDBACK, CREATE_SUSPENDED,
                          &started))
            return nullptr;
        if (go) {
            *go = makePlayerEvent(formatPlayerGoEventName, started.dwProcessId);
            if (!*go) {
                TerminateProcess(started.hProcess, 1);
                CloseHandle(started.hThread);
                CloseHandle(started.hProcess);
                return nullptr;
            }
        }
        *soundStarted = makePlayerEvent(formatPlayerStartedEventName, started.dwProcessId);
        *soundFinished = makePlayerEvent(formatPlayerFinishedEventName, started.dwProcessId);
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        return started.hProcess;
    }

    void watchPlayer(HANDLE player, HANDLE soundStarted, HANDLE soundFinished, LONG playback) {
        HANDLE forWorker = nullptr;
        WorkerTask* task = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), player, GetCurrentProcess(), &forWorker,
                            SYNCHRONIZE, FALSE, 0))
            task = new (std::nothrow)
                WorkerTask{state.marks, forWorker, soundStarted, soundFinished, playback, window()};
        HANDLE worker = task ? CreateThread(nullptr, 0, waitForPlayer, task, 0, nullptr) : nullptr;
        if (worker) {
            CloseHandle(worker);
            return;
        }
        delete task;
        if (forWorker) CloseHandle(forWorker);
        if (soundStarted) CloseHandle(soundStarted);
        if (soundFinished) CloseHandle(soundFinished);
        state.polled = true;
    }

    // The playing player from now on: the host keeps its handle, a worker waits for it, and the
    // timer looks at it.
    void watchPlayback(HANDLE process, HANDLE soundStarted, HANDLE soundFinished, LONG playback) {
        playerProcess() = process;
        state.launchedAt = GetTickCount();
        state.running = true;
        state.polled = false;
        watchPlayer(process, soundStarted, soundFinished, playback);
        SetTimer(window(), kRecitationTimer, kRecitationTimerPeriodMs, nullptr);
    }

    // Lets the waiting player play when it was started for this command line.
    bool playWaiting(const char* commandLine, LONG playback) {
        WaitingPlayer& w = state.waiting;
        if (!w.process || std::strcmp(w.commandLine, commandLine) != 0) return false;
        SetEvent(w.go);
        CloseHandle(w.go);
        watchPlayback(w.process, w.soundStarted, w.soundFinished, playback);
        w = WaitingPlayer{};
        return true;
    }

    // The speed chosen now (Ctrl+[ and Ctrl+] change it while a reading goes on).
    int speedPercent() const { return readMemoriseSettings().speedPercent; }

    // Ends a pause under way (without going on) and clears its countdown.
    void endPause() {
        if (!pausing) return;
        pausing = false;
        showSpeedStatus();
    }

    // The status bar's text is cleared only when it was the recitation's: at the defaults the
    // recitation leaves the status bar alone.
    void showStatus(const char* text) {
        if (text[0] || statusShown) host.showRecitationStatus(text);
        statusShown = text[0] != '\0';
    }

    void showSpeedStatus() {
        char text[64];
        formatSpeedStatus(text, sizeof text, speedPercent());
        showStatus(text);
    }

    // Recites (surah, ayah), which the display shows; `recitedTimes` counts the recitations
    // of that ayah just before this one.
    void recite(int surah, int ayah, int recitedTimes, bool basmalaPlayed = false) {
        endPause();
        setListenCaption(L"Stop");
        state.surah = surah;
        state.ayah = ayah;
        state.recitedTimes = recitedTimes;
        state.continuous = continueTicked();

        // Only one player plays at a time.
        releasePlayer(true);
        KillTimer(window(), kRecitationTimer);
        const LONG playback = InterlockedIncrement(&state.playback);
        const AyahOfSurah file = fileToPlay(surah, ayah, recitedTimes, basmalaPlayed);
        if (awaitFile(file)) return;

        char commandLine[kCommandLineBytes];
        char nothingToPlay[kMessageBytes];
        if (!choosePlayerCommandLine(commandLine, sizeof commandLine, file.surah, file.ayah,
                                     nothingToPlay)) {
            discardWaiting();
            endPlayback(); // nothing to play: no player, no timer
            if (nothingToPlay[0]) offerRecitationDialog(nothingToPlay);
            return;
        }
        if (playWaiting(commandLine, playback)) return;
        discardWaiting();
        HANDLE soundStarted = nullptr;
        HANDLE soundFinished = nullptr;
        HANDLE player = startPlayer(commandLine, &soundStarted, &soundFinished, nullptr);
        if (!player) {
            // No worker, no timer: the reading ends here, also with "Continue".
            endPlayback();
            reportf("The recitation player could not be started:\n%s\\zemplay.exe", folderUtf8());
            return;
        }
        watchPlayback(player, soundStarted, soundFinished, playback);
    }

    // The basmala before ayah 1 of a surah (not 1 or 9, not on a repeat) with a built-in
    // reciter, whose 1:1 is its basmala; else the ayah's own file. Recordings kept as before
    // reciters were built in play as they always did.
    AyahOfSurah fileToPlay(int surah, int ayah, int recitedTimes, bool basmalaPlayed) {
        afterBasmala = basmalaPlayed;
        inBasmala = false;
        if (basmalaPlayed || !beginsWithBasmala(surah, ayah, recitedTimes)) return {surah, ayah};
        inBasmala = findReciter(reciterInForce().c_str()) != nullptr && !keptTheOldWay(surah, ayah);
        return inBasmala ? kBasmalaFile : AyahOfSurah{surah, ayah};
    }

    // The ayah's recording lies where recordings were kept before reciters had folders, and
    // not in the chosen reciter's: it plays as it always did, without a basmala fetched for it.
    bool keptTheOldWay(int surah, int ayah) {
        char path[kPathBytes];
        const std::string reciterFolder = reciterFolderOnDisk(reciterInForce());
        if (!reciterFolder.empty() &&
            formatAyahFilePath(path, sizeof path, reciterFolder.c_str(), surah, ayah) &&
            fileExists(path))
            return false;
        return findAyahRecording(path, sizeof path, recitationFolderInUse().c_str(), folderUtf8(),
                                 surah, ayah, fileExists);
    }

    // Keeps the file about to play and the next few (in play order) coming from the chosen
    // built-in reciter's archive folder.
    void listenAhead(const std::string& choice) {
        const std::vector<AyahOfSurah> files = filesInPlayOrder(
            state.surah, state.ayah, afterBasmala ? 1 : state.recitedTimes, state.continuous,
            selectedScope(), 1 + kFilesAhead, TextStore::ayahCount);
        ahead.want(files, reciterFolderOnDisk(choice), reciterAddressTemplate(choice),
                   downloadConnectionsInForce());
    }

    // With a built-in reciter a file that is not on disk is fetched: true while the Listen
    // waits for it (the tick plays it once it is whole). The reader stays usable meanwhile.
    bool awaitFile(const AyahOfSurah& file) {
        const std::string choice = reciterInForce();
        if (!findReciter(choice.c_str())) return false;
        listenAhead(choice);
        char commandLine[kCommandLineBytes];
        char mp3Path[kPathBytes];
        if (perAyahCommandLine(commandLine, sizeof commandLine, mp3Path, sizeof mp3Path,
                               recitationFolderInUse().c_str(), file.surah, file.ayah))
            return false;
        discardWaiting();
        fetching = true;
        awaited = file;
        state.running = true;
        SetTimer(window(), kRecitationTimer, kFetchPollMs, nullptr);
        return true;
    }

    // A tick while the Listen waits for its file.
    void onFetchTick() {
        std::string reason;
        switch (ahead.stateOf(awaited, &reason)) {
        case ListenAhead::FileState::OnDisk:
            fetching = false;
            recite(state.surah, state.ayah, state.recitedTimes, afterBasmala);
            return;
        case ListenAhead::FileState::Coming: return;
        case ListenAhead::FileState::NotAsked: listenAhead(reciterInForce()); return;
        case ListenAhead::FileState::Failed: break;
        }
        fetching = false;
        endPlayback();
        const Reciter* reciter = findReciter(reciterInForce().c_str());
        char text[kMessageBytes];
        std::snprintf(text, sizeof text,
                      "The recitation of %d:%d by %s could not be fetched (%s).\n\n"
                      "Open the Recitation window?",
                      state.surah, state.ayah, reciter ? reciter->latinName : "the reciter",
                      reason.c_str());
        offerRecitationDialog(text);
    }

    // Where a continuous reading goes when the ayah shown has been recited; `recited` gets how
    // many times in a row that makes.
    AyahRef nextToRecite(int* recited) {
        const AyahRef shown = host.shownAyah();
        const int surah = shown.surah;
        const int ayah = shown.ayah;
        const bool sameAyah = surah == state.surah && ayah == state.ayah;
        *recited = (sameAyah ? state.recitedTimes : 0) + 1;
        if (plan) return nextStep(shown).ayah;
        const int repeats = validAyahRepeats(readRepeatEachAyah());
        return ayahToReciteNext(surah, ayah, *recited, selectedScope(), repeats,
                                TextStore::ayahCount(surah));
    }

    // The range's step after the one that played; no ayah when the range has been read or
    // another ayah outside it was chosen meanwhile. A chosen ayah inside it goes on there.
    PlayStep nextStep(AyahRef shown) const {
        PlayStep next;
        next.ayah = AyahRef{};
        if (shown != step.ayah) {
            if (!plan->contains(shown)) return next;
            next = step;
            next.ayah = shown;
            next.repeat = 1;
            return next;
        }
        if (!plan->next(step, &next)) next.ayah = AyahRef{};
        return next;
    }

    // After a recitation of a continuous reading that played for `playedMs`: leaves the
    // chosen pause before the next one, counted down in the status bar. False when there is
    // none to leave (or no next recitation to leave it before).
    bool beginPause(int playedMs) {
        bool endedPass = false;
        if (plan) {
            if (!nextStep(host.shownAyah()).ayah.valid()) return false;
            endedPass = plan->endsPass(step);
        }
        const int ms = pauseAfterMs(memorise.pauses, playedMs, endedPass);
        if (ms <= 0) return false;
        pausing = true;
        pauseEnd = GetTickCount() + static_cast<DWORD>(ms);
        state.running = true;
        setListenCaption(L"Stop");
        tickPause();
        return true;
    }

    // A tick during a pause: the countdown, or at its end the next recitation.
    void tickPause() {
        const int remaining = static_cast<int>(pauseEnd - GetTickCount());
        if (remaining <= 0 || !continueTicked()) {
            const bool goOn = continueTicked();
            endPause();
            KillTimer(window(), kRecitationTimer);
            state.running = false;
            setListenCaption(L"Listen");
            if (goOn) {
                continueReading();
            } else {
                discardWaiting(); // unticking Continue ends the reading, as during a recitation
            }
            return;
        }
        char text[64];
        formatPauseStatus(text, sizeof text, remaining);
        showStatus(text);
        // The next tick at the next whole second of the countdown, or at its end.
        const int untilNextSecond = remaining % 1000 ? remaining % 1000 : 1000;
        SetTimer(window(), kRecitationTimer, static_cast<UINT>(untilNextSecond), nullptr);
    }

    // While an ayah's own recording plays in a continuous reading, once its sound has started,
    // the player of the ayah after it is started ahead to wait for its turn: its sound then
    // follows this one's without a program start between them. One try per playback.
    void startNextPlayerAhead() {
        if (!state.continuous || !state.perAyah || state.polled || state.waiting.process ||
            state.preparedFor == state.playback || inBasmala)
            return;
        if (static_cast<LONG>(state.marks->soundStarted.value() >> 32) != state.playback) return;
        state.preparedFor = state.playback;
        int recited = 0;
        const AyahRef next = nextToRecite(&recited);
        if (!next.valid()) return;
        // Ayah 1 of the next surah waits for its basmala.
        if (beginsWithBasmala(next.surah, next.ayah, next == host.shownAyah() ? recited : 0))
            return;
        WaitingPlayer& w = state.waiting;
        char mp3Path[kPathBytes];
        const std::string recitationFolder = recitationFolderInUse();
        if (!perAyahCommandLine(w.commandLine, sizeof w.commandLine, mp3Path, sizeof mp3Path,
                                recitationFolder.c_str(), next.surah, next.ayah))
            return; // it is looked for again when its turn comes
        w.process = startPlayer(w.commandLine, &w.soundStarted, &w.soundFinished, &w.go);
        if (!w.process) {
            w = WaitingPlayer{};
            return;
        }
        w.surah = next.surah;
        w.ayah = next.ayah;
    }

    // After a playback that ended well, with Continue: the next ayah (or the same again) and
    // its recitation.
    void continueReading() {
        const AyahRef shown = host.shownAyah();
        const int surah = shown.surah;
        const int ayah = shown.ayah;
        int recited = 0;
        if (plan) {
            const PlayStep following = nextStep(shown);
            if (!following.ayah.valid()) {
                // The range has been read (or an ayah outside it chosen): the reading ends.
                discardWaiting();
                return;
            }
            step = following;
        }
        const AyahRef next = plan ? step.ayah : nextToRecite(&recited);
        if (plan) recited = step.repeat - 1;
        // A player waiting for this ayah plays now, before the display changes: recite takes
        // it over when its command line is still the one to play, and ends it otherwise.
        if (state.waiting.go && state.waiting.surah == next.surah &&
            state.waiting.ayah == next.ayah)
            SetEvent(state.waiting.go);
        if (next.surah == surah && next.ayah == ayah) {
            recite(surah, ayah, recited);
            return;
        }
        if (next.surah == surah && next.ayah == ayah + 1) {
            SendMessageW(control(IDC_AYAH_LIST), CB_SETCURSEL, next.ayah - 1, 0);
            host.showAyah(next);
        } else {
            host.goToAyah(next);
        }
        recite(next.surah, next.ayah, 0);
    }

    void start() {
        AyahRef shown = host.shownAyah();
        memorise = readMemoriseSettings();
        plan.reset();
        if (memorise.hasRange() && continueTicked()) {
            plan = std::make_unique<PlayPlan>(memorise.rangeFrom, memorise.rangeTo, memorise.passes,
                                              validAyahRepeats(readRepeatEachAyah()),
                                              TextStore::ayahCount);
            step = plan->start(shown);
            if (step.ayah != shown) {
                host.goToAyah(step.ayah);
                shown = step.ayah;
            }
        }
        showSpeedStatus();
        recite(shown.surah, shown.ayah, 0);
    }

    void stop() {
        fetching = false;
        ahead.cancel();
        endPause();
        setListenCaption(L"Listen");
        KillTimer(window(), kRecitationTimer);
        discardWaiting();
        releasePlayer(true);
        state.running = false;
    }

    void onTimer() {
        if (!state.running) {
            // A tick that was already queued when the recitation ended.
            KillTimer(window(), kRecitationTimer);
            return;
        }
        if (pausing) {
            tickPause();
            return;
        }
        state.continuous = continueTicked();
        if (fetching) {
            onFetchTick();
            return;
        }

        if (playerFinished()) {
            DWORD exitCode = 0;
            HANDLE player = playerProcess();
            // A player that said its sound played to the end may still be closing its output:
            // it ends by itself, and its exit code is not yet known.
            const bool playedThrough = state.marks->playedThrough.value() >= state.playback;
            const bool failed = !playedThrough && player && GetExitCodeProcess(player, &exitCode) &&
                                exitCode != kPlayerPlayed;
            releasePlayer(false);
            endPlayback();
            if (failed || !state.continuous) discardWaiting();
            if (failed) {
                // A player that could not play (missing or broken file, no sound output) ends
                // the reading; continuing would start a failing player every second.
                char text[kMessageBytes];
                formatPlayerFailure(text, sizeof text, exitCode, state.mp3Path);
                report(text);
                return;
            }
            if (inBasmala) {
                recite(state.surah, state.ayah, state.recitedTimes, true);
                return;
            }
            if (state.continuous && !beginPause(soundedMs())) continueReading();
            return;
        }

        startNextPlayerAhead();
        if (!state.continuous || !state.following) return;
        const char* name = std::strrchr(state.mp3Path, '\\');
        const int k = followedAyah(state.mp3Path, positionInFile(), textStoreTiming());
        if (k == 0 || !name) return;
        if (host.shownAyah().ayah != k) {
            // The surah of the file: the number its name starts with.
            const int surah = std::atoi(name + 1);
            host.goToAyah({surah, k});
            state.surah = surah;
            state.ayah = k;
        }
    }

    void onListenCommand() {
        wchar_t caption[260] = L"";
        GetWindowTextW(control(IDC_LISTEN), caption, 260);
        if (std::wcscmp(caption, L"Stop") == 0)
            stop();
        else
            start();
    }

    void launchTajwid() {
        char commandLine[kCommandLineBytes];
        if (!formatTajwidCommandLine(commandLine, sizeof commandLine, folderUtf8())) return;
        PROCESS_INFORMATION started;
        // The tajwid program is a window the user works in: the system's start feedback stays.
        if (!startProgram(commandLine, SW_SHOWMAXIMIZED, 0, 0, &started)) {
            reportf("The tajwid program could not be started:\n%s\\morvent.exe", folderUtf8());
            return;
        }
        // Nothing is kept of it: every click starts another instance.
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }

    // How long the recitation that has just ended sounded: an ayah's own recording as long
    // as its mp3 plays at the speed, anything else from its sound's start (or its player's
    // start) to now.
    int soundedMs() {
        if (state.perAyah) {
            std::vector<uint8_t> bytes;
            if (readSmallFile(state.mp3Path, bytes)) {
                const int ms =
                    soundLengthMs(walkMp3Frames(bytes.data(), bytes.size()), speedPercent());
                if (ms > 0) return ms;
            }
        }
        return playedMs();
    }

    int playedMs() {
        const long long started = state.marks->soundStarted.value();
        const bool signalled = static_cast<LONG>(started >> 32) == state.playback;
        const DWORD base = signalled ? static_cast<DWORD>(started & 0xFFFFFFFF) : state.launchedAt;
        return static_cast<int>(GetTickCount() - base);
    }

    void endWithReader() {
        fetching = false;
        ahead.cancel();
        pausing = false;
        discardWaiting();
        releasePlayer(true);
        KillTimer(window(), kRecitationTimer);
        state.running = false;
    }

}; // struct RecitationPlayer::State

RecitationPlayer::RecitationPlayer(const ProgramContext& context, RecitationHost& host)
    : state_(std::make_unique<State>(context, host)) {
    refreshReciterMenu(host.window());
}

RecitationPlayer::~RecitationPlayer() {
    state_->endWithReader();
}

void RecitationPlayer::start() {
    state_->start();
}

void RecitationPlayer::stop() {
    state_->stop();
}

void RecitationPlayer::onTimer() {
    state_->onTimer();
}

void RecitationPlayer::onListenCommand() {
    state_->onListenCommand();
}

void RecitationPlayer::launchTajwid() {
    state_->launchTajwid();
}

void RecitationPlayer::endWithReader() {
    state_->endWithReader();
}

bool RecitationPlayer::playing() const {
    return state_->state.running;
}

AyahRef RecitationPlayer::recitedAyah() const {
    if (!state_->state.running) return {0, 0};
    return {state_->state.surah, state_->state.ayah};
}

HANDLE RecitationPlayer::playerProcess() const {
    return state_->player;
}
