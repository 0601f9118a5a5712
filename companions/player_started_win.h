// The signs between the reader and its player, both named after the player's process id:
//   "Local\NoravelPlayerStarted-<pid>": the reader makes it before the player runs, and the
//     player sets it when its first sound has gone to the output.
//   "Local\NoravelPlayerGo-<pid>": the reader makes it when it starts the player early, for
//     the ayah after the one playing. The player opens its file and the sound output, decodes
//     its first sound and then waits for the reader to set it, so that its sound follows the
//     one before at once.
//   "Local\NoravelPlayerFinished-<pid>": the reader makes it before the player runs, and the
//     player sets it when the last of its sound has played, before it closes the output and
//     ends: the next ayah's sound need not wait for the end of this player's process.
// A player started otherwise finds neither event: it plays at once and signals nothing.
#ifndef NORAVEL_COMPANIONS_PLAYER_STARTED_WIN_H
#define NORAVEL_COMPANIONS_PLAYER_STARTED_WIN_H

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>

// Sets the reader's event "Local\Noravel<what>-<this process id>" if it made one.
inline void setReaderEvent(const wchar_t* what) {
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Noravel%ls-%lu", what, GetCurrentProcessId());
    if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

inline void signalSoundStarted() {
    setReaderEvent(L"PlayerStarted");
}

inline void signalSoundFinished() {
    setReaderEvent(L"PlayerFinished");
}

// The process that started this one, opened for waiting, or null.
inline HANDLE openParentProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    const DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent ? OpenProcess(SYNCHRONIZE, FALSE, parent) : nullptr;
}

// How long a player started early waits at most when it cannot watch its reader.
constexpr DWORD kLongestWaitForGoMs = 30 * 60 * 1000;

// The reader's go event for this player, opened for waiting, or null when it made none.
inline HANDLE openGoEvent() {
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\NoravelPlayerGo-%lu", GetCurrentProcessId());
    return OpenEventW(SYNCHRONIZE, FALSE, name);
}

// Waits until the reader sets the go event (true), or ends, or, when it cannot be watched,
// the longest wait passes (false). Closes the event.
inline bool waitForGo(HANDLE go) {
    HANDLE reader = openParentProcess();
    HANDLE both[2] = {go, reader};
    const DWORD woke = WaitForMultipleObjects(reader ? 2 : 1, both, FALSE,
                                              reader ? INFINITE : kLongestWaitForGoMs);
    if (reader) CloseHandle(reader);
    CloseHandle(go);
    return woke == WAIT_OBJECT_0;
}

// Whether to play now: at once when the reader made no go event, otherwise when it sets it.
inline bool waitForGoIfAsked() {
    HANDLE go = openGoEvent();
    return !go || waitForGo(go);
}

#endif
