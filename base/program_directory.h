// The folder that holds the program file: pictures, recitations, pages and the companion
// programs lie beside the program and are found from it. Its path is kept as UTF-8 here (and
// as UTF-16 for the system), so a folder named in any script works.
#ifndef NORAVEL_BASE_PROGRAM_DIRECTORY_H
#define NORAVEL_BASE_PROGRAM_DIRECTORY_H

#include <cstddef>

// A path the system's file and process calls take: at most 259 UTF-16 units and the
// terminator.
constexpr std::size_t kSystemPathUnits = 260;
// Room kept under that for the longest name the reader opens beside its folder
// ("\html\qs114\290.html", "\gif\114\114_286.gif", "\mp3\<surah>_<part>.mp3").
constexpr std::size_t kRoomForNamesBeside = 40;
// The longest program folder the reader runs from, in UTF-16 units; a longer one is
// refused at start rather than cut into the name of another folder.
constexpr std::size_t kMaxProgramDirectoryUnits = kSystemPathUnits - 1 - kRoomForNamesBeside;
// Bytes of a UTF-8 buffer for any path the system takes (UTF-8 needs at most 3 bytes for
// a UTF-16 unit).
constexpr std::size_t kUtf8PathBytes = 3 * kSystemPathUnits;

// The UTF-16 units that UTF-8 text takes (4-byte sequences take two). Bytes that start no
// sequence count one each, as a decoder would replace them.
std::size_t utf16UnitsOf(const char* utf8);

// Copies the program file's path into out, cut at its last backslash (the backslash itself
// is dropped). A path without a backslash stays whole. When the folder does not fit outSize
// (its terminator counted) or is longer than kMaxProgramDirectoryUnits, out is "" and the
// result false: a folder is never cut into another one's name.
bool programDirectoryFromPath(const char* programPath, char* out, std::size_t outSize);

// "<directory>\<set>\<surah>\<surah>_<ayah>.gif"; false (out "") when it does not fit. The
// set is "gif" (drawn for 96 DPI) or kDoublePictureSet.
inline constexpr const char* kDoublePictureSet = "gif2x";
bool formatPicturePath(char* out, std::size_t size, const char* directory, int surah, int ayah,
                       const char* set = "gif");

#endif
