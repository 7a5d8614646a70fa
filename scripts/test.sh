#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (with sanitizers), then the
# Windows programs and their tests under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

cmake --preset win >/dev/null
cmake --build --preset win -j "$jobs"

source scripts/wine-env.sh
vireo_wine_prefix
vireo_display
trap 'wineserver -k >/dev/null 2>&1 || true; vireo_stop_display' EXIT
# A persistent, warm wineserver: otherwise every Windows test pays for its start.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
ctest --preset win
