#!/bin/sh
# Builds the list benchmark in Release under build/bench and runs it once.
# Usage: bench/build_and_run.sh [lines]   (default 1000000)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DBRISQUEL_BENCH=ON >/dev/null
cmake --build "$root/build/bench" -j2 --target list_bench
QT_QPA_PLATFORM=offscreen "$root/build/bench/bench/list_bench" "${1:-1000000}"
