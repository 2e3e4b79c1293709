#!/usr/bin/env bash
# The release under Wine, in a fresh prefix of its own: the portable zip runs from a folder with
# spaces; the silent install puts files, shortcut, uninstall entry and association in place; a
# flight opened through the registered open command is plotted (picture kept) and a bad one gets
# the program's message; the silent uninstall takes it all away but a user's flight; an install
# over an older one (in a folder of its own) upgrades it there.
# DLLs planted beside each installed exe under each name it imports that the system does not
# know (hid, ddraw, gdiplus, comctl32) are never loaded, and the programs still work.
#   install-test.sh BUILD_DIR OPEN_AS_SHELL.exe MARKER.dll SAMPLE.tev WORK_DIR SHOT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 opener=$2 marker=$3 sample=$4 work=$5 shots=$6
source "$here/../../tools/scripts/wine-env.sh"
export WINEPREFIX="$work/prefix"
# No menu entries or file types in the Linux desktop for what the installer registers.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
unset TEV_SIGN_PKCS12
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

"$here/../make-release.sh" "$build" "$work/old" 1.30 >/dev/null || exit 1
"$here/../make-release.sh" "$build" "$work/dist" 1.40 >/dev/null || exit 1
tev_new_wine_prefix

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TEV USB'
classes='HKCU\Software\Classes'
default_dir="$(winvar LOCALAPPDATA)\\Programs\\TEV USB"
shortcut="$(winepath -u "$(winvar APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\TEV USB.lnk")"

# The portable form, from a folder with spaces in its name.
portable="$work/My Downloads/TEV USB"
mkdir -p "$portable" && unzip -q "$work/dist/TevUsb-1.40-win64.zip" -d "$portable"
check "the zip holds the two programs and the read-me" \
  test -f "$portable/TevUsb-1.40-win64/TevUsb.exe" -a -f "$portable/TevUsb-1.40-win64/tevtool.exe" \
       -a -f "$portable/TevUsb-1.40-win64/ReadMe.txt"
reads_flight() { wine "$portable/TevUsb-1.40-win64/tevtool.exe" info "$(winepath -w "$sample")" >/dev/null 2>&1; }
check "tevtool.exe from the zip reads a flight" reads_flight

# --- Silent install to the default folder ---
wine "$work/dist/TevUsb-1.40-setup.exe" /S; wineserver -w
dir=$(winepath -u "$default_dir")
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "installed $f" test -f "$dir/$f"; done
check "TevUsb.exe is the built one" cmp -s "$dir/TevUsb.exe" "$work/dist/TevUsb-1.40-win64/TevUsb.exe"
check "Start-menu shortcut" test -f "$shortcut"
check "DisplayName" equals "$(regval "$uninstall_key" DisplayName)" "TEV USB"
check "DisplayVersion" equals "$(regval "$uninstall_key" DisplayVersion)" "1.40"
check "Publisher" equals "$(regval "$uninstall_key" Publisher)" "TEV USB"
check "InstallLocation" equals "$(regval "$uninstall_key" InstallLocation)" "$default_dir"
check "DisplayIcon" equals "$(regval "$uninstall_key" DisplayIcon)" "$default_dir\\TevUsb.exe,0"
check "UninstallString" equals "$(regval "$uninstall_key" UninstallString)" "\"$default_dir\\Uninstall.exe\""
check "QuietUninstallString" equals "$(regval "$uninstall_key" QuietUninstallString)" "\"$default_dir\\Uninstall.exe\" /S"
check "EstimatedSize in KB" test "$(($(regval "$uninstall_key" EstimatedSize)))" -gt 1000
check ".tev belongs to the flight ProgID" equals "$(regval "$classes\\.tev" /ve)" "TevUsb.Flight"
check "the ProgID's icon" equals "$(regval "$classes\\TevUsb.Flight\\DefaultIcon" /ve)" "\"$default_dir\\TevUsb.exe\",0"
check "the open command" equals "$(regval "$classes\\TevUsb.Flight\\shell\\open\\command" /ve)" \
  "\"$default_dir\\TevUsb.exe\" \"%1\""

planted=(hid.dll ddraw.dll gdiplus.dll comctl32.dll)
for name in "${planted[@]}"; do cp "$marker" "$dir/$name"; cp "$marker" "$portable/TevUsb-1.40-win64/$name"; done
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
quiet=$(regval "$uninstall_key" QuietUninstallString)
exe=${quiet#\"}; exe=${exe%%\"*}
wine "$exe" ${quiet##*\" }; wineserver -w
for f in TevUsb.exe tevtool.exe ReadMe.txt Uninstall.exe; do check "uninstalled $f" test ! -e "$dir/$f"; done
check "the user's flight is kept" test -f "$dir/my flight.tev"
check "no shortcut" test ! -e "$shortcut"
check "no uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "no ProgID" bash -c "! wine reg query '$classes\\TevUsb.Flight' >/dev/null 2>&1"
check "no .tev association" bash -c "! wine reg query '$classes\\.tev' >/dev/null 2>&1"
rm -rf "$dir"

# --- Upgrade: 1.30 in a folder of its own, then 1.40 over it without naming the folder ---
# Wine quotes an argument with spaces, which /D= does not allow: a folder without them here.
wine "$work/old/TevUsb-1.30-setup.exe" /S '/D=C:\Apps\FlightTools'; wineserver -w
check "the old install's version" equals "$(regval "$uninstall_key" DisplayVersion)" "1.30"
wine "$work/dist/TevUsb-1.40-setup.exe" /S; wineserver -w
check "upgraded to 1.40" equals "$(regval "$uninstall_key" DisplayVersion)" "1.40"
check "upgraded where it was" equals "$(regval "$uninstall_key" InstallLocation)" 'C:\Apps\FlightTools'
check "nothing in the default folder" test ! -e "$dir"
check "the program is replaced in place" \
  cmp -s "$(winepath -u 'C:\Apps\FlightTools\TevUsb.exe')" "$work/dist/TevUsb-1.40-win64/TevUsb.exe"
quiet=$(regval "$uninstall_key" QuietUninstallString)
exe=${quiet#\"}; exe=${exe%%\"*}
wine "$exe" ${quiet##*\" }; wineserver -w
check "the upgraded install uninstalls whole" test ! -e "$(winepath -u 'C:\Apps\FlightTools')"
check "and leaves no uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"

wineserver -k
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
