#!/usr/bin/env bash
# Builds the Windows programs and runs what exists of the product under Wine: the agent
# (hid.exe) with its data folder in the project's own Wine prefix, talking to the virtual mouse
# (vmouse, built natively and started in the background). With no display, an Xvfb is started.
# Ctrl+C (or VIREO_DEMO_SECONDS) ends it; the agent is then closed the way the tray menu closes
# it, and the virtual mouse is stopped.
#
#   VIREO_VMOUSE_PORT      link port of the virtual mouse (default 47011)
#   VMOUSE_CONTROL_PORT    its control port for scripts/vmouse-ctl.sh (default 47012)
#   VIREO_DEMO_NO_VMOUSE=1 no virtual mouse: Conduit.dll then looks for a real one
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset win >/dev/null
# Only the programs: the tests are built by scripts/test.sh.
cmake --build --preset win -j "$(nproc)" --target hid vireoctl

VMOUSE_PORT="${VIREO_VMOUSE_PORT:-47011}"
CONTROL_PORT="${VMOUSE_CONTROL_PORT:-47012}"
VMOUSE_PID=""
if [ "${VIREO_DEMO_NO_VMOUSE:-0}" != 1 ]; then
  # The virtual mouse runs natively: an optimised build of just that program.
  cmake -S . -B build/vmouse-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVIREO_BUILD_TESTS=OFF >/dev/null
  cmake --build build/vmouse-release -j "$(nproc)" --target vmouse >/dev/null
fi

source scripts/wine-env.sh
vireo_wine_prefix
vireo_display
BIN="$ROOT/build/win/bin"

cleanup() {
  wine "$BIN/vireoctl.exe" close-agent >/dev/null 2>&1 || true
  sleep 2
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$VMOUSE_PID" ]; then kill "$VMOUSE_PID" 2>/dev/null || true; fi
  vireo_stop_display
}
trap cleanup EXIT INT TERM

if [ "${VIREO_DEMO_NO_VMOUSE:-0}" != 1 ]; then
  VMOUSE_LOG="$ROOT/build/vmouse-release/vmouse.log"
  # stdin at its end: the mouse keeps serving; it is driven through its control port. It
  # starts with factory settings, as a new mouse would, so the agent reads back real values.
  build/vmouse-release/bin/vmouse --port "$VMOUSE_PORT" --control-port "$CONTROL_PORT" \
    --factory </dev/null >"$VMOUSE_LOG" 2>&1 &
  VMOUSE_PID=$!
  for _ in $(seq 50); do grep -q "control port" "$VMOUSE_LOG" 2>/dev/null && break; sleep 0.1; done
  if ! kill -0 "$VMOUSE_PID" 2>/dev/null; then
    echo "demo: the virtual mouse did not start:" >&2
    cat "$VMOUSE_LOG" >&2
    exit 1
  fi
  # Wine passes the environment on to hid.exe, whose Conduit.dll then connects here.
  export VIREO_VMOUSE="127.0.0.1:$VMOUSE_PORT"
  echo "demo: virtual mouse on $VIREO_VMOUSE (output in $VMOUSE_LOG)"
  echo "demo: drive it with  VMOUSE_CONTROL_PORT=$CONTROL_PORT scripts/vmouse-ctl.sh help"
  echo "demo:   e.g.  scripts/vmouse-ctl.sh status | detach | attach | press 3 | profile 2 | dump profile 0"
fi

# Already running for this prefix is fine too.
wineserver -p >/dev/null 2>&1 || true
echo "demo: starting the agent (hid.exe) on display $DISPLAY"
wine "$BIN/hid.exe" &
sleep 3
wine "$BIN/vireoctl.exe" status || true

seconds="${VIREO_DEMO_SECONDS:-0}"
if [ "$seconds" -gt 0 ]; then
  sleep "$seconds"
else
  echo "demo: running; press Ctrl+C to stop"
  wait
fi
