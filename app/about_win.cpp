#include "app/about_win.h"

#include "resources/version.h"

#include <cstdio>

void formatAboutText(char* text, size_t size) {
    if (!text || size == 0) return;
    std::snprintf(text, size, "%s\n%s, ver %s\nE-mail: %s\nHome page: %s", NORAVEL_DESCRIPTION,
                  NORAVEL_YEARS, NORAVEL_VERSION_TEXT, NORAVEL_CONTACT, NORAVEL_HOME_PAGE);
}

void showAbout(HWND owner, Prompts& prompts) {
    char text[512];
    formatAboutText(text, sizeof text);
    prompts.tell(owner, text, "About", 0);
}
