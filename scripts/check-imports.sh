#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that does not come with every Windows
# (for example the compiler's own runtime libraries), or names one for loading at run time
# (its delay-load imports and LoadLibrary names, found as strings in the file).
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|ole32|oleaut32|usp10|winmm|msacm32|winhttp|msvcrt|shlwapi|version|riched32|riched20|msftedit|dwmapi|uxtheme|api-ms-win-crt-[a-z0-9-]+)\.dll$'
status=0
for exe in "$@"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
    named=$( (strings -a "$exe"; strings -a -e l "$exe") | grep -iE '^[a-z0-9_.-]+\.dll$' |
        tr 'A-Z' 'a-z' | sort -u)
    for dll in $named; do
        if ! [[ $dll =~ $allowed ]]; then
            echo "$exe names $dll for loading, which Windows does not bring"
            status=1
        fi
    done
    [ -n "$dlls" ] || { echo "$exe: no imports found"; status=1; }
    for dll in $dlls; do
        if ! [[ $dll =~ $allowed ]]; then
            echo "$exe imports $dll, which Windows does not bring"
            status=1
        fi
    done
    echo "$exe imports: $(echo $dlls | tr '\n' ' ')"
    echo "$exe names for loading: $(echo $named | tr '\n' ' ')"
done
exit $status
