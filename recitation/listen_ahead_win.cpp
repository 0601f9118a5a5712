#include "recitation/listen_ahead_win.h"

#include "base/wide_text_win.h"
#include "recitation/recitation_rules.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

bool sameFile(const AyahOfSurah& a, const AyahOfSurah& b) {
    return a.surah == b.surah && a.ayah == b.ayah;
}

} // namespace

bool holdsAyahFile(const std::string& utf8Folder, const AyahOfSurah& file) {
    char path[1024];
    if (utf8Folder.empty() ||
        !formatAyahFilePath(path, sizeof path, utf8Folder.c_str(), file.surah, file.ayah))
        return false;
    const DWORD attributes = GetFileAttributesW(wideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ListenAhead::want(const std::vector<AyahOfSurah>& files, const std::string& folder,
                       const std::string& urlTemplate, int connections) {
    if (download_.running() && folder == folder_) return;
    if (download_.running()) download_.cancel(); // another reciter: its fetch is not wanted
    std::vector<AyahOfSurah> missing;
    for (const AyahOfSurah& file : files)
        if (!holdsAyahFile(folder, file)) missing.push_back(file);
    if (missing.empty()) return;
    RecitationDownloadRequest request;
    request.folder = folder;
    request.urlTemplate = urlTemplate;
    request.ayat = missing;
    request.connections = connections;
    if (!download_.start(request, nullptr, 0)) return;
    asked_ = missing;
    folder_ = folder;
}

ListenAhead::FileState ListenAhead::stateOf(const AyahOfSurah& file, std::string* reason) const {
    if (holdsAyahFile(folder_, file)) return FileState::OnDisk;
    if (std::none_of(asked_.begin(), asked_.end(),
                     [&](const AyahOfSurah& asked) { return sameFile(asked, file); }))
        return FileState::NotAsked;
    if (download_.running()) return FileState::Coming;
    // The worker has ended: its files are all in place or failed.
    const RecitationDownloadProgress progress = download_.progress();
    char name[16];
    formatAyahFileName(name, sizeof name, file.surah, file.ayah);
    if (reason) {
        *reason = "it was not fetched";
        for (const std::string& failure : progress.failures)
            if (failure.compare(0, std::strlen(name), name) == 0) *reason = failure;
        if (progress.failures.size() == 1 && progress.failures[0].rfind("The ", 0) == 0)
            *reason = progress.failures[0]; // the folder could not be made
    }
    return FileState::Failed;
}

void ListenAhead::cancel() {
    download_.cancel();
}
