#include "app/recitation_host_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "resources/version.h"
#include "base/wide_text_win.h"
#include "recitation/recitation_player_win.h"

void connectRecitationPlayer() {
    RecitationHost host{};
    host.window = [] { return process.mainWindow; };
    host.programDirectory = []() -> const wchar_t* { return process.programDirectory; };
    host.programDirectoryUtf8 = []() -> const char* { return process.programDirectoryUtf8; };
    host.currentSurah = currentSurah;
    host.currentAyah = currentAyah;
    host.selectAyah = selectAyah;
    host.showAyah = showAyah;
    // The report may name paths, in UTF-8.
    host.report = [](const char* text) {
        showUtf8MessageBox(process.mainWindow, text, NORAVEL_CAPTION, MB_OK | MB_ICONERROR);
    };
    host.ask = [](const char* text) {
        return showUtf8MessageBox(process.mainWindow, text, NORAVEL_CAPTION,
                                  MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    host.playerProcess = &process.playerProcess;
    RecitationPlayer::connect(host);
}
