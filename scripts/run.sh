#!/usr/bin/env bash
# Sets up, builds and starts Galvora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DGALVORA_WERROR=OFF
exec ./build/galvora
