// The sign by which a player tells the reader that its sound has started: the reader makes
// the event "Local\NoravelPlayerStarted-<player's process id>" before the player runs, and
// the player sets it when its first sound has gone to the output. A player started
// otherwise finds no event and goes on.
#ifndef NORAVEL_PLAYER_STARTED_WIN_H
#define NORAVEL_PLAYER_STARTED_WIN_H

#include <windows.h>

#include <cwchar>

inline void signalSoundStarted() {
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\NoravelPlayerStarted-%lu", GetCurrentProcessId());
    if (HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(started);
        CloseHandle(started);
    }
}

#endif
