; The Windows setup program of Brightwipe, built by scripts/make-dist with
;   makensis -DVERSION=<x.yy> -DDIST=<program folder> -DOUTFILE=<setup exe> setup/Brightwipe.nsi
; It installs the program folder under Program Files, adds Start menu shortcuts and an entry in
; Add/Remove Programs; its uninstaller removes exactly what it installed, and the user's
; settings and lists only when the user says so.
!ifndef VERSION | DIST | OUTFILE
  !error "VERSION, DIST and OUTFILE must be defined"
!endif

Unicode true
Name "Brightwipe ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Brightwipe"
InstallDirRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brightwipe" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; Installed files carry the install time, not the build machine's file times: the same sources
; give the same setup program.
SetDateSave off
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Brightwipe"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Brightwipe setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Brightwipe"

!include "MUI2.nsh"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brightwipe"
!define MUI_ICON "${DIST}\..\art\Brightwipe.ico"
!define MUI_UNICON "${DIST}\..\art\Brightwipe.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Brightwipe.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Brightwipe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Brightwipe"
  SetOutPath "$INSTDIR"
  File "${DIST}\Brightwipe.exe"
  File "${DIST}\Ext.txt"
  File "${DIST}\help.chm"
  SetOutPath "$INSTDIR\Skinz\Blue"
  File "${DIST}\Skinz\Blue\*.gif"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Brightwipe"
  CreateShortcut "$SMPROGRAMS\Brightwipe\Brightwipe.lnk" "$INSTDIR\Brightwipe.exe"
  CreateShortcut "$SMPROGRAMS\Brightwipe\Brightwipe Help.lnk" "$INSTDIR\help.chm"
  CreateShortcut "$SMPROGRAMS\Brightwipe\Uninstall Brightwipe.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Brightwipe ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Brightwipe.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes file by file what setup put there: the folder itself goes only once it is empty, so
; nothing the user keeps in it is ever deleted.
Section "Uninstall"
  Delete "$INSTDIR\Brightwipe.exe"
  Delete "$INSTDIR\Ext.txt"
  Delete "$INSTDIR\help.chm"
  Delete "$INSTDIR\Skinz\Blue\*.gif"
  RMDir "$INSTDIR\Skinz\Blue"
  RMDir "$INSTDIR\Skinz"
  Delete "$INSTDIR\Uninstall.exe"

  ; The settings and lists are the user's: removed only on a yes (a silent uninstall keeps them).
  IfFileExists "$INSTDIR\*.dat" 0 settings_done
  MessageBox MB_YESNO|MB_ICONQUESTION "Also remove your Brightwipe settings and lists (bwsd.dat, cusd.dat, keepurl.dat, keepcook.dat)?" /SD IDNO IDNO settings_done
    Delete "$INSTDIR\bwsd.dat"
    Delete "$INSTDIR\cusd.dat"
    Delete "$INSTDIR\keepurl.dat"
    Delete "$INSTDIR\keepcook.dat"
  settings_done:
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Brightwipe\Brightwipe.lnk"
  Delete "$SMPROGRAMS\Brightwipe\Brightwipe Help.lnk"
  Delete "$SMPROGRAMS\Brightwipe\Uninstall Brightwipe.lnk"
  RMDir "$SMPROGRAMS\Brightwipe"

  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Brightwipe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
