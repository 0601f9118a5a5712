; The Windows installer of Noravel (NSIS 3). The build makes it with
;   makensis -DVERSION=3.2 -DPUBLISHER=... -DLISTS_DIR=<folder> -DICON_FILE=<noravel.ico>
;            -DOUT_FILE=<setup.exe> scripts/installer.nsi
; LISTS_DIR holds install-files.nsh, uninstall-files.nsh and size.nsh, written by
; cmake/release-files.cmake from the staged program folder: the installer copies exactly
; those files and the uninstaller removes exactly those, so files a user added (mp3
; recitations) stay where they are.
;
; It installs machine-wide into the 64-bit program files folder, adds a Start-menu
; shortcut and registers the uninstaller in Add/Remove Programs. The uninstaller also
; removes the reader's own settings (SOFTWARE\KELVANE\QURAN under HKLM and HKCU) and
; SOFTWARE\KELVANE itself only when nothing else is left in it. /S runs either silently.
;
; Neither replaces nor removes anything while the reader, the tajwid program or the
; recitation player runs from the folder: the user is asked to close them (Retry) or
; stops (Cancel); a silent run stops at once with exit code 2, and nothing was changed.

; A 64-bit installer: the reader is a 64-bit program, so a Windows that cannot run this
; installer could not run the reader either (and Wine here runs 64-bit programs only).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!macro _NeedDefine name
  !ifndef ${name}
    !error "makensis needs -D${name}=..."
  !endif
!macroend
!insertmacro _NeedDefine VERSION
!insertmacro _NeedDefine PUBLISHER
!insertmacro _NeedDefine LISTS_DIR
!insertmacro _NeedDefine ICON_FILE
!insertmacro _NeedDefine OUT_FILE

!define PRODUCT "Noravel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "SOFTWARE\KELVANE\QURAN"
!define PUBLISHER_KEY "SOFTWARE\KELVANE"
!define UNINSTALLER "uninstall.exe"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "${LISTS_DIR}/size.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
; A file that cannot be written is never skipped: Abort or Retry only.
AllowSkipFiles off

; Name, version and icon of setup.exe (the uninstaller is made from the same stub and
; carries the same icon and version record).
VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

; With SIGN_SCRIPT (scripts/sign.sh) the finished setup.exe and the uninstaller it carries
; are signed; the script signs only when the release is given a certificate.
!ifdef SIGN_SCRIPT
  !finalize 'bash "${SIGN_SCRIPT}" "%1"'
  !uninstfinalize 'bash "${SIGN_SCRIPT}" "%1"'
!endif

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run now" box: the installer runs elevated, and the reader should not.
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Appends the name of a program of the folder to $R1 when it runs: the file of a running
; program cannot be opened for writing.
!macro _NoteIfRunning file
  ${If} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $R2 "$INSTDIR\${file}" a
    ${If} ${Errors}
      StrCpy $R1 "$R1 ${file}"
    ${Else}
      FileClose $R2
    ${EndIf}
  ${EndIf}
!macroend

; Before anything in $INSTDIR is touched: waits until none of the programs runs, or stops
; the installer (or uninstaller) with exit code 2.
!macro _DefineProgramsClosedCheck prefix
Function ${prefix}checkProgramsClosed
  Push $R1
  Push $R2
  ${Do}
    StrCpy $R1 ""
    !insertmacro _NoteIfRunning "Noravel.exe"
    !insertmacro _NoteIfRunning "morvent.exe"
    !insertmacro _NoteIfRunning "zemplay.exe"
    ${If} $R1 == ""
      ${ExitDo}
    ${EndIf}
    DetailPrint "Still running from $INSTDIR:$R1"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is still running ($R1 ).$\r$\n$\r$\nClose the reader and every tajwid window, then choose Retry. Cancel stops without changing anything." \
      /SD IDCANCEL IDRETRY retry
    ${ExitDo}
  retry:
  ${Loop}
  ${If} $R1 != ""
    SetErrorLevel 2
    Abort "${PRODUCT} is still running ($R1 ): nothing was changed."
  ${EndIf}
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
!insertmacro _DefineProgramsClosedCheck ""
!insertmacro _DefineProgramsClosedCheck "un."

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Noravel" SecProgram
  SectionIn RO
  Call checkProgramsClosed
  !include "${LISTS_DIR}/install-files.nsh"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; The shortcut starts the reader in its own folder, where it finds gif\, mp3\ and html\.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Noravel.exe" "" "$INSTDIR\Noravel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Noravel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Call un.checkProgramsClosed
  !include "${LISTS_DIR}/uninstall-files.nsh"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Only when empty: a folder the user put files into stays.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The reader's settings, machine-wide and of the user who uninstalls; the publisher's
  ; key goes only when no other program keeps anything in it.
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "${PUBLISHER_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${PUBLISHER_KEY}"
SectionEnd
