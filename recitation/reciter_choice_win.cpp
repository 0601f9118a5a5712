#include "recitation/reciter_choice_win.h"

#include "recitation/recitation_download.h"
#include "recitation/reciter_catalogue.h"
#include "settings/settings_win.h"

#include <cstring>

std::string reciterInForce() {
    return reciterChoiceInForce(readReciter().c_str(), readRecitationAddress().c_str());
}

bool chooseReciter(const char* choice) {
    if (!choice || (std::strcmp(choice, kOtherAddressChoice) != 0 && !findReciter(choice)))
        return false;
    return writeReciter(choice);
}

std::string reciterFolderOnDisk(const std::string& choice) {
    const std::string folder = recitationFolderInUse();
    if (!findReciter(choice.c_str())) return folder;
    char path[1024];
    return formatReciterFolderPath(path, sizeof path, folder.c_str(), choice.c_str()) ? path : "";
}

std::string reciterAddressTemplate(const std::string& choice) {
    if (!findReciter(choice.c_str())) return readRecitationAddress();
    char address[4096];
    const std::string mirror = readRecitationMirror();
    return formatReciterTemplate(address, sizeof address, mirror.c_str(), choice.c_str()) ? address
                                                                                          : "";
}

int downloadConnectionsInForce() {
    const int stored = readDownloadConnections();
    return stored == 0 ? kDefaultDownloadConnections : validDownloadConnections(stored);
}
