#!/usr/bin/env bash
# Sends one command to a running vmouse through its control port and prints the answer.
#   scripts/vmouse-ctl.sh press 3          (port from VMOUSE_CONTROL_PORT, default 47012)
#   scripts/vmouse-ctl.sh                  (no command: an interactive prompt)
set -euo pipefail
PORT="${VMOUSE_CONTROL_PORT:-47012}"

send() {
  exec 3<>"/dev/tcp/127.0.0.1/$PORT" || { echo "vmouse-ctl: no vmouse control port on $PORT" >&2; exit 1; }
  printf '%s\n' "$1" >&3
  # The answer ends with a line holding a single dot.
  local line status=0
  while IFS= read -r line <&3; do
    [ "$line" = "." ] && break
    case "$line" in error:*) status=1 ;; esac
    printf '%s\n' "$line"
  done
  exec 3>&-
  return $status
}

if [ $# -gt 0 ]; then
  send "$*"
else
  while IFS= read -r -e -p "vmouse> " command; do
    [ -n "$command" ] || continue
    send "$command" || true
    [ "$command" = "quit" ] && break
  done
fi
