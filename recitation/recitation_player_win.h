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
// One recitation exists per process. Its player runs hidden; a worker thread waits for it
// to signal that its sound has started (the time base of following) and to end, and marks
// that playback (by its number) as started or finished; timer 100 of the window looks at
// that once a second. The window, its lists and the program folder come from the host
// that the application hands over; this room knows nothing else of it.
//
// In a continuous reading of per-ayah files the next ayah's player is started ahead, once
// the playing one's sound has started: it opens its file and the sound output and waits on
// its go event (companions/player_started_win.h), which the reader sets the moment the
// playing one ends, so that the silence between ayat is not a program start. A waiting
// player that is no longer next (another ayah chosen, Continue unticked, Stop, a failure,
// the reader's end) is ended unplayed.
//
// With no recording of the ayah anywhere, no player starts: one question says where the
// recording was looked for and offers the Recitation dialog.
#ifndef NORAVEL_RECITATION_PLAYER_WIN_H
#define NORAVEL_RECITATION_PLAYER_WIN_H

#include <windows.h>

constexpr UINT_PTR kRecitationTimer = 100;
constexpr UINT kRecitationTimerPeriodMs = 1000;

// Tells the user that a companion program could not be started, could not play, or that
// there is nothing to play. The text is UTF-8 (it may name paths).
using RecitationFailureReporter = void (*)(const char* text);
// Asks the user a Yes/No question (UTF-8); true for Yes.
using RecitationQuestion = bool (*)(const char* text);
// Opens the Recitation dialog over the owner.
using RecitationDialogOpener = void (*)(HWND owner);

// What the recitation needs of the application.
struct RecitationHost {
    // The window that holds controls 112, 113, 155 and the surah and ayah lists (303, 304)
    // and receives timer 100.
    HWND (*window)();
    // The program folder, UTF-16 for the system and UTF-8 for the path formatters.
    const wchar_t* (*programDirectory)();
    const char* (*programDirectoryUtf8)();
    int (*currentSurah)();
    int (*currentAyah)();
    // Sets both lists to the ayah and shows it.
    void (*selectAyah)(int surah, int ayah);
    // Shows the ayah without touching the lists.
    void (*showAyah)(int surah, int ayah);
    // The default report: a message box over the window.
    RecitationFailureReporter report;
    // The default question: a Yes/No message box over the window. When there is nothing
    // to play it offers the Recitation dialog.
    RecitationQuestion ask;
    // Where the handle of the last player is kept (the reader terminates it at its end).
    HANDLE* playerProcess;
};

class RecitationPlayer {
  public:
    static void connect(const RecitationHost& host);

    // Recites the ayah selected in the surah and ayah lists.
    static void start();
    // Ends the recitation: the player is terminated, the display stays where it is.
    static void stop();
    // Timer 100: ends, follows or continues the recitation.
    static void onTimer();
    // Command 112: "Stop" stops, any other caption starts.
    static void onListenCommand();
    // Command 400: starts another instance of the tajwid program, maximised.
    static void launchTajwid();

    // Whether a playback is running (between a start and the tick that sees its end).
    static bool playing();
    // Replaces the host's report (tests count the reports) and, when given, its question
    // and the opening of the Recitation dialog; a replaced report without a replaced question
    // gets the questions too, answered No. Reset goes back to the host's and the dialog.
    static void setFailureReporter(RecitationFailureReporter reporter,
                                   RecitationQuestion ask = nullptr,
                                   RecitationDialogOpener openDialog = nullptr);
    static void resetFailureReporter();
    // The reader ends: every player it started ends too, also one waiting for its turn.
    static void endWithReader();
};

#endif
