#!/bin/bash
# Builds the host edition and runs the benchmarks. Each prints its figures
# and a ratio against a baseline measured in the same run.
#   scripts/bench.sh [BUILD_DIR]   default: the host preset's build/host
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD=${1:-build/host}
if [ $# -eq 0 ]; then cmake --preset host >/dev/null; fi
cmake --build "$BUILD"
DIST=$(sed -n 's/^UPDATER_DIST_DIR:PATH=//p' "$BUILD/CMakeCache.txt")

# The checksum walk on 256 MiB against memcpy and the byte-at-a-time walk.
"$BUILD/bench/checksum_speed"

# The setup list merge at three sizes against the per-entry search.
"$BUILD/bench/merge_speed"

# A 1 GiB package file: the copy engine against dd bs=65534.
"$BUILD/bench/copy_speed" 1024

# Peak memory of a whole host update whose package file is 1 GiB.
WORK=$(mktemp -d /var/tmp/updater-bench-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
"$BUILD/tools/make_installation" --install="$WORK/install" --appdata="$WORK/appdata" \
  --updater="$WORK/updater" --mur-size=$((1024 * 1024 * 1024)) >/dev/null
cp "$DIST/host/updater" "$WORK/updater/updater"
env -i PATH=/usr/bin:/bin APPDATA="$WORK/appdata" UPDATER_WINDOW_DIR="$WORK/windows" \
  UPDATER_ANSWERS=ok,ok /usr/bin/time -v "$WORK/updater/updater" </dev/null 2>"$WORK/time.txt"
cmp -s "$WORK/updater/data/dll/MUR.dll" "$WORK/install/dll/MUR.dll"
echo "whole update of a 1 GiB package: $(grep -E 'Maximum resident' "$WORK/time.txt" | sed 's/^\s*//'), \
$(grep -E 'Elapsed' "$WORK/time.txt" | sed 's/^\s*//')"
