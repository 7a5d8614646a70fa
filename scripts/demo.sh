#!/usr/bin/env bash
# Builds the Windows programs and runs the product under Wine: the agent (hid.exe) with its
# data folder in the project's own Wine prefix, talking to the virtual mouse (vmouse, built
# natively and started in the background, unplugged), and the configurator (tuner.exe). With no
# display, an Xvfb is started. Then, as a person would: the mouse is plugged in and the agent
# reads it back; the settings window opens (screenshot); the mouse switches its profile by
# itself and the window follows; the window's Apply writes everything into the mouse while the
# progress window shows (screenshot during the write). The window stays open to be used, and
# the mouse takes commands (scripts/vmouse-ctl.sh). Ctrl+C (or VIREO_DEMO_SECONDS) ends it; the
# agent is then closed the way the tray menu closes it (the configurator with it), and the
# virtual mouse is stopped.
#
#   VIREO_VMOUSE_PORT      link port of the virtual mouse (default 47011)
#   VMOUSE_CONTROL_PORT    its control port for scripts/vmouse-ctl.sh (default 47012)
#   VIREO_DEMO_NO_VMOUSE=1 no virtual mouse: Conduit.dll then looks for a real one
#   VIREO_DEMO_BUILD_DIR   a Windows build folder of its own (default: the "win" preset's)
#   VIREO_DEMO_SCREENSHOT  where the screenshot of the write goes
#                          (default: <build folder>/demo-progress.png)
#   VIREO_DEMO_SETTINGS_SCREENSHOT  where the screenshot of the settings window goes
#                          (default: <build folder>/demo-settings.png)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
# Only the programs and the skin beside them: the tests are built by scripts/test.sh.
PROGRAMS=(hid tuner beacon vireoctl vireo_skin_files)
if [ -n "${VIREO_DEMO_BUILD_DIR:-}" ]; then
  WIN_BUILD="$VIREO_DEMO_BUILD_DIR"
  cmake -S . -B "$WIN_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$WIN_BUILD" -j "$(nproc)" --target "${PROGRAMS[@]}"
else
  WIN_BUILD="$ROOT/build/win"
  cmake --preset win >/dev/null
  cmake --build --preset win -j "$(nproc)" --target "${PROGRAMS[@]}"
fi
SCREENSHOT="${VIREO_DEMO_SCREENSHOT:-$WIN_BUILD/demo-progress.png}"
SETTINGS_SCREENSHOT="${VIREO_DEMO_SETTINGS_SCREENSHOT:-$WIN_BUILD/demo-settings.png}"

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
BIN="$WIN_BUILD/bin"

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
  # starts with factory settings, as a new mouse would, so the agent reads back real values,
  # and unplugged, so that the demo plugs it in once the agent runs.
  build/vmouse-release/bin/vmouse --port "$VMOUSE_PORT" --control-port "$CONTROL_PORT" \
    --factory --detached </dev/null >"$VMOUSE_LOG" 2>&1 &
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
for _ in $(seq 60); do
  wine "$BIN/vireoctl.exe" status >/dev/null 2>&1 && break
  sleep 0.5
done
wine "$BIN/vireoctl.exe" status || true

mouse_reports() {
  VMOUSE_CONTROL_PORT="$CONTROL_PORT" scripts/vmouse-ctl.sh status 2>/dev/null |
    sed -n 's/.* \([0-9][0-9]*\) reports.*/\1/p'
}

if [ "${VIREO_DEMO_NO_VMOUSE:-0}" != 1 ]; then
  echo "demo: plugging in the mouse; the agent reads it back"
  VMOUSE_CONTROL_PORT="$CONTROL_PORT" scripts/vmouse-ctl.sh attach
  # The read-back is over when the mouse has had reports and no new ones for a second.
  last=-1
  for _ in $(seq 30); do
    sleep 1
    now="$(mouse_reports)"
    if [ -n "$now" ] && [ "$now" -gt 0 ] && [ "$now" = "$last" ]; then break; fi
    last="$now"
  done
  echo "demo: read back; the mouse has had ${last} reports"
fi

# The settings window, as the tray icon opens it.
echo "demo: opening the settings window (tuner.exe)"
wine "$BIN/tuner.exe" &
for _ in $(seq 100); do
  xwininfo -name "Vireo GAMING MOUSE" 2>/dev/null | grep -q "IsViewable" && break
  sleep 0.1
done
sleep 1  # painted
import -window root "$SETTINGS_SCREENSHOT" &&
  echo "demo: screenshot of the settings window in $SETTINGS_SCREENSHOT"

if [ "${VIREO_DEMO_NO_VMOUSE:-0}" != 1 ]; then
  echo "demo: the mouse switches to its second profile by itself; the window follows"
  VMOUSE_CONTROL_PORT="$CONTROL_PORT" scripts/vmouse-ctl.sh profile 1
  sleep 1
fi

# Apply in the settings window: every setting goes into the mouse while the progress window
# shows (about half a second), so the screenshot is taken as soon as it is on the screen.
echo "demo: Apply in the settings window (a full write, with the progress window)"
wine "$BIN/vireoctl.exe" apply &
SEND_PID=$!
shot=0
for _ in $(seq 400); do
  if xwininfo -name VireoProgressbar 2>/dev/null | grep -q "IsViewable"; then
    sleep 0.1  # its first steps painted
    import -window root "$SCREENSHOT" && shot=1
    break
  fi
  kill -0 "$SEND_PID" 2>/dev/null || break
  sleep 0.02
done
wait "$SEND_PID" || true
if [ "$shot" = 1 ]; then
  echo "demo: screenshot of the write in $SCREENSHOT"
else
  echo "demo: the progress window was not seen on the screen" >&2
fi
if [ "${VIREO_DEMO_NO_VMOUSE:-0}" != 1 ]; then
  echo "demo: the mouse has had $(mouse_reports) reports"
  echo "demo: try  VMOUSE_CONTROL_PORT=$CONTROL_PORT scripts/vmouse-ctl.sh profile 3 | stage 2 | lighting 5 | rate 1"
  echo "demo:      and watch the settings window follow; change a stage or a lighting mode there"
fi

seconds="${VIREO_DEMO_SECONDS:-0}"
if [ "$seconds" -gt 0 ]; then
  sleep "$seconds"
else
  echo "demo: running; press Ctrl+C to stop"
  wait
fi
