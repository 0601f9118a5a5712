// Text is UTF-8 inside the program, so that the portable formatters can build paths and
// names, and UTF-16 at every call of the system that takes text (windows, files,
// processes, the registry, the browser): a folder or a font may be named in any script,
// and the code page of the system holds only a few.
#ifndef NORAVEL_BASE_WIDE_TEXT_WIN_H
#define NORAVEL_BASE_WIDE_TEXT_WIN_H

#include <windows.h>

#include <cstddef>
#include <string>

// The UTF-16 form of UTF-8 text; empty when the text is null or not valid UTF-8 (a path
// that cannot be named must not become another one).
std::wstring wideFromUtf8(const char* utf8);

// As wideFromUtf8, but tells an empty text from one that is not UTF-8: false (and wide
// empty) for the latter; null reads as "".
bool tryWideFromUtf8(const char* utf8, std::wstring& wide);

// The UTF-8 form of UTF-16 text; empty when the text is null or holds an unpaired
// surrogate. The second form takes `units` units, NULs included.
std::string utf8FromWide(const wchar_t* wide);
std::string utf8FromWide(const wchar_t* wide, size_t units);

// Text in the system's ANSI code page (what the narrow calls of earlier versions gave
// and took) as UTF-8, and UTF-16 as that code page (characters it lacks become its
// default character). Both take `length` bytes or units, NULs included.
std::string utf8FromAnsi(const char* ansi, size_t length);
std::string ansiFromWide(const wchar_t* wide, size_t units);

// A message box whose text may hold UTF-8 (a path beside fixed words); text that is not
// valid UTF-8 is read in the ANSI code page, as the system's own error texts come.
// The caption is read the same way.
int showUtf8MessageBox(HWND owner, const char* text, const char* caption, UINT flags);

// The system's predefined resources (IDC_ARROW, IDI_APPLICATION) are numbers that the
// headers of this build make into narrow names; the W calls take the same number.
inline LPCWSTR wideResourceId(LPCSTR id) {
    return MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(id));
}

#endif
