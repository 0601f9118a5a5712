// The About box: the program's name, years and version, contact address and home page.
#ifndef NORAVEL_APP_ABOUT_WIN_H
#define NORAVEL_APP_ABOUT_WIN_H

#include "base/prompts_win.h"

#include <windows.h>

#include <cstddef>

void showAbout(HWND owner, Prompts& prompts);
// Its four lines, separated by line feeds, into text (at most size - 1 characters).
void formatAboutText(char* text, size_t size);

#endif
