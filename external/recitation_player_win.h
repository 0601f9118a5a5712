// Recitation through the companion player: "Listen" (112) starts the player on the mp3
// file of the current ayah and reads "Stop" while it plays; with "Continue" (113) ticked
// the display follows the recitation and the reading goes on ayah after ayah through the
// surah or the whole Quran (scope list 155). "Tajwid" (400) starts the tajwid program.
//
// One recitation exists per process. Its player runs hidden; a worker thread waits for it
// to end and marks that playback (by its number) as finished; timer 100 of the main window
// looks at that once a second. The controls are the main window's (process.mainWindow); the
// display moves through the ayah navigation (selectAyah, showAyah).
#ifndef NORAVEL_RECITATION_PLAYER_WIN_H
#define NORAVEL_RECITATION_PLAYER_WIN_H

#include <windows.h>

constexpr UINT_PTR kRecitationTimer = 100;
constexpr UINT kRecitationTimerPeriodMs = 1000;

// Tells the user that a companion program could not be started or could not play. By
// default a message box over the main window; tests count the reports instead. The text
// is UTF-8 (it may name a path beside the program).
using RecitationFailureReporter = void (*)(const char* text);

class RecitationPlayer {
  public:
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
    static void setFailureReporter(RecitationFailureReporter reporter);
    static void resetFailureReporter();
};

#endif
