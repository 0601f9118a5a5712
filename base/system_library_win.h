// Libraries of Windows loaded when first needed, from the system folder only, and their
// functions looked up by name: for functions that older systems lack (the program still
// starts there) and for libraries that the first paint does not need.
#ifndef NORAVEL_BASE_SYSTEM_LIBRARY_WIN_H
#define NORAVEL_BASE_SYSTEM_LIBRARY_WIN_H

#include <windows.h>

// The library of that file name from the Windows system folder (loaded if it is not yet;
// it stays loaded for the run). Null when it cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t* fileName);

// A function of a system library, or null where the library or the function is missing.
template <typename Function>
Function systemFunction(const wchar_t* libraryFileName, const char* functionName) {
    HMODULE library = loadSystemLibrary(libraryFileName);
    if (!library) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(library, functionName)));
}

#endif
