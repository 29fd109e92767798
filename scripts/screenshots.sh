#!/bin/bash
# Makes the screenshots of docs/ again: the confirm box, the progress dialog
# while it copies and the final report, from UpDate.exe under Wine on its
# own Xvfb display with the Japanese fonts. Builds into a private folder
# first (scripts/dev-build.sh screenshots).
#   scripts/screenshots.sh
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BASE=/tmp/updater-screenshots
CHUNK=65534

"$ROOT/scripts/dev-build.sh" screenshots windows host >/dev/null
export UPDATER_WINE_STATE=$BASE/wine
"$ROOT/scripts/wine.sh" setup
eval "$("$ROOT/scripts/wine.sh" env)"

WORK=$(mktemp -d /tmp/updater-shots-XXXXXX)
APPDATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
SETTINGS="$APPDATA_DIR/ホロメリダ/Velmora.ini"
cleanup() {
  rm -rf "$WORK"
  rm -f "$SETTINGS"
  "$ROOT/scripts/wine.sh" teardown
}
trap cleanup EXIT

winpath() { local path=$1; echo "Z:${path//\//\\}"; }

# The updater this script started: the UpDate.exe whose command line names
# this run's folder (the driver's names it too, but is another program).
updater_pid() {
  local pid
  for pid in $(pgrep -f "$(basename "$WORK")"); do
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = UpDate.exe ]; then
      echo "$pid"
      return 0
    fi
  done
  echo "screenshots.sh: the updater's process was not found" >&2
  return 1
}

# A package big enough that the copy is still running when the dialog is
# photographed; the updater is also held still for the picture.
"$BASE/host/tools/make_installation" --install="$WORK/install" --appdata="$APPDATA_DIR" \
  --updater="$WORK/updater" --mur-size=$((3000 * CHUNK))
cp "$BASE/dist/windows/UpDate.exe" "$WORK/updater/"

# The driver creates the pause file whenever a box or the dialog appears and
# waits until it is gone; the screen is taken in between.
PAUSE=$WORK/pause
wine "$BASE/windows/bin/wine_driver.exe" --report "$(winpath "$WORK/report.jsonl")" \
  --answers ok,ok --pause "$(winpath "$PAUSE")" -- "$(winpath "$WORK/updater/UpDate.exe")" \
  >"$WORK/wine.log" 2>&1 &
DRIVER=$!

for name in confirm progress finished; do
  for _ in $(seq 600); do
    [ -e "$PAUSE" ] && break
    sleep 0.05
  done
  [ -e "$PAUSE" ] || { echo "screenshots.sh: no window for $name" >&2; exit 1; }
  if [ "$name" = progress ]; then
    sleep 0.3  # a few chunks in
    UPDATER_PID=$(updater_pid)
    kill -STOP "$UPDATER_PID"
  else
    sleep 0.5  # let the box paint
  fi
  import -window root -display "$DISPLAY" png:- | convert - -trim +repage "$ROOT/docs/$name.png"
  if [ "$name" = progress ]; then kill -CONT "$UPDATER_PID"; fi
  rm -f "$PAUSE"
done
wait "$DRIVER"
cat "$WORK/report.jsonl"
