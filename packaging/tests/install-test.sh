#!/usr/bin/env bash
# The release under Wine, in a fresh prefix of its own: the portable zip runs from a folder with
# spaces; a silent install into a folder it cannot write fails and registers nothing; the silent
# install puts files, shortcut, uninstall entry and association in place; both programs carry the
# project's version; a flight opened through the registered open command is plotted (picture
# kept) and a bad one gets the program's message; the silent uninstall takes it all away but a
# user's flight; an install over an older one (in a folder of its own) upgrades it there, and its
# signed uninstaller arrives signed; an install into another folder moves it there (the pages
# pictured, the program started from the last one); an uninstall while the program runs fails
# silently with a non-zero status and removes nothing, and interactively asks to close it.
# DLLs planted beside each installed exe under each name it imports that the system does not
# know (hid, ddraw, gdiplus, comctl32) are never loaded, and the programs still work.
#   install-test.sh BUILD_DIR OPEN_AS_SHELL.exe MARKER.dll SAMPLE.tev WORK_DIR SHOT_DIR
#                   INSTALLER_DRIVER.exe FILE_VERSION.exe PROJECT_VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 opener=$2 marker=$3 sample=$4 work=$5 shots=$6 driver=$7 file_version=$8 project_version=$9
source "$here/../../tools/scripts/wine-env.sh"
export WINEPREFIX="$work/prefix"
# No menu entries or file types in the Linux desktop for what the installer registers.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
unset TEV_SIGN_PKCS12
# A folder a run cut short left read-only would stay in the way.
chattr -R -i "$work" 2>/dev/null
rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"

failures=0
check() {  # $1 what, then the command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
regval() {  # $1 key, $2 value name (or /ve): the value's data, empty when absent
  local args=(/v "$2"); [ "$2" = /ve ] && args=(/ve)
  wine reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' | awk '/REG_/ {sub(/^.*REG_[A-Z_]+ +/, ""); print; exit}'
}
haskey() { wine reg query "$1" >/dev/null 2>&1; }
winvar() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
# Through a file: the program it starts may hold on to an inherited output pipe until it ends.
open_as_shell() { wine "$opener" "$(winepath -w "$1")" >"$work/opened.txt" 2>/dev/null; tr -d '\r' <"$work/opened.txt" \
  | grep -E '^(command: |plot$|message: |no open command|could not start|nothing shown)'; }
equals() { [ "$1" = "$2" ] || { echo "     got '$1', expected '$2'"; false; }; }
# Runs a command line exactly as the system runs a registered one, working the installer's pages
# and boxes by the steps after it (installer-driver.cpp); prints what it saw, "exit N" last.
# Through a file, as open_as_shell.
drive() {
  wine "$driver" "$shots_win" "$@" >"$work/driven.txt" 2>/dev/null
  tr -d '\r' <"$work/driven.txt" | tee -a "$work/driven-all.txt"
}
status_of() { sed -n 's/^exit //p' <<<"$1"; }
no_trace() {  # nothing registered: no entry, no association, no shortcut
  ! haskey "$uninstall_key" && ! haskey "$classes\\TevUsb.Flight" && ! haskey "$classes\\.tev" && test ! -e "$shortcut"
}
unwritable() {  # $1 a new folder that cannot be written into, not even by root
  mkdir -p "$1" && chmod a-w "$1"
  touch "$1/probe" 2>/dev/null || return 0
  rm -f "$1/probe"
  chattr +i "$1" 2>/dev/null && ! touch "$1/probe" 2>/dev/null && return 0
  # Where nothing can take write access away, a file in the folder's place cannot be written into either.
  rmdir "$1" && : >"$1"
}

# The older release signed, to see its uninstaller arrive signed too.
mkdir -p "$work/cert" && "$here/test-certificate.sh" "$work/cert" || exit 1
TEV_SIGN_PKCS12="$work/cert/cert.p12" TEV_SIGN_PASSWORD=flight \
  "$here/../make-release.sh" "$build" "$work/old" 1.30 >/dev/null || exit 1
"$here/../make-release.sh" "$build" "$work/dist" >/dev/null || exit 1
tev_new_wine_prefix
# The driven installers in a desktop of their own, so that their pictures show the title bar.
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v tevsetup /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\AppDefaults\installer-driver.exe\Explorer' /v Desktop /t REG_SZ /d tevsetup \
  /f >/dev/null 2>&1

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TEV USB'
classes='HKCU\Software\Classes'
default_dir="$(winvar LOCALAPPDATA)\\Programs\\TEV USB"
shortcut="$(winepath -u "$(winvar APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\TEV USB.lnk")"

# The portable form, from a folder with spaces in its name.
portable="$work/My Downloads/TEV USB"
mkdir -p "$portable" && unzip -q "$work/dist/TevUsb-$project_version-win64.zip" -d "$portable"
check "the zip holds the two programs and the read-me" \
  test -f "$portable/TevUsb-$project_version-win64/TevUsb.exe" -a -f "$portable/TevUsb-$project_version-win64/tevtool.exe" \
       -a -f "$portable/TevUsb-$project_version-win64/ReadMe.txt"
reads_flight() { wine "$portable/TevUsb-$project_version-win64/tevtool.exe" info "$(winepath -w "$sample")" >/dev/null 2>&1; }
check "tevtool.exe from the zip reads a flight" reads_flight

# --- A silent install into a folder it cannot write: it fails, and nothing points there ---
shots_win=$(winepath -w "$shots")
setup_exe=$(winepath -w "$work/dist/TevUsb-$project_version-setup.exe")
readonly_dir="$WINEPREFIX/drive_c/ReadOnly"
unwritable "$readonly_dir"
seen=$(drive "\"$setup_exe\" /S /D=C:\ReadOnly")
chattr -i "$readonly_dir" 2>/dev/null; chmod u+w "$readonly_dir"
check "an unwritable folder fails the install (status $(status_of "$seen"))" test "$(status_of "$seen")" -gt 0
check "and writes nothing there" test -z "$(find "$readonly_dir" -mindepth 1 2>/dev/null)"
check "and registers nothing" no_trace

# --- Silent install to the default folder ---
wine "$work/dist/TevUsb-$project_version-setup.exe" /S; wineserver -w
dir=$(winepath -u "$default_dir")
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "installed $f" test -f "$dir/$f"; done
check "TevUsb.exe is the built one" cmp -s "$dir/TevUsb.exe" "$work/dist/TevUsb-$project_version-win64/TevUsb.exe"
check "Start-menu shortcut" test -f "$shortcut"
check "DisplayName" equals "$(regval "$uninstall_key" DisplayName)" "TEV USB"
check "DisplayVersion" equals "$(regval "$uninstall_key" DisplayVersion)" "$project_version"
check "Publisher" equals "$(regval "$uninstall_key" Publisher)" "TEV USB"
check "InstallLocation" equals "$(regval "$uninstall_key" InstallLocation)" "$default_dir"
check "DisplayIcon" equals "$(regval "$uninstall_key" DisplayIcon)" "$default_dir\\TevUsb.exe,0"
check "UninstallString" equals "$(regval "$uninstall_key" UninstallString)" "\"$default_dir\\Uninstall.exe\" _?=$default_dir"
check "QuietUninstallString" equals "$(regval "$uninstall_key" QuietUninstallString)" \
  "\"$default_dir\\Uninstall.exe\" /S _?=$default_dir"
check "EstimatedSize in KB" test "$(($(regval "$uninstall_key" EstimatedSize)))" -gt 1000
check ".tev belongs to the flight ProgID" equals "$(regval "$classes\\.tev" /ve)" "TevUsb.Flight"
check "the ProgID's icon" equals "$(regval "$classes\\TevUsb.Flight\\DefaultIcon" /ve)" "\"$default_dir\\TevUsb.exe\",0"
check "the open command" equals "$(regval "$classes\\TevUsb.Flight\\shell\\open\\command" /ve)" \
  "\"$default_dir\\TevUsb.exe\" \"%1\""
seen=$(wine "$file_version" "$default_dir\\TevUsb.exe" "$default_dir\\tevtool.exe" 2>/dev/null | tr -d '\r')
for f in TevUsb.exe tevtool.exe; do
  check "$f's version is the project's" grep -qx ".*\\$f FileVersion: $project_version" <<<"$seen"
  check "$f's product version too" grep -qx ".*\\$f ProductVersion: $project_version" <<<"$seen"
done

planted=(hid.dll ddraw.dll gdiplus.dll comctl32.dll)
for name in "${planted[@]}"; do cp "$marker" "$dir/$name"; cp "$marker" "$portable/TevUsb-$project_version-win64/$name"; done
check "tevtool.exe beside a planted hid.dll reads a flight" reads_flight

# --- Flights opened through the association, as a double-click does ---
flights="$work/Мои полёты/Sunday club"
mkdir -p "$flights"
cp "$sample" "$flights/good flight.tev"
printf 'not a flight at all' > "$flights/broken flight.tev"
seen=$(open_as_shell "$flights/good flight.tev")
echo "$seen" | sed 's/^/     /'
check "a good flight opens without a message" grep -qx "plot" <<<"$seen"
# The picture once the plot has been painted (its grey fills the screen), for up to 10 s.
for _ in $(seq 20); do
  import -display "$DISPLAY" -window root "$shots/flight-opened-by-association.png"
  grey=$(convert "$shots/flight-opened-by-association.png" -alpha off -fill white -opaque '#808080' \
           -fill black +opaque white -format '%[fx:mean]' info:)
  awk -v g="$grey" 'BEGIN {exit !(g > 0.3)}' && break
  sleep 0.5
done
check "the flight is plotted (grey plot area fills the screen: $grey)" awk -v g="$grey" 'BEGIN {exit !(g > 0.3)}'
wineserver -k; wineserver -w
seen=$(open_as_shell "$flights/broken flight.tev")
echo "$seen" | sed 's/^/     /'
check "a bad flight gets the program's message" \
  grep -qx "message: Could not load file. Make sure the file is valid and not locked." <<<"$seen"
wineserver -k; wineserver -w

# A loaded marker leaves NAME.loaded, in whatever case the loader spelt the name.
marks=$(find "$dir" "$portable" -iname '*.loaded' | sed 's/^/     /')
check "no planted DLL is ever loaded" test -z "$marks" || echo "$marks"
for name in "${planted[@]}"; do rm -f "$dir/$name"; done

# --- Silent uninstall: everything it wrote goes, a flight the user saved there stays ---
cp "$sample" "$dir/my flight.tev"
seen=$(drive "$(regval "$uninstall_key" QuietUninstallString)"); wineserver -w
check "the silent uninstall succeeds (status $(status_of "$seen"))" equals "$(status_of "$seen")" 0
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "uninstalled $f" test ! -e "$dir/$f"; done
check "the user's flight is kept" test -f "$dir/my flight.tev"
check "no shortcut" test ! -e "$shortcut"
check "no uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "no ProgID" bash -c "! wine reg query '$classes\\TevUsb.Flight' >/dev/null 2>&1"
check "no .tev association" bash -c "! wine reg query '$classes\\.tev' >/dev/null 2>&1"
rm -rf "$dir"

# --- Upgrade: 1.30 in a folder of its own, then this version over it without naming the folder ---
# Wine quotes an argument with spaces, which /D= does not allow: a folder without them here.
wine "$work/old/TevUsb-1.30-setup.exe" /S '/D=C:\Apps\FlightTools'; wineserver -w
check "the old install's version" equals "$(regval "$uninstall_key" DisplayVersion)" "1.30"
signed() { osslsigncode verify -CAfile "$work/cert/cert.pem" -in "$1" >/dev/null 2>&1; }
check "its uninstaller is signed" signed "$WINEPREFIX/drive_c/Apps/FlightTools/Uninstall.exe"
wine "$work/dist/TevUsb-$project_version-setup.exe" /S; wineserver -w
check "upgraded to $project_version" equals "$(regval "$uninstall_key" DisplayVersion)" "$project_version"
check "upgraded where it was" equals "$(regval "$uninstall_key" InstallLocation)" 'C:\Apps\FlightTools'
check "nothing in the default folder" test ! -e "$dir"
check "the program is replaced in place" \
  cmp -s "$(winepath -u 'C:\Apps\FlightTools\TevUsb.exe')" "$work/dist/TevUsb-$project_version-win64/TevUsb.exe"
# --- Installed again into another folder, through the pages: the install moves there ---
moved='C:\Apps\Moved Tools'
moved_dir="$WINEPREFIX/drive_c/Apps/Moved Tools"
seen=$(drive "\"$setup_exe\" /D=$moved" shot:installer-welcome next shot:installer-folder next \
  page:Completing shot:installer-finish next program)
check "the install through the pages succeeds (status $(status_of "$seen"))" equals "$(status_of "$seen")" 0
check "every step through the pages was done, the program started from the last one" \
  bash -c '! grep "^step failed" <<<"$1"' _ "$seen"
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "moved $f" test -f "$moved_dir/$f"; done
check "the upgraded install's folder is gone" test ! -e "$WINEPREFIX/drive_c/Apps/FlightTools"
check "the entry names the new folder" equals "$(regval "$uninstall_key" InstallLocation)" "$moved"
entries=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' \
  | grep -c 'DisplayName.*REG_SZ.*TEV USB$')
check "one entry in the installed programs" equals "$entries" 1
check "flights open from the new folder" equals "$(regval "$classes\\TevUsb.Flight\\shell\\open\\command" /ve)" \
  "\"$moved\\TevUsb.exe\" \"%1\""

# --- Uninstalling (or installing over it) while the program runs: silently it fails, touches nothing ---
seen=$(drive "$(regval "$uninstall_key" QuietUninstallString)")
check "a silent uninstall while it runs fails (status $(status_of "$seen"))" test "$(status_of "$seen")" -gt 0
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "and keeps $f" test -f "$moved_dir/$f"; done
check "and its entry" equals "$(regval "$uninstall_key" InstallLocation)" "$moved"
check "and the association" equals "$(regval "$classes\\.tev" /ve)" "TevUsb.Flight"
check "and the shortcut" test -f "$shortcut"
seen=$(drive "\"$setup_exe\" /S")
check "a silent install over it while it runs fails too (status $(status_of "$seen"))" test "$(status_of "$seen")" -gt 0

# --- ... and through the pages it asks to close the program, then removes it all ---
seen=$(drive "$(regval "$uninstall_key" UninstallString)" shot:uninstaller-confirm next \
  box:uninstaller-program-running close-program answer:4 page:"Uninstallation Complete" shot:uninstaller-done next)
wineserver -w
check "every step of the uninstall was done" bash -c '! grep "^step failed" <<<"$1"' _ "$seen"
check "it asks to close the program" grep -qxF \
  "box: $moved\\TevUsb.exe is running.\n\nClose it, then click Retry. Cancel leaves TEV USB as it is." <<<"$seen"
check "once closed, the uninstall succeeds (status $(status_of "$seen"))" equals "$(status_of "$seen")" 0
check "the moved install uninstalls whole" test ! -e "$moved_dir"
check "and leaves no uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "nor association nor shortcut" bash -c "! wine reg query '$classes\\.tev' >/dev/null 2>&1 && test ! -e '$shortcut'"

wineserver -k
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
