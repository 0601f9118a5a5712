// The reciter in force for this user, where its files live and where they come from.
#ifndef NORAVEL_RECITATION_RECITER_CHOICE_WIN_H
#define NORAVEL_RECITATION_RECITER_CHOICE_WIN_H

#include <string>

// The built-in reciter's folder name, or kOtherAddressChoice for the typed address.
std::string reciterInForce();
// Stores the choice (a built-in folder name or kOtherAddressChoice).
bool chooseReciter(const char* choice);

// Where the choice's files are kept: "<recitation folder>\<Folder>" for a built-in reciter,
// the recitation folder itself for the typed address (UTF-8; "" when no folder is known).
std::string reciterFolderOnDisk(const std::string& choice);

// The download address template of the choice: the archive's folder (or the mirror's) for a
// built-in reciter, the typed address otherwise ("" when none).
std::string reciterAddressTemplate(const std::string& choice);

// Files a download fetches at once: the stored number bounded to 1..8, 4 when none.
int downloadConnectionsInForce();

#endif
