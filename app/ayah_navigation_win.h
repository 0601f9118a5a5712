// Moving the reader from ayah to ayah and showing one ayah: the surah and ayah lists,
// the translation control, the picture in the bitmap view, the juz in the status bar and
// the reading history. The current ayah has no variable of its own: it is the selection of
// the surah list and of the ayah list (each index + 1).
#ifndef NORAVEL_AYAH_NAVIGATION_WIN_H
#define NORAVEL_AYAH_NAVIGATION_WIN_H

#include <windows.h>

#include "picture/picture_loader_win.h"

#include <richedit.h>

#include "text/reading_history.h"

// Fills the surah, recitation scope and language lists (once, after the text store is loaded).
void fillNavigationLists();
// Refills the ayah list with 1..count of `surah` (the surah selected in the surah list).
void fillAyahList(int surah);
// Sets both lists to the ayah and shows it. Surahs outside 1..114 change nothing.
void selectAyah(int surah, int ayah);
// Shows the ayah (translation, picture, juz, history) without touching the lists.
void showAyah(int surah, int ayah);
// The picture, the juz label and the history entry of showing an ayah.
void showAyahPicture(int surah, int ayah);
int currentSurah(); // surah list selection + 1 (0 without a selection)
int currentAyah();  // ayah list selection + 1 (0 without a selection)

// The bitmap now shown in the bitmap view, or none. Owned here: deleted before the next load.
extern HBITMAP currentPicture;
// The translation control's character format, read once after its font is set; applying it
// to the whole text clears bold search marks.
extern CHARFORMATA defaultCharFormat;

// The ayat shown in this run (every display adds one).
extern ReadingHistory readingHistory;
// The one picture loader of the program.
extern Picture picture;

// Command 40013: fills the result list with the visited ayat, newest first, "%i:%i " + translation.
void listReadingHistory();

#endif
