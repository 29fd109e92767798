#!/bin/bash
# The Wine environment of a test run: a prefix of its own, an Xvfb display
# of its own and the Japanese locale, so that the ANSI code page is 932.
#   wine.sh setup            make the prefix (once) and start the display
#   wine.sh run EXE ARGS...  run a Windows program there; exits with its code
#                            (124 when it ran past $UPDATER_WINE_TIMEOUT s)
#   wine.sh teardown         stop the Wine server and the display
# State lives in $UPDATER_WINE_STATE (default: build/wine of the checkout).
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
STATE=${UPDATER_WINE_STATE:-$ROOT/build/wine}
export WINEPREFIX=$STATE/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
export WINEARCH=win64

display_alive() {
  [ -f "$STATE/display" ] && [ -f "$STATE/xvfb.pid" ] && kill -0 "$(cat "$STATE/xvfb.pid")" 2>/dev/null
}

start_display() {
  display_alive && return 0
  mkdir -p "$STATE"
  rm -f "$STATE/display"
  exec 3>"$STATE/display.tmp"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$STATE/xvfb.log" 2>&1 &
  echo $! >"$STATE/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$STATE/display.tmp" ] && break
    sleep 0.1
  done
  [ -s "$STATE/display.tmp" ] || { echo "wine.sh: Xvfb did not start" >&2; return 1; }
  mv "$STATE/display.tmp" "$STATE/display"
}

use_display() { export DISPLAY=":$(tr -d '\n' <"$STATE/display")"; }

make_prefix() {
  [ -f "$WINEPREFIX/.updater-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Unmanaged windows: without a window manager Wine waits at every hide.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing program must end, not wait behind a crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # The dialog font of the template, rendered with the installed Japanese font.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'ＭＳ ゴシック' /d 'IPAGothic' /f >/dev/null 2>&1
  # Wine draws the caption buttons with its Marlett font, which this Wine
  # does not find in its own data folder.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  touch "$WINEPREFIX/.updater-ready"
}

case "${1:-}" in
  setup)
    start_display || exit 1
    use_display
    make_prefix
    # A server left running by an earlier setup serves as well.
    wineserver -p >/dev/null 2>&1 || true
    ;;
  run)
    shift
    start_display || exit 1
    use_display
    make_prefix
    # A Wine process that hangs (seen under load: Wine's own allocator
    # aborting inside a process) must not hang the test run, nor leave a
    # window behind that the next updater would take for a running one: past
    # the limit every process of the prefix is ended.
    timeout --kill-after=5 "${UPDATER_WINE_TIMEOUT:-180}" wine "$@"
    status=$?
    if [ $status -eq 124 ] || [ $status -eq 137 ]; then
      echo "wine.sh: $1 ran past ${UPDATER_WINE_TIMEOUT:-180} s; ending the prefix's processes" >&2
      wineserver -k >/dev/null 2>&1
    fi
    exit $status
    ;;
  env)
    # Prints the environment for a shell to eval.
    start_display >/dev/null || exit 1
    use_display
    printf 'export WINEPREFIX=%q WINEDEBUG=%q WINEDLLOVERRIDES=%q LC_ALL=%q DISPLAY=%q WINEARCH=%q\n' \
      "$WINEPREFIX" "$WINEDEBUG" "$WINEDLLOVERRIDES" "$LC_ALL" "$DISPLAY" "$WINEARCH"
    ;;
  teardown)
    wineserver -k >/dev/null 2>&1
    if [ -f "$STATE/xvfb.pid" ]; then kill "$(cat "$STATE/xvfb.pid")" 2>/dev/null; fi
    rm -f "$STATE/xvfb.pid" "$STATE/display"
    ;;
  *)
    echo "usage: wine.sh setup|run EXE ARGS...|env|teardown" >&2
    exit 2
    ;;
esac
