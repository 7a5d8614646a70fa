#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them natively and under Wine; they print figures.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target profile_files_bench
cmake --preset win >/dev/null
cmake --build --preset win -j "$(nproc)" --target profile_files_bench device_link_bench

echo "== native (Linux) =="
build/bench/bin/profile_files_bench 50

source scripts/wine-env.sh
vireo_wine_prefix
echo "== Windows build under Wine =="
wine build/win/bin/profile_files_bench.exe 50
# hid.exe with Conduit.dll over the virtual mouse (served by the benchmark itself).
wine build/win/bin/device_link_bench.exe 7
wineserver -w
