#!/usr/bin/env bash
# Builds the picture-loading fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it for the given number of seconds.
#   scripts/fuzz.sh [seconds=300] [extra libFuzzer options...]
# New inputs collect in build-fuzz/corpus; crashes, hangs and oom inputs land in
# build-fuzz/findings (keep each as a named file in tests/data/ once fixed).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
shift || true

if ! command -v clang++-14 >/dev/null ||
   ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
fi

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGALVORA_FUZZ=ON -DGALVORA_BUILD_TESTS=OFF -DGALVORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target picture_loading_fuzz make_seeds -j"${FUZZ_JOBS:-1}"

seeds=tests/fuzz/seeds
if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
  build-fuzz/tests/fuzz/make_seeds "$seeds"
fi
mkdir -p build-fuzz/corpus build-fuzz/findings

export QT_QPA_PLATFORM=offscreen
# A small quarantine: the default one (256 MB) alone would reach the memory limit. Freed memory goes
# back to the system, so that the process's size follows what the pictures take.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=16:allocator_release_to_os_interval_ms=500}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
# The loader's limits keep any one picture's buffer under 300 MB: a larger allocation fails the run.
# The whole process (the sanitizer's own pools, libFuzzer's corpus and every decoder's caches) gets more room.
exec build-fuzz/tests/fuzz/picture_loading_fuzz build-fuzz/corpus "$seeds" \
  -max_total_time="$seconds" -malloc_limit_mb=300 -rss_limit_mb=1024 -timeout=5 -max_len=65536 \
  -dict=tests/fuzz/pictures.dict -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 "$@"
