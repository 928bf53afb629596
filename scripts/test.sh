#!/usr/bin/env bash
# Builds and runs every test headless: all tests under the address and
# undefined-behaviour sanitizers, the queue, timer and thread tests once more
# under the thread sanitizer, and all of them once more in a release build,
# whose optimiser warns of other things. Warnings are errors in every build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs="$(nproc)"

cmake -S . -B build/asan -DBRISQUEL_TESTS=ON -DBRISQUEL_WERROR=ON -DBRISQUEL_SANITIZE=address \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
cmake --build build/asan -j"$jobs"
cmake -S . -B build/tsan -DBRISQUEL_TESTS=ON -DBRISQUEL_WERROR=ON -DBRISQUEL_SANITIZE=thread \
      -DBRISQUEL_THREAD_TESTS_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
cmake --build build/tsan -j"$jobs"
cmake -S . -B build/release-tests -DBRISQUEL_TESTS=ON -DBRISQUEL_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release-tests -j"$jobs"

export QT_QPA_PLATFORM=offscreen
export no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp"
status=0
(cd build/asan && ctest --output-on-failure -j"$jobs") || status=1
(cd build/tsan && ctest --output-on-failure -j"$jobs" -R '(MessageQueue|Timer|Thread)') || status=1
(cd build/release-tests && ctest --output-on-failure -j"$jobs") || status=1
exit $status
