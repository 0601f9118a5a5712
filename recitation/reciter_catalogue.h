// The reciters built into the Recitation window: folders of the public per-ayah archive,
// each holding one file per ayah, "<base><Folder>/SSSAAA.mp3". A user's own files of a
// reciter live in "<recitation folder>\<Folder>\SSSAAA.mp3", so that reciters never mix.
//
// The choice is stored as the reciter's folder name; kOtherAddressChoice stands for the
// address the user types (with {SSS} and {AAA}), whose files stay directly in the
// recitation folder as they always have.
#ifndef NORAVEL_RECITATION_RECITER_CATALOGUE_H
#define NORAVEL_RECITATION_RECITER_CATALOGUE_H

#include <cstddef>

enum class RecitationStyle { Murattal, Mujawwad, Muallim };

struct Reciter {
    const char* folder; // the archive's folder name, also the folder on disk
    const char* latinName;
    const char* arabicName; // UTF-8; "" where not known
    RecitationStyle style;
    int bitrateKbps;
};

// The archive's own address; a mirror (the per-user RecitationMirror) replaces it.
constexpr const char* kArchiveBase = "https://everyayah.com/data/";
constexpr const char* kDefaultReciterFolder = "Alafasy_128kbps";
// Not a folder name on Windows (it holds a colon): the typed address.
constexpr const char* kOtherAddressChoice = ":address";

// The built-in reciters, in the order the window lists them; `count` gets how many.
const Reciter* builtInReciters(size_t* count);
// The built-in reciter of that folder name (exactly), or null.
const Reciter* findReciter(const char* folder);

// "murattal", "mujawwad", "muallim".
const char* recitationStyleName(RecitationStyle style);

// The choice in force from the stored values: a built-in folder or kOtherAddressChoice as
// stored; nothing stored (or an unknown name) gives the typed address when one was stored
// before reciters were built in, so that such a user keeps hearing what he had, and
// otherwise the default reciter.
const char* reciterChoiceInForce(const char* storedChoice, const char* storedAddress);

// The download address template of a built-in reciter: "<base><folder>/{SSS}{AAA}.mp3",
// with a slash put between base and folder when the base lacks one. `base` null or "" is
// the archive's own. False (and "") when it does not fit or `folder` is not a built-in one.
bool formatReciterTemplate(char* out, size_t size, const char* base, const char* folder);

// "<recitation folder>\<folder>"; false (and "") when the recitation folder is empty or
// the text does not fit.
bool formatReciterFolderPath(char* out, size_t size, const char* recitationFolder,
                             const char* folder);

// The line of the Recitation menu: "Alafasy (العفاسي), murattal, 128 kbps".
bool formatReciterLine(char* out, size_t size, const Reciter& reciter);
// The style column of the reciter list: "murattal, 128 kbps".
bool formatReciterStyle(char* out, size_t size, const Reciter& reciter);

// "123 ayat, 4.5 MB" (KB below one megabyte) for what a reciter has on disk.
bool formatReciterOnDisk(char* out, size_t size, int ayat, unsigned long long bytes);

#endif
