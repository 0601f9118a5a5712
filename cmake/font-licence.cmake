# Writes the licence of the Amiri Quran font that ships beside the program: the copyright
# and the SIL Open Font License 1.1 as Debian's fonts-hosny-amiri states them.
#   cmake -DCOPYRIGHT=<debian copyright file> -DOUT=<text file> -P font-licence.cmake
file(READ ${COPYRIGHT} text)
string(REGEX MATCH "Files: \\*\nCopyright: ([^\n]*)" found "${text}")
if(NOT found)
    message(FATAL_ERROR "${COPYRIGHT} names no copyright for the font files")
endif()
set(holder "${CMAKE_MATCH_1}")
# The licence is the paragraph that starts with "License: OFL" and holds the text.
string(FIND "${text}" "\nLicense: OFL\n" at REVERSE)
if(at LESS 0)
    message(FATAL_ERROR "${COPYRIGHT} holds no OFL text")
endif()
math(EXPR at "${at} + 14")
string(SUBSTRING "${text}" ${at} -1 licence)
string(REGEX REPLACE "\n \\.(\n|$)" "\n\n" licence "\n${licence}")
string(REGEX REPLACE "\n \\.(\n|$)" "\n\n" licence "${licence}")
string(REGEX REPLACE "\n " "\n" licence "${licence}")
string(STRIP "${licence}" licence)
set(out "Amiri Quran font (AmiriQuran.ttf), https://www.amirifont.org\r\nCopyright ${holder}\r\n\r\n${licence}\r\n")
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\n" "\r\n" out "${out}")
file(WRITE ${OUT} "${out}")
