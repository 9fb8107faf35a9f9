#!/usr/bin/env bash
# Builds the test programs that run worker threads (the picture conversion, the main window with
# its preview, the pause, the command line) with ThreadSanitizer (gcc) in build-tsan/ and runs them; any report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
programs=(test_shared test_picture_conversion test_main_window test_cli)
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALVORA_TSAN=ON -DGALVORA_WERROR=ON -DGALVORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j2 --target "${programs[@]}"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
# A report ends the program with status 66 at once, so no report can pass unnoticed.
# The HEIC tests run heif-enc through QProcess: its child only executes the tool, so a fork from a
# program with threads is allowed.
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:die_after_fork=0:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp"
for program in "${programs[@]}"; do
    echo "== $program under ThreadSanitizer"
    ./build-tsan/tests/"$program"
done
