// Fetches the files a Listen needs ahead of the player: the ayah about to play and the
// next few, in the order they are played, into the chosen reciter's folder, where they
// stay. The player asks, tick by tick, whether the file it waits for is there, still
// coming, or failed.
#ifndef NORAVEL_RECITATION_LISTEN_AHEAD_WIN_H
#define NORAVEL_RECITATION_LISTEN_AHEAD_WIN_H

#include "recitation/recitation_download_win.h"

#include <string>
#include <vector>

class ListenAhead {
  public:
    enum class FileState {
        OnDisk,  // whole and in its place
        Coming,  // asked for and the fetch is under way
        Failed,  // asked for, and the fetch ended without it
        NotAsked // not among the files of the fetch (a new one starts when this one ends)
    };

    // Starts fetching those of `files` (in order) that the folder lacks, unless a fetch is
    // under way; nothing when all are there.
    void want(const std::vector<AyahOfSurah>& files, const std::string& folder,
              const std::string& urlTemplate, int connections);
    // Where the file stands; for a failed one `reason` gets the download's words for it.
    FileState stateOf(const AyahOfSurah& file, std::string* reason) const;
    // Ends the fetch under way (its whole files stay).
    void cancel();

  private:
    RecitationDownload download_;
    std::vector<AyahOfSurah> asked_;
    std::string folder_;
};

// Whether the folder holds the file of that ayah ("<folder>\SSSAAA.mp3").
bool holdsAyahFile(const std::string& utf8Folder, const AyahOfSurah& file);

#endif
