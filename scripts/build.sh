#!/usr/bin/env bash
# Configures and builds Galvora into build/ (the executable lands in build/, its program folder).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)"
