#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them natively and under Wine; they print figures.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target profile_files_bench vmouse
cmake --preset win >/dev/null
cmake --build --preset win -j "$(nproc)" --target profile_files_bench device_link_bench \
  agent_idle_bench agent_soak_bench basic_function_bench tuner_bench

echo "== native (Linux) =="
build/bench/bin/profile_files_bench 50

source scripts/wine-env.sh
vireo_wine_prefix
# The agent shows its progress window during the full write: a display, as the user has one.
vireo_display
echo "== Windows build under Wine =="
wine build/win/bin/profile_files_bench.exe 50
# One shortcut and one browser key as the agent performs them (keys go to the bench's own window).
wine build/win/bin/basic_function_bench.exe 10
# tuner.exe: start to its first complete paint beside a bare window, and Apply split in two.
wine build/win/bin/tuner_bench.exe 9
# hid.exe with Conduit.dll over the virtual mouse (served by the benchmark itself).
wine build/win/bin/device_link_bench.exe 7
# The same read-back against the native vmouse, as the demo runs it.
LINK_PORT="${VMOUSE_BENCH_PORT:-47111}"
CONTROL_PORT="${VMOUSE_BENCH_CONTROL_PORT:-47112}"
build/bench/bin/vmouse --port "$LINK_PORT" --control-port "$CONTROL_PORT" </dev/null >/dev/null 2>&1 &
VMOUSE_PID=$!
trap 'kill "$VMOUSE_PID" 2>/dev/null || true; vireo_stop_display' EXIT
sleep 0.5
wine build/win/bin/device_link_bench.exe 7 --vmouse "$LINK_PORT" "$CONTROL_PORT"
# The agent at rest: memory and wake-ups, a minute per case, the native vmouse as the last one.
wine build/win/bin/agent_idle_bench.exe "${AGENT_IDLE_SECONDS:-60}" --vmouse "$LINK_PORT" "$CONTROL_PORT"
# The agent through many full writes and plug cycles (about 12 minutes): its counts must not grow.
wine build/win/bin/agent_soak_bench.exe "${AGENT_SOAK_WRITES:-1000}" "${AGENT_SOAK_CYCLES:-200}"
wineserver -w
