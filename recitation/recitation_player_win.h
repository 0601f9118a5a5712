// Recitation through the companion player: "Listen" (112) starts the player on the
// recording of the current ayah and reads "Stop" while it plays. With "Continue" (113)
// ticked the reading goes on ayah after ayah through the surah ("Surat"), the whole Quran
// ("Total") or the same ayah again ("Ayat"), each ayah "Repeat each ayah" times (scope
// list 155). "Tajwid" (400) starts the tajwid program.
//
// A recording is the ayah's own file, SSSAAA.mp3, in the user's recitation folder or in
// mp3\ beside the program, played whole while the display stays on the ayah; without
// one, the surah's file of the timing table (mp3\S_P.mp3) is played from the ayah's
// start, and with Continue the display follows the timing table.
//
// One recitation exists per reader window. Its player runs hidden; a worker thread waits for it
// to signal that its sound has started (the time base of following) and to end, and marks
// that playback (by its number) as started or finished; timer 100 of the window looks at
// that once a second. The window and its lists come from the host (the reader window) and
// the program folder from the program context; this room knows nothing else of them.
//
// In a continuous reading of per-ayah files the next ayah's player is started ahead, once
// the playing one's sound has started: it opens its file and the sound output and waits on
// its go event (companions/player_started_win.h), which the reader sets the moment the
// playing one ends, so that the silence between ayat is not a program start. A waiting
// player that is no longer next (another ayah chosen, Continue unticked, Stop, a failure,
// the reader's end) is ended unplayed.
//
// For memorising (recitation/memorise_settings_win.h): with Continue ticked and a range
// set, Listen plays the range pass after pass, each ayah "Repeat each ayah" times; after
// each recitation of a continuous reading the chosen pause is left, counted down in the
// status bar, before the next one starts; every player plays at the chosen speed.
//
// With no recording of the ayah anywhere, no player starts: one question says where the
// recording was looked for and offers the Recitation dialog.
#ifndef NORAVEL_RECITATION_RECITATION_PLAYER_WIN_H
#define NORAVEL_RECITATION_RECITATION_PLAYER_WIN_H

#include "base/program_context_win.h"
#include "text/ayah_ref.h"

#include <windows.h>

#include <memory>

constexpr UINT_PTR kRecitationTimer = 100;
constexpr UINT kRecitationTimerPeriodMs = 1000;

// What the recitation needs of the reader window. The reports and questions go to the
// program context's prompts, over the window.
class RecitationHost {
  public:
    // The window that holds controls 112, 113, 155 and the surah and ayah lists (303, 304)
    // and receives timer 100.
    virtual HWND window() const = 0;
    // The ayah the lists show.
    virtual AyahRef shownAyah() const = 0;
    // Sets both lists to the ayah and shows it.
    virtual void goToAyah(AyahRef ayah) = 0;
    // Shows the ayah without touching the lists.
    virtual void showAyah(AyahRef ayah) = 0;
    // Opens the Recitation dialog over the window (the answer Yes to "nothing to play").
    virtual void openRecitationDialog() = 0;
    // Shows the recitation's state (a pause's countdown, the speed) in the status bar; ""
    // clears it.
    virtual void showRecitationStatus(const char* utf8Text) { (void)utf8Text; }

  protected:
    ~RecitationHost() = default;
};

// One recitation per reader window; it ends (with every player it started) when the
// window's object goes.
class RecitationPlayer {
  public:
    RecitationPlayer(const ProgramContext& context, RecitationHost& host);
    ~RecitationPlayer();
    RecitationPlayer(const RecitationPlayer&) = delete;
    RecitationPlayer& operator=(const RecitationPlayer&) = delete;

    // Recites the ayah selected in the surah and ayah lists.
    void start();
    // Ends the recitation: the player is terminated, the display stays where it is.
    void stop();
    // Timer 100: ends, follows or continues the recitation.
    void onTimer();
    // Command 112: "Stop" stops, any other caption starts.
    void onListenCommand();
    // Command 400: starts another instance of the tajwid program, maximised.
    void launchTajwid();

    // Whether a playback is running (between a start and the tick that sees its end).
    bool playing() const;
    // The ayah being recited while one plays, else {0, 0}.
    AyahRef recitedAyah() const;
    // The playing (or last) player's process, null when none is held.
    HANDLE playerProcess() const;
    // The reader ends: every player it started ends too, also one waiting for its turn.
    void endWithReader();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

#endif
