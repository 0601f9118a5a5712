// The four text matchers shared by the translation search and the Arabic search.
//
// Each takes a NUL-terminated text and a NUL-terminated pattern and returns the byte
// offset of the first accepted occurrence of the pattern in the text, or -1.
//  - findText        exact bytes, any occurrence;
//  - findWord        exact bytes, whole words only;
//  - findTextNoCase  ASCII letters match in either case, any occurrence;
//  - findWordNoCase  ASCII letters match in either case, whole words only.
// Only ASCII letters fold: every other byte, including 128..255, must be equal.
// A whole word is an occurrence with no word byte (ASCII letter or digit) right before
// it or right after it. An empty pattern is found at 0 by findText and findTextNoCase;
// the whole-word matchers accept it at the first position not touching a word byte.
// Null pointers are treated as empty texts.
#ifndef NORAVEL_SEARCH_MATCHERS_H
#define NORAVEL_SEARCH_MATCHERS_H

int findText(const char* text, const char* pattern);
int findWord(const char* text, const char* pattern);
int findTextNoCase(const char* text, const char* pattern);
int findWordNoCase(const char* text, const char* pattern);

// True for the bytes that make up words: A-Z, a-z, 0-9.
bool isWordByte(unsigned char byte);

// The matcher a search uses, chosen from its two flags.
using Matcher = int (*)(const char* text, const char* pattern);
Matcher chooseMatcher(bool matchCase, bool wholeWord);

#endif
