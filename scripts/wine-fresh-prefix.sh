#!/usr/bin/env bash
# Runs a Windows program (a test) in a Wine prefix of its own, made fresh for the run and removed
# after it: for tests that install, register and uninstall, so that neither the shared prefix
# nor a later run sees what they left.
#   scripts/wine-fresh-prefix.sh PREFIX_FOLDER PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
export VIREO_WINEPREFIX="$1"
shift
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  vireo_stop_display
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

vireo_fresh_prefix
vireo_display
# A persistent, warm wineserver, as for the other Windows tests.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
# In the background, so that a timeout's TERM reaches the trap at once.
wine "$@" &
wait $!
