// Paths are UTF-8 inside the program, so that the portable formatters can build them, and
// UTF-16 at every call of the system that takes one (files, processes, the browser): a
// folder may be named in any script, and the code page of the system holds only a few.
// The narrow texts of the system itself (resources, registry names, captions) stay narrow.
#ifndef NORAVEL_BASE_WIDE_TEXT_WIN_H
#define NORAVEL_BASE_WIDE_TEXT_WIN_H

#include <windows.h>

#include <string>

// The UTF-16 form of UTF-8 text; empty when the text is null or not valid UTF-8 (a path
// that cannot be named must not become another one).
std::wstring wideFromUtf8(const char* utf8);

// The UTF-8 form of UTF-16 text; empty when the text is null or holds an unpaired
// surrogate.
std::string utf8FromWide(const wchar_t* wide);

// A message box whose text may hold UTF-8 (a path beside fixed words); text that is not
// valid UTF-8 is read in the ANSI code page, as the system's own error texts come.
// The caption is a narrow text of the system.
int showUtf8MessageBox(HWND owner, const char* text, const char* caption, UINT flags);

#endif
