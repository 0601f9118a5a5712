#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that does not come with every Windows
# (for example the compiler's own runtime libraries).
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|ole32|oleaut32|usp10|winmm|msacm32|winhttp|msvcrt|shlwapi|version|api-ms-win-crt-[a-z0-9-]+)\.dll$'
status=0
for exe in "$@"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
    [ -n "$dlls" ] || { echo "$exe: no imports found"; status=1; }
    for dll in $dlls; do
        if ! [[ $dll =~ $allowed ]]; then
            echo "$exe imports $dll, which Windows does not bring"
            status=1
        fi
    done
    echo "$exe imports: $(echo $dlls | tr '\n' ' ')"
done
exit $status
