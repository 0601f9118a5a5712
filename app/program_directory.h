// The folder that holds the program file: pictures, recitations, pages and the companion
// programs lie beside the program and are found from it.
#ifndef NORAVEL_PROGRAM_DIRECTORY_H
#define NORAVEL_PROGRAM_DIRECTORY_H

#include <cstddef>

// Copies the program file's path into out, cut at its last backslash (the backslash itself
// is dropped). A path without a backslash stays whole. The copy is cut to outSize - 1 bytes
// and always terminated (when outSize > 0).
void programDirectoryFromPath(const char* programPath, char* out, std::size_t outSize);

#endif
