; The setup program of Tessaldo for 64-bit Windows. Defined by the build:
;   VERSION      the program's version, e.g. 1.0.0
;   PROGRAM_DIR  the folder holding bin.exe, Tessaldo.exe, RICHTX32.OCX, left.jpg, right.jpg
;   ICON         the launcher's icon
;   CLSID        the text control's class identifier (the text of its identity resource)
;   LICENSE      the licence text shown before the folder page
;   OUTFILE      the setup program to write
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define PRODUCT "Tessaldo"
!define PUBLISHER "Tessaldo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaldo"
!define UNINSTALLER "Disinstalla Tessaldo.exe"
!define SHORTCUT "$SMPROGRAMS\Tessaldo.lnk"
!define CONTROL "RICHTX32.OCX"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tessaldo"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "Copyright (c) 2026 Gli sviluppatori di Tessaldo"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_DIRECTORYPAGE_TEXT_TOP \
  "Tessaldo va installato in una cartella dentro $PROGRAMFILES64, dove solo gli amministratori possono scrivere. $_CLICK"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The last page starts the program with the user's rights, not the setup's: see StartAsUser.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Tessaldo richiede Windows a 64 bit." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

; $0 becomes 1 when $INSTDIR, made absolute, is a folder inside the 64-bit Program Files, which
; only administrators may write; 0 otherwise. A folder anywhere else is refused: it may be one
; that a user created, owns and can open up again, or that already holds their files.
Function IsSafeFolder
  StrCpy $0 0
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  StrLen $3 "$PROGRAMFILES64\"
  StrCpy $4 $1 $3
  ; A name after the prefix; == ignores the letters' case, as the file system does.
  ${If} $2 > $3
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
  ${AndIf} $4 == "$PROGRAMFILES64\"
    StrCpy $0 1
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  Call IsSafeFolder
  ${If} $0 != 1
    Abort
  ${EndIf}
FunctionEnd

; explorer.exe hands the file to the shell that is already running, which starts it as the
; signed-in user: the launcher, and the converter after it, never run with the setup's rights.
Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Tessaldo.exe"'
FunctionEnd

Section "Tessaldo"
  ; The folder page checks the folder; a silent setup's /D= is checked here.
  Call IsSafeFolder
  ${If} $0 != 1
    MessageBox MB_ICONSTOP "Tessaldo va installato in una cartella dentro $PROGRAMFILES64." /SD IDOK
    Abort
  ${EndIf}
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}/bin.exe"
  File "${PROGRAM_DIR}/Tessaldo.exe"
  File "${PROGRAM_DIR}/${CONTROL}"
  File "${PROGRAM_DIR}/left.jpg"
  File "${PROGRAM_DIR}/right.jpg"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortCut "${SHORTCUT}" "$INSTDIR\Tessaldo.exe" "" "$INSTDIR\Tessaldo.exe" 0 \
    SW_SHOWNORMAL "" "Convertitore di numeri"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tessaldo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; $0: a file's path. $1 becomes 1 when it is Tessaldo's own text control: its identity resource,
; read with the file mapped as data, holds the control's class identifier; 0 otherwise.
Function un.IsOwnControl
  StrCpy $1 0
  ; LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE: none of the file's code runs.
  System::Call 'kernel32::LoadLibraryExW(w r0, p 0, i 0x22) p .r2'
  ${If} $2 != 0
    System::Call 'kernel32::FindResourceW(p r2, w "TESSALDO_TESTO256", p 10) p .r3'
    ${If} $3 != 0
      System::Call 'kernel32::SizeofResource(p r2, p r3) i .r4'
      System::Call 'kernel32::LoadResource(p r2, p r3) p .r5'
      System::Call 'kernel32::LockResource(p r5) p .r6'
      StrLen $7 "${CLSID}"
      ${If} $6 != 0
      ${AndIf} $4 == $7
        System::Call '*$6(&m$7 .r8)'
        ${If} $8 S== "${CLSID}"
          StrCpy $1 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::FreeLibrary(p r2)'
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The control's registration, removed here rather than by its own code: the keys of its
  ; class and program identifiers, which are Tessaldo's alone.
  DeleteRegKey HKLM "Software\Classes\CLSID\${CLSID}"
  DeleteRegKey HKLM "Software\Classes\Tessaldo.Testo256.1"
  DeleteRegKey HKLM "Software\Classes\Tessaldo.Testo256"
  ; The control the launcher put into the system folder, deleted only when it is Tessaldo's
  ; own, and never run: a file of that name from anyone else stays as it is.
  StrCpy $0 "$SYSDIR\${CONTROL}"
  ${If} ${FileExists} "$0"
    Call un.IsOwnControl
    ${If} $1 == 1
      Delete /REBOOTOK "$0"
    ${EndIf}
  ${EndIf}

  ; A file still in use (a converter left open) goes at the next restart of Windows.
  Delete "${SHORTCUT}"
  Delete /REBOOTOK "$INSTDIR\bin.exe"
  Delete /REBOOTOK "$INSTDIR\Tessaldo.exe"
  Delete /REBOOTOK "$INSTDIR\${CONTROL}"
  Delete /REBOOTOK "$INSTDIR\left.jpg"
  Delete /REBOOTOK "$INSTDIR\right.jpg"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The last line and the status say what was done, not NSIS's "Installazione completata",
  ; which the uninstaller would show too.
  SetDetailsPrint both
  DetailPrint "Disinstallazione completata"
  SetDetailsPrint none
SectionEnd
