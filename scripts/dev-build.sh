#!/bin/bash
# A private build of all three targets for one developer or helper, so that
# parallel work never shares a build folder, a dist folder or a Wine prefix:
#   scripts/dev-build.sh NAME [host|windows|fuzz]...
# builds into /tmp/updater-NAME/{host,windows,fuzz} with the programs in
# /tmp/updater-NAME/dist. Then: ctest --test-dir /tmp/updater-NAME/host -R ...
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NAME=${1:?usage: dev-build.sh NAME [host|windows|fuzz]...}
shift
BASE=/tmp/updater-$NAME
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(windows host)
COMMON=(-G Ninja -DUPDATER_DIST_DIR="$BASE/dist" -DUPDATER_WINDOWS_BIN="$BASE/windows/bin"
        -DUPDATER_WINE_STATE="$BASE/wine")
for target in "${TARGETS[@]}"; do
  case $target in
    windows) extra=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-w64-mingw32.cmake"
                    -DCMAKE_BUILD_TYPE=MinSizeRel) ;;
    host) extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    fuzz) extra=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14) ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
  esac
  cmake -S "$ROOT" -B "$BASE/$target" "${COMMON[@]}" "${extra[@]}" -DUPDATER_TARGET="$target" >/dev/null
  cmake --build "$BASE/$target"
done
