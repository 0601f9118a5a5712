// Downloading a recitation of one file per ayah into the recitation folder, on a worker
// thread with WinHTTP.
//
// Each ayah's file is fetched into memory (at most kMaxRecordingBytes), judged, written
// as SSSAAA.mp3.part and only then renamed to SSSAAA.mp3 (tried again for a while when
// the name is held, as by a scanner): a final name never holds a partial or invalid file.
// Files already in the folder that are MP3 are skipped, so a second run fetches only what
// is missing. Temporary files left by a killed process are removed when a download starts.
//
// Several connections fetch at once, each on a thread of its own with its own WinHTTP
// session (the system's proxy settings), taking the next file in order as it is free.
// Cancel only raises the cancel event: a connection looks at it before each WinHTTP call
// and stops there, so no call is ever made on a handle that was closed. The worker gives
// the connections a moment to stop and then ends; one still blocked in the network ends
// at its timeout on its own, and nothing it holds reaches the disk.
#ifndef NORAVEL_RECITATION_RECITATION_DOWNLOAD_WIN_H
#define NORAVEL_RECITATION_RECITATION_DOWNLOAD_WIN_H

#include <windows.h>

#include "recitation/recitation_download.h"

#include <string>
#include <vector>

struct RecitationDownloadRequest {
    std::string folder;      // UTF-8; made when missing
    std::string urlTemplate; // with {SSS} and {AAA}
    int firstSurah = 1;
    int lastSurah = 114;
    int (*ayahCount)(int surah) = nullptr;
    // The wait before a retry (retryDelayMs; tests shorten it).
    int (*retryDelay)(int attempt) = retryDelayMs;
    // When not empty, these files in this order instead of surahs first..last.
    std::vector<AyahOfSurah> ayat;
    // How many files are fetched at once (validDownloadConnections).
    int connections = kDefaultDownloadConnections;
};

// Where a download stands; a copy taken under the download's lock.
struct RecitationDownloadProgress {
    int fileNumber = 0; // the furthest file begun, 1-based
    int files = 0;
    unsigned long long bytes = 0; // received by this download so far
    int done = 0;
    int skipped = 0;
    int failed = 0;
    bool cancelled = false;
    bool finished = false;
    std::vector<std::string> failures; // "002255.mp3: HTTP 404", in file order at the end
};

class RecitationDownload {
  public:
    RecitationDownload();
    ~RecitationDownload(); // cancels and waits (bounded)
    RecitationDownload(const RecitationDownload&) = delete;
    RecitationDownload& operator=(const RecitationDownload&) = delete;

    // Starts the worker; `message` is posted to `notify` (when not null) as progress is
    // made, with wParam 1 once the download has finished. False when one is running or
    // the thread could not start.
    bool start(const RecitationDownloadRequest& request, HWND notify, UINT message);
    // Asks the worker to stop and ends the fetch under way; returns at once.
    void cancel();
    // Waits up to `ms` for the worker to end; true when it has (or none was started).
    bool wait(DWORD ms);
    bool running() const;
    RecitationDownloadProgress progress() const;

    struct Shared; // between the dialog's thread and the worker

  private:
    Shared* shared_;
    HANDLE worker_ = nullptr;
};

// How many distinct ayah files ("SSSAAA.mp3" of an ayah that exists) the folder holds,
// from one listing of the folder (no file is opened).
int countAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah));

// Deletes the ayah files ("SSSAAA.mp3") and their temporary files from the folder, then the
// folder itself when `removeFolder` and it is empty; how many could not be deleted.
int deleteAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah), bool removeFolder);

// The same count and the files' total size in bytes.
int measureAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah),
                     unsigned long long* bytes);

#endif
