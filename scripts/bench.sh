#!/bin/bash
# Builds the host edition and runs the benchmarks. Each prints its figures
# and a ratio against a baseline measured in the same run.
#   scripts/bench.sh [BUILD_DIR]   default: the host preset's build/host
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD=${1:-build/host}
if [ $# -eq 0 ]; then cmake --preset host >/dev/null; fi
cmake --build "$BUILD"

# A 1 GiB package file: the copy engine against dd bs=65534.
"$BUILD/bench/copy_speed" 1024
