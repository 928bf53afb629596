#!/usr/bin/env bash
# Builds the probe benchmark in Release and runs it: probe workers against a
# server on 127.0.0.1, compared with curl through xargs -P10 in the same run.
# Usage: bench/probe_bench.sh [probes] [rss_probes]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v curl >/dev/null || { echo "curl is needed for the comparison" >&2; exit 1; }
cmake -S . -B build/release -DBRISQUEL_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target probe_bench
export QT_QPA_PLATFORM=offscreen no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "curl: $(curl --version | head -1)"
build/release/bench/probe_bench "$@"
