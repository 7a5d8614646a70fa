# Sourced by the other scripts: a Wine prefix of the project's own, so nothing is written into
# the real home, and a display (Xvfb) when there is none.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${VIREO_WINEPREFIX:-$ROOT/.wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

vireo_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.vireo-ready" ]; then
    vireo_fresh_prefix
  fi
  if [ ! -f "$WINEPREFIX/.vireo-exe-icons" ]; then
    vireo_exe_icons
    # The callers start their own (persistent) wineserver next: let this one end first. A
    # persistent one already running never ends, hence the bound.
    timeout 10 wineserver -w || true
  fi
}

# Makes $WINEPREFIX anew, set up as the project's prefixes are.
vireo_make_prefix() {
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  # Windows also work without a display; the tray and screenshots need Xvfb.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d 'x11,null' /f >/dev/null 2>&1 || true
  vireo_exe_icons
  # The prefix's shell folders point into the real home: make them real folders here.
  local user_dir
  for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
    for link in "$user_dir"*; do
      if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
  done
  wineserver -w || true
  touch "$WINEPREFIX/.vireo-ready"
}

# Makes $WINEPREFIX a fresh prefix, as on a machine where nothing was ever installed, for tests
# that install, register and uninstall: a copy of a pristine prefix that is made once.
vireo_fresh_prefix() {
  local pristine="$ROOT/.wine-pristine"
  if [ ! -f "$pristine/.vireo-ready" ]; then
    echo "wine: creating the pristine prefix $pristine (once, about 30 s)"
    (WINEPREFIX="$pristine" && vireo_make_prefix)
  fi
  rm -rf "$WINEPREFIX"
  cp -a "$pristine" "$WINEPREFIX"
}

# Wine's setup does not tie ".exe" to "exefile" as Windows does; without it the shell reports a
# generic icon for every program, so the tray would not show the agent's own.
vireo_exe_icons() {
  wine reg add 'HKLM\Software\Classes\.exe' /ve /d exefile /f >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.vireo-exe-icons"
}

vireo_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    export DISPLAY=":${VIREO_DISPLAY_NUMBER:-77}"
    if ! xdpyinfo >/dev/null 2>&1; then
      Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
      VIREO_XVFB_PID=$!
      for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    fi
  fi
  vireo_window_manager_mode
}

# Wine treats activated windows as managed by a window manager, and hiding one waits up to 2 s
# for the manager to confirm. A bare Xvfb has none: every hidden window (the progress window at
# the end of each full write, test windows) would cost those 2 s. So Wine is told whether this
# display has a window manager; the setting is only rewritten when that changes.
vireo_window_manager_mode() {
  local mode=N
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then mode=Y; fi
  if [ ! -f "$WINEPREFIX/.vireo-managed-$mode" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$mode" /f >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX"/.vireo-managed-*
    touch "$WINEPREFIX/.vireo-managed-$mode"
    # The callers start their own (persistent) wineserver next: let this one end first.
    timeout 10 wineserver -w || true
  fi
}

vireo_stop_display() {
  if [ -n "${VIREO_XVFB_PID:-}" ]; then kill "$VIREO_XVFB_PID" 2>/dev/null || true; fi
}
