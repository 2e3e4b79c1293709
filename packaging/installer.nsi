; The per-user installer: no administrator prompt, everything under the user's own profile and
; registry hive, and an uninstaller that takes away exactly what was written here.
; makensis -DVERSION=1.40 -DSTAGE=<folder with the files> -DICON=<app.ico> -DOUTFILE=<setup.exe>
;          [-DSIGN=<command that signs the file named after it in place>]
Unicode true
; A 64-bit installer for 64-bit programs; it also runs where only 64-bit Wine is installed.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "TEV USB"
!define PUBLISHER "TEV USB"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TEV USB"
!define PROGID "TevUsb.Flight"
!define CLASSES "Software\Classes"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!ifdef SIGN
  ; The uninstaller is made inside makensis, so it is signed there, before it is packed.
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\TevUsb.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; What the installer puts in a folder, taken away again by the uninstaller and by a move to another
; folder: only these files, so flights saved there stay, and so does the folder then.
!macro RemoveProgramFiles DIR
  Delete "${DIR}\TevUsb.exe"
  Delete "${DIR}\tevtool.exe"
  Delete "${DIR}\ReadMe.txt"
  Delete "${DIR}\Uninstall.exe"
  RMDir "${DIR}"
!macroend

; A running program's file cannot be opened for writing, and cannot be replaced or deleted either:
; so nothing is touched while one runs. Asks to close it (Retry) until it is closed, or Cancel.
; In: $0 the folder. Out: $0 "" once nothing there runs, "cancel" otherwise (always so in silent
; mode, which nobody can answer).
!macro _InUse FILE
  ${If} $1 == ""
  ${AndIf} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $2 "${FILE}" a
    ${If} ${Errors}
      StrCpy $1 "${FILE}"
    ${Else}
      FileClose $2
    ${EndIf}
  ${EndIf}
!macroend
!macro DefineWaitUntilClosed UN
  Function ${UN}WaitUntilClosed
    ${Do}
      StrCpy $1 ""
      !insertmacro _InUse "$0\TevUsb.exe"
      !insertmacro _InUse "$0\tevtool.exe"
      ${If} $1 == ""
        StrCpy $0 ""
        Return
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "$1 is running.$\r$\n$\r$\nClose it, then click Retry. Cancel leaves ${PRODUCT} as it is." \
        /SD IDCANCEL IDRETRY retry
      StrCpy $0 "cancel"
      Return
    retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DefineWaitUntilClosed ""
!insertmacro DefineWaitUntilClosed "un."

; The exit status says what happened: 0 only when everything was done.
!macro Stop TEXT
  DetailPrint "${TEXT}"
  SetErrorLevel 2
  Abort
!macroend
!macro Fail TEXT
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  !insertmacro Stop "${TEXT}"
!macroend

Var PreviousDir  ; where the install found at start is, "" for none

Function .onInit
  SetShellVarContext current
  ReadRegStr $PreviousDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ; An upgrade goes where the last install went, unless /D= named another folder.
  ${If} $PreviousDir != ""
  ${AndIf} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
    StrCpy $INSTDIR $PreviousDir
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
  ; The copy that takes the uninstaller itself away once the uninstall (process id given) has
  ; ended, however long its last page stays open (below).
  ${GetOptions} $CMDLINE "/CLEANUP=" $0
  ${IfNot} ${Errors}
    IntOp $0 $0 + 0
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r0) p .r1'  ; SYNCHRONIZE
    ${If} $1 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r1, i -1)'
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    ${For} $0 1 50
      Delete "$INSTDIR\Uninstall.exe"
      ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
FunctionEnd

Section "TEV USB" SecProgram
  SectionIn RO
  ; Installing into another folder moves the install: the old folder's program files go.
  StrCpy $R9 ""
  ${If} $PreviousDir != ""
    GetFullPathName $R8 $INSTDIR
    GetFullPathName $R9 $PreviousDir
    ${If} $R9 == $R8
      StrCpy $R9 ""
    ${EndIf}
  ${EndIf}
  StrCpy $0 $INSTDIR
  Call WaitUntilClosed
  ${If} $0 == ""
  ${AndIf} $R9 != ""
    StrCpy $0 $R9
    Call WaitUntilClosed
  ${EndIf}
  ${If} $0 != ""
    !insertmacro Stop "${PRODUCT} was not installed: it is running."
  ${EndIf}

  ; Over an earlier install the files are simply replaced: upgrade in place.
  StrCpy $R7 "upgrade"
  ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
    StrCpy $R7 ""
  ${EndIf}
  ClearErrors
  SetOutPath "$INSTDIR"
  File "${STAGE}\TevUsb.exe"
  File "${STAGE}\tevtool.exe"
  File "${STAGE}\ReadMe.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    ; Nothing is registered for files that are not there, and a new folder is left as it was.
    ${If} $R7 == ""
      SetOutPath "$TEMP"
      !insertmacro RemoveProgramFiles "$INSTDIR"
    ${EndIf}
    !insertmacro Fail "${PRODUCT} was not installed: the files could not be written to $INSTDIR.$\r$\n$\r$\nChoose a folder you can write to."
  ${EndIf}
  ${If} $R9 != ""
    !insertmacro RemoveProgramFiles "$R9"
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\TevUsb.exe" "" "$INSTDIR\TevUsb.exe" 0

  ; The installed programs list.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TevUsb.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; In place (_?=): otherwise the uninstaller starts a copy of itself and exits at once with 0, so
  ; whoever runs it would never learn whether the uninstall worked.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; Flights open with a double-click: .tev belongs to the flight ProgID, which opens them here.
  WriteRegStr HKCU "${CLASSES}\.tev" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "TEV USB flight"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\TevUsb.exe",0'
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\TevUsb.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  ; Everything or nothing: nothing goes while a program of it runs.
  StrCpy $0 $INSTDIR
  Call un.WaitUntilClosed
  ${If} $0 != ""
    !insertmacro Stop "${PRODUCT} was not uninstalled: it is running."
  ${EndIf}
  Delete "$INSTDIR\TevUsb.exe"
  Delete "$INSTDIR\tevtool.exe"
  ${If} ${FileExists} "$INSTDIR\TevUsb.exe"
  ${OrIf} ${FileExists} "$INSTDIR\tevtool.exe"
    !insertmacro Fail "${PRODUCT} was not uninstalled whole: a program in $INSTDIR could not be deleted."
  ${EndIf}
  ; Run in place, as the registered commands run it, this file cannot go while it runs: a copy
  ; of it, started now, deletes it once this process has ended.
  GetFullPathName $R1 "$INSTDIR\Uninstall.exe"
  GetFullPathName $R2 $EXEPATH
  ${If} $R1 == $R2
    GetTempFileName $R0
    CopyFiles /SILENT $EXEPATH $R0
    System::Call 'kernel32::GetCurrentProcessId() i .R3'
    Exec '"$R0" /S /CLEANUP=$R3 _?=$INSTDIR'
  ${EndIf}
  !insertmacro RemoveProgramFiles "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  ; .tev is let go only while it still points at us: another program may have taken it since.
  ReadRegStr $0 HKCU "${CLASSES}\.tev" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKCU "${CLASSES}\.tev" ""
  DeleteRegKey /ifempty HKCU "${CLASSES}\.tev"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
