#!/usr/bin/env bash
# Builds the Windows programs and runs what exists of the product under Wine: the agent
# (hid.exe) with its data folder in the project's own Wine prefix. With no display, an Xvfb is
# started. Ctrl+C (or VIREO_DEMO_SECONDS) ends it; the agent is then closed the way the tray
# menu closes it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset win >/dev/null
# Only the programs: the tests are built by scripts/test.sh.
cmake --build --preset win -j "$(nproc)" --target hid vireoctl

source scripts/wine-env.sh
vireo_wine_prefix
vireo_display
BIN="$ROOT/build/win/bin"

cleanup() {
  wine "$BIN/vireoctl.exe" close-agent >/dev/null 2>&1 || true
  sleep 2
  wineserver -k >/dev/null 2>&1 || true
  vireo_stop_display
}
trap cleanup EXIT INT TERM

wineserver -p >/dev/null 2>&1
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
