#include "recitation/recitation_rules.h"

#include "base/bounded_format.h"

#include <cstring>

bool formatMp3Path(char* out, size_t size, const char* directory, const char* file) {
    return formatInto(out, size, "%s\\mp3\\%s", directory, file ? file : "");
}

bool formatPlayerCommandLine(char* out, size_t size, const char* directory, const char* mp3Path,
                             int startMs, int endMs, bool continuous) {
    return formatInto(out, size, "\"%s\\zemplay.exe\" \"%s\" %i %i", directory, mp3Path,
                      wholeSeconds(startMs), continuous ? 0 : wholeSeconds(endMs));
}

bool formatTajwidCommandLine(char* out, size_t size, const char* directory) {
    return formatInto(out, size, "\"%s\\morvent.exe\" ", directory);
}

TimingSource textStoreTiming() {
    return {&TextStore::ayahCount, &TextStore::recitation};
}

int followedAyah(const char* mp3Path, int positionMs, const TimingSource& timing) {
    if (!mp3Path) return 0;
    const char* name = std::strrchr(mp3Path, '\\');
    name = name ? name + 1 : mp3Path;
    if (!std::strchr(name, '_')) return 0;
    // The leading decimal number, bounded so that no digit string can overflow.
    int surah = 0;
    for (const char* c = name; *c >= '0' && *c <= '9'; ++c) {
        surah = surah * 10 + (*c - '0');
        if (surah > TextStore::kSurahs) return 0;
    }
    if (surah < 1) return 0;
    const int count = timing.ayahCount(surah);
    for (int k = 1; k <= count; ++k) {
        const Recitation r = timing.recitation(surah, k);
        if (r.file && std::strcmp(r.file, name) == 0 && r.startMs <= positionMs &&
            positionMs <= r.endMs)
            return k;
    }
    return 0;
}

AyahRef ayahAfter(int surah, int ayah, int scope, int ayahCountOfSurah) {
    if (ayah < ayahCountOfSurah) return {surah, ayah + 1};
    if (scope == kScopeTotal) return {surah >= TextStore::kSurahs ? 1 : surah + 1, 1};
    return {surah, 1};
}

bool formatAyahFileName(char* out, size_t size, int surah, int ayah) {
    if (surah < 1 || surah > 999 || ayah < 1 || ayah > 999) {
        if (out && size) out[0] = '\0';
        return false;
    }
    return formatInto(out, size, "%03d%03d.mp3", surah, ayah);
}

bool formatAyahFilePath(char* out, size_t size, const char* folder, int surah, int ayah) {
    char name[16];
    if (!folder || !formatAyahFileName(name, sizeof name, surah, ayah)) {
        if (out && size) out[0] = '\0';
        return false;
    }
    const size_t length = std::strlen(folder);
    const bool endsInSeparator = length > 0 && folder[length - 1] == '\\';
    return formatInto(out, size, "%s%s%s", folder, endsInSeparator ? "" : "\\", name);
}

bool findAyahRecording(char* out, size_t size, const char* recitationFolder,
                       const char* programDirectory, int surah, int ayah,
                       bool (*exists)(const char* utf8Path)) {
    if (!out || size == 0) return false;
    if (recitationFolder && recitationFolder[0] &&
        formatAyahFilePath(out, size, recitationFolder, surah, ayah) && exists(out))
        return true;
    char besideProgram[1024];
    if (programDirectory &&
        formatInto(besideProgram, sizeof besideProgram, "%s\\mp3", programDirectory) &&
        formatAyahFilePath(out, size, besideProgram, surah, ayah) && exists(out))
        return true;
    out[0] = '\0';
    return false;
}

AyahRef ayahToReciteNext(int surah, int ayah, int recitedTimes, int scope, int repeats,
                         int ayahCountOfSurah) {
    if (scope == kScopeAyah || recitedTimes < validAyahRepeats(repeats)) return {surah, ayah};
    return ayahAfter(surah, ayah, scope, ayahCountOfSurah);
}

bool formatPlayerFailure(char* out, size_t size, unsigned long exitCode, const char* mp3Path) {
    const char* path = mp3Path ? mp3Path : "";
    switch (exitCode) {
    case kPlayerUnreadableFile:
        return formatInto(out, size,
                          "The recording could not be read:\n%s\n\nIt may be missing, empty, "
                          "larger than 1 GB or in use by another program.",
                          path);
    case kPlayerNotMp3:
        return formatInto(out, size,
                          "The recording is not an MP3 file:\n%s\n\nNo MP3 frames were found in "
                          "it; it may be damaged or a page saved under an .mp3 name.",
                          path);
    case kPlayerNoAudioOutput:
        return formatInto(out, size,
                          "There is no sound output to play the recitation on.\n\nConnect or "
                          "enable a speaker or headphones and try again.\n(%s)",
                          path);
    case kPlayerNoDecoder:
        return formatInto(out, size,
                          "This Windows has no MP3 decoder in its Audio Compression Manager, so "
                          "the recitation cannot be played.\n\nOn the \"N\" editions of Windows, "
                          "install the Media Feature Pack to add the MP3 decoder.\n(%s)",
                          path);
    case kPlayerBadCommandLine:
        return formatInto(out, size,
                          "The recitation player did not understand how it was started:\n%s", path);
    case kPlayerPlaybackFailed:
        return formatInto(out, size, "The recording could not be played to its end:\n%s", path);
    case kPlayerNotReleased:
        return formatInto(out, size,
                          "The recitation player was started ahead of its ayah and was never "
                          "told to play:\n%s",
                          path);
    default:
        return formatInto(out, size, "The recitation player could not play (exit code %lu):\n%s",
                          exitCode, path);
    }
}

bool formatNoRecording(char* out, size_t size, int surah, int ayah, const char* recitationFolder,
                       const char* programDirectory, const char* tableFile) {
    const char* directory = programDirectory ? programDirectory : "";
    char chosen[1024] = "";
    if (recitationFolder && recitationFolder[0])
        formatAyahFilePath(chosen, sizeof chosen, recitationFolder, surah, ayah);
    char mp3Folder[1024] = "";
    formatInto(mp3Folder, sizeof mp3Folder, "%s\\mp3", directory);
    char beside[1024] = "";
    formatAyahFilePath(beside, sizeof beside, mp3Folder, surah, ayah);
    char table[1024] = "";
    if (tableFile && tableFile[0]) formatMp3Path(table, sizeof table, directory, tableFile);
    return formatInto(out, size,
                      "There is no recording of ayah %d:%d.\n\nLooked for:\n%s%s%s%s%s\n\nPut "
                      "the recitation's files, named like 002255.mp3 (surah and ayah as three "
                      "digits each), in the recitation folder or in the mp3 folder beside the "
                      "program.\n\nOpen the Recitation dialog to choose the folder or download "
                      "a recitation?",
                      surah, ayah, chosen, chosen[0] ? "\n" : "", beside, table[0] ? "\n" : "",
                      table);
}

bool formatPlayerStartedEventName(char* out, size_t size, unsigned long processId) {
    return formatInto(out, size, "Local\\NoravelPlayerStarted-%lu", processId);
}

bool formatPlayerGoEventName(char* out, size_t size, unsigned long processId) {
    return formatInto(out, size, "Local\\NoravelPlayerGo-%lu", processId);
}

bool formatPlayerFinishedEventName(char* out, size_t size, unsigned long processId) {
    return formatInto(out, size, "Local\\NoravelPlayerFinished-%lu", processId);
}
