; The Windows setup program of Brightwipe, built by scripts/make-dist with
;   makensis -DVERSION=<x.yy> -DDIST=<program folder> -DOUTFILE=<setup exe> -DFILES=<list> setup/Brightwipe.nsi
; It installs the program folder under Program Files, adds Start menu shortcuts and an entry in
; Add/Remove Programs; its uninstaller removes exactly what it installed, and the user's
; settings and lists only when the user says so.
; FILES is an include made by make-dist that names every file of the program folder one by one
; (macro BW_FILES) and its sub-folders deepest first (BW_FOLDERS): setup installs exactly those,
; the uninstaller removes exactly those and never deletes by wildcard.
!ifndef VERSION | DIST | OUTFILE | FILES
  !error "VERSION, DIST, OUTFILE and FILES must be defined"
!endif

Unicode true
Name "Brightwipe ${VERSION}"
OutFile "${OUTFILE}"
; $PROGRAMFILES is the folder of 32-bit programs: "Program Files (x86)" on 64-bit Windows.
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
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${FILES}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brightwipe"
!define MUI_ICON "${DIST}\..\art\Brightwipe.ico"
!define MUI_UNICON "${DIST}\..\art\Brightwipe.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Brightwipe.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Brightwipe"

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The names setup puts directly in the program folder, besides the files of BW_FILES: a folder
; holding anything else is someone's, and the user is asked before Brightwipe moves in.
!macro BW_IS_OURS NAME
  ${If} $1 == "${NAME}"
    StrCpy $2 1
  ${EndIf}
!macroend
!macro BW_FILE_IS_OURS FOLDER NAME
  !if "${FOLDER}" == ""
    !insertmacro BW_IS_OURS "${NAME}"
  !endif
!macroend
!macro BW_FOLDER_IS_OURS FOLDER
  !insertmacro BW_IS_OURS "${FOLDER}"
!macroend

Function DirectoryLeave
  StrCpy $3 0
  FindFirst $0 $1 "$INSTDIR\*"
  ${DoWhile} $1 != ""
    StrCpy $2 0
    ${If} $1 == "."
    ${OrIf} $1 == ".."
    ${OrIf} $1 == "Uninstall.exe"
    ${OrIf} $1 == "bwsd.dat"
    ${OrIf} $1 == "cusd.dat"
    ${OrIf} $1 == "keepurl.dat"
    ${OrIf} $1 == "keepcook.dat"
      StrCpy $2 1
    ${EndIf}
    !insertmacro BW_FILES BW_FILE_IS_OURS
    !insertmacro BW_FOLDERS BW_FOLDER_IS_OURS
    ${If} $2 == 0
      StrCpy $3 1
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  ${If} $3 == 1
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "The folder $INSTDIR already holds other files.$\r$\n$\r$\nBrightwipe would be installed beside them. Its uninstaller removes only the files setup installed, but a file of the same name as one of Brightwipe's would be replaced.$\r$\n$\r$\nInstall into this folder anyway?" IDYES +2
      Abort
  ${EndIf}
FunctionEnd

!macro BW_INSTALL_FILE FOLDER NAME
  !if "${FOLDER}" == ""
    SetOutPath "$INSTDIR"
    File "${DIST}\${NAME}"
  !else
    SetOutPath "$INSTDIR\${FOLDER}"
    File "${DIST}\${FOLDER}\${NAME}"
  !endif
!macroend

Section "Brightwipe"
  !insertmacro BW_FILES BW_INSTALL_FILE
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

; Removes `NAME` below the folder `BASE`, a file or an empty folder, only when it really is that
; entry: the handle it is opened by must carry the folder's own final name plus NAME, byte for
; byte. A link (under Wine a Linux symbolic link, which any delete by name would follow to its
; target) is thus left alone, with whatever it points at. The delete goes through the same
; handle that was checked. Where the system cannot name a handle (Windows XP, which has no file
; links), the entry is deleted by name.
Function un.RemoveEntry
  Exch $1  ; NAME
  Exch
  Exch $0  ; BASE
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r2'
  ${If} $2 P<> -1
    System::Call 'kernel32::GetFinalPathNameByHandleW(p r2, w .r3, i ${NSIS_MAX_STRLEN}, i 0) i .r4'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $4 == "error"
      ; No final names on this system.
      ${If} ${FileExists} "$0\$1\*"
        RMDir "$0\$1"
      ${Else}
        Delete "$0\$1"
      ${EndIf}
    ${ElseIf} $4 > 0
      System::Call 'kernel32::CreateFileW(w "$0\$1", i 0x10080, i 7, p 0, i 3, i 0x02000000, p 0) p .r2'
      ${If} $2 P<> -1
        System::Call 'kernel32::GetFinalPathNameByHandleW(p r2, w .r5, i ${NSIS_MAX_STRLEN}, i 0) i .r4'
        ${If} $4 > 0
          StrCmpS $5 "$3\$1" 0 +2
            System::Call 'kernel32::SetFileInformationByHandle(p r2, i 4, *i 1, i 4) i .r4'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd
!macro BW_REMOVE BASE NAME
  Push "${BASE}"
  Push "${NAME}"
  Call un.RemoveEntry
!macroend
!macro BW_UNINSTALL_FILE FOLDER NAME
  !if "${FOLDER}" == ""
    !insertmacro BW_REMOVE "$INSTDIR" "${NAME}"
  !else
    !insertmacro BW_REMOVE "$INSTDIR" "${FOLDER}\${NAME}"
  !endif
!macroend
!macro BW_UNINSTALL_FOLDER FOLDER
  !insertmacro BW_REMOVE "$INSTDIR" "${FOLDER}"
!macroend

; Removes file by file what setup put there: a folder goes only once it is empty, so nothing the
; user keeps in it is ever deleted.
Section "Uninstall"
  !insertmacro BW_FILES BW_UNINSTALL_FILE
  !insertmacro BW_FOLDERS BW_UNINSTALL_FOLDER
  !insertmacro BW_REMOVE "$INSTDIR" "Uninstall.exe"

  ; The settings and lists are the user's: removed only on a yes (a silent uninstall keeps them).
  ; They live in the program folder when the user could write there, else in the user's
  ; application data; Search & Erase keeps its own in the registry.
  SetShellVarContext current
  ${If} ${FileExists} "$INSTDIR\*.dat"
  ${OrIf} ${FileExists} "$APPDATA\Brightwipe\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION "Also remove your Brightwipe settings and lists (bwsd.dat, cusd.dat, keepurl.dat, keepcook.dat)?" /SD IDNO IDNO settings_done
      !insertmacro BW_REMOVE "$INSTDIR" "bwsd.dat"
      !insertmacro BW_REMOVE "$INSTDIR" "cusd.dat"
      !insertmacro BW_REMOVE "$INSTDIR" "keepurl.dat"
      !insertmacro BW_REMOVE "$INSTDIR" "keepcook.dat"
      !insertmacro BW_REMOVE "$APPDATA\Brightwipe" "bwsd.dat"
      !insertmacro BW_REMOVE "$APPDATA\Brightwipe" "cusd.dat"
      !insertmacro BW_REMOVE "$APPDATA\Brightwipe" "keepurl.dat"
      !insertmacro BW_REMOVE "$APPDATA\Brightwipe" "keepcook.dat"
      !insertmacro BW_REMOVE "$APPDATA\Brightwipe" "Ext.txt"
      !insertmacro BW_REMOVE "$APPDATA" "Brightwipe"
      DeleteRegKey HKCU "Software\VB and VBA Program Settings\DriveScrub"
  ${EndIf}
  settings_done:
  ${GetParent} "$INSTDIR" $0
  ${GetFileName} "$INSTDIR" $1
  !insertmacro BW_REMOVE "$0" "$1"

  SetShellVarContext all
  !insertmacro BW_REMOVE "$SMPROGRAMS\Brightwipe" "Brightwipe.lnk"
  !insertmacro BW_REMOVE "$SMPROGRAMS\Brightwipe" "Brightwipe Help.lnk"
  !insertmacro BW_REMOVE "$SMPROGRAMS\Brightwipe" "Uninstall Brightwipe.lnk"
  !insertmacro BW_REMOVE "$SMPROGRAMS" "Brightwipe"

  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Brightwipe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
