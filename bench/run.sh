#!/usr/bin/env bash
# Builds the benchmarks in Release under build/bench and runs one of them,
# printing its figures with the machine they came from.
#
#   bench/run.sh list  [lines]            import time and peak memory a row; list operations vs cat, awk, cp;
#                                         recovery copy and check report of every row checked
#   bench/run.sh probe [probes] [rss]     probe workers vs curl via xargs -P10
#   bench/run.sh gui   [rows] [seconds]   start-up, GUI stalls and rate of a check run
#   bench/run.sh dock  [rows] [moves]     edge drags of the side bar, full-window drag on and off
#   bench/run.sh keys  [rows] [rounds]    End, PageUp, Home, PageDown, Ctrl+End, Ctrl+Home, key to repaint
#   bench/run.sh batch [urls] [memory_rows]  brisquel --check: rate, concurrency, start-up, peak memory; vs curl via xargs -P64
set -euo pipefail
cd "$(dirname "$0")/.."
name="${1:?usage: bench/run.sh list|probe|gui|dock|keys|batch [arguments]}"
shift
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBRISQUEL_BENCH=ON >/dev/null
cmake --build build/bench -j"$(nproc)" --target "${name}_bench" >/dev/null
export QT_QPA_PLATFORM=offscreen no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
if [ "$name" = probe ] || [ "$name" = batch ]; then
  command -v curl >/dev/null || { echo "curl is needed for the comparison" >&2; exit 1; }
  echo "curl: $(curl --version | head -1)"
fi
exec "build/bench/bench/${name}_bench" "$@"
