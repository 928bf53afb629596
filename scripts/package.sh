#!/usr/bin/env bash
# Builds the Debian package from a release build in build/package and prints
# its path; install it with: sudo apt-get install ./build/package/brisquel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/deps.sh package
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/package -j"$(nproc)" --target brisquel
(cd build/package && cpack -G DEB >/dev/null)
ls "$PWD"/build/package/brisquel_*.deb
