; The per-user installer: no administrator prompt, everything under the user's own profile and
; registry hive, and an uninstaller that takes away exactly what was written here.
; makensis -DVERSION=1.40 -DSTAGE=<folder with the files> -DICON=<app.ico> -DOUTFILE=<setup.exe>
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

Function .onInit
  SetShellVarContext current
  ; An upgrade goes where the last install went, unless /D= named another folder.
  StrCmp $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}" 0 done
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 "" done
  StrCpy $INSTDIR $0
done:
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "TEV USB" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; Over an earlier install the files are simply replaced: upgrade in place.
  File "${STAGE}\TevUsb.exe"
  File "${STAGE}\tevtool.exe"
  File "${STAGE}\ReadMe.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\TevUsb.exe" "" "$INSTDIR\TevUsb.exe" 0

  ; The installed programs list.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TevUsb.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
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
  ; Only the files the installer put there: flights saved in this folder stay, and so does it.
  Delete "$INSTDIR\TevUsb.exe"
  Delete "$INSTDIR\tevtool.exe"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

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
