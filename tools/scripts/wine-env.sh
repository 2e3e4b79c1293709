# Sourced by ./test, ./run and ./bench: a fresh Wine prefix under build/ and, when asked,
# an Xvfb display. Leaves WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES (and DISPLAY) exported.
# Usage: source tools/scripts/wine-env.sh [--xvfb]

tev_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX="$tev_root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

tev_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TEV_XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    return 0
  done
  echo "no free X display number" >&2
  return 1
}

tev_stop_xvfb() {
  if [ -n "${TEV_XVFB_PID:-}" ]; then kill "$TEV_XVFB_PID" 2>/dev/null || true; fi
}

tev_new_wine_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wine wineboot -i >/dev/null 2>&1 || true
  # Wine has no Arial: without these, GDI+ finds no font and draws no text.
  for face in "Arial" "Microsoft Sans Serif"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
  done
  # DirectDraw through GDI: on a display without a GPU the default OpenGL path costs ~15 ms per
  # full-screen blit, several times a live frame's whole budget.
  wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
  # The main window's DPI test restores and moves the window: on a bare X display, with no window
  # manager to take the maximised state back, Wine would maximise it again. In a desktop of its
  # own Wine manages the windows itself.
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v tevdpi /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\AppDefaults\main_window_dpi_tests.exe\Explorer' /v Desktop /t REG_SZ \
    /d tevdpi /f >/dev/null 2>&1
  wineserver -w
}

if [ "${1:-}" = "--xvfb" ]; then tev_start_xvfb; fi
