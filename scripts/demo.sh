#!/bin/bash
# The demo: installs what is missing, builds both targets, makes a sample
# installation of the game in a temporary folder and runs the host
# edition's update on it in this terminal. On a terminal each message box
# asks for its button (Enter takes the first); without one, or with
# UPDATER_ANSWERS set, the boxes are answered without asking.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset host >/dev/null
cmake --build --preset host

WORK=$(mktemp -d /tmp/updater-demo-XXXXXX)
INSTALL="$WORK/Games/カルネヴィオ"
APPDATA_DIR="$WORK/AppData/Roaming"
UPDATER_DIR="$WORK/Downloads/update"
mkdir -p "$UPDATER_DIR"
cp dist/host/updater "$UPDATER_DIR/updater"

build/host/tools/make_installation --install="$INSTALL" --appdata="$APPDATA_DIR" \
  --updater="$UPDATER_DIR" --mur-size=$((48 * 1024 * 1024)) \
  --install-setup-list='base;\r\nsound;\r\n' \
  --package-setup-list='sound;\r\nmur;\r\n' >/dev/null

echo "Sample installation: $INSTALL"
echo "Settings file:       $APPDATA_DIR/ホロメリダ/Velmora.ini"
echo "Updater and package: $UPDATER_DIR (data/dll/MUR.dll, data/Setup.dat)"
echo

status=0
APPDATA="$APPDATA_DIR" UPDATER_TRANSCRIPT="$WORK/transcript.jsonl" \
  "$UPDATER_DIR/updater" || status=$?

echo
echo "Exit code: $status"
echo "Settings file now (code page 932, shown in UTF-8):"
iconv -f CP932 -t UTF-8 "$APPDATA_DIR/ホロメリダ/Velmora.ini" | sed 's/^/  /'
echo "Installed Setup.dat now:"
tr -d '\000' <"$INSTALL/Setup.dat" | sed 's/^/  /'
if cmp -s "$UPDATER_DIR/data/dll/MUR.dll" "$INSTALL/dll/MUR.dll"; then
  echo "dll/MUR.dll replaced by the package's copy."
fi
echo "Transcript: $WORK/transcript.jsonl"
exit $status
