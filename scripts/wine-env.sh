# Sourced by the scripts that run Windows programs: one Wine prefix inside the build folder,
# reused between runs, and a virtual X server when the machine has no display.
# Exposes zuvo_wine_prepare and zuvo_x_prepare.

ZUVO_ROOT=${ZUVO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
ZUVO_BUILD=${ZUVO_BUILD:-$ZUVO_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$ZUVO_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine decodes non-ASCII file names correctly only under a UTF-8 locale.
export LC_ALL=C.UTF-8

# Creates the prefix once (about ten seconds), set to report Windows 10.
zuvo_wine_prepare() {
  mkdir -p "$ZUVO_BUILD"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zuvo-ready" ]; then
      wineboot -i >/dev/null 2>&1 9>&- || true
      wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1 9>&- || true
      wineserver -w 9>&-
      touch "$WINEPREFIX/.zuvo-ready"
    fi
  ) 9>"$ZUVO_BUILD/.wineprefix.lock"
}

# Makes sure DISPLAY names a running X server: the caller's, or a virtual one shared by every
# test of this build (its display number is kept in build/xvfb.display until zuvo_x_stop).
zuvo_x_prepare() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    local own; own=$(cat "$ZUVO_BUILD/xvfb.display" 2>/dev/null || true)
    [ "$DISPLAY" = "$own" ] && zuvo_wm_prepare || zuvo_wm_prepare managed
    return 0
  fi
  mkdir -p "$ZUVO_BUILD"
  local state=$ZUVO_BUILD/xvfb.display
  (
    flock 9
    if [ -f "$state" ] && DISPLAY=$(cat "$state") xdpyinfo >/dev/null 2>&1; then exit 0; fi
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    # fd 9 (the lock) is closed for the server, or it would hold the lock for its lifetime.
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 9>&- >/dev/null 2>&1 &
    echo $! >"$ZUVO_BUILD/xvfb.pid"
    local n; read -r n <"$fifo"; rm -f "$fifo"
    echo ":$n" >"$state"
  ) 9>"$ZUVO_BUILD/.xvfb.lock"
  DISPLAY=$(cat "$state")
  export DISPLAY
  zuvo_wm_prepare
}

# The virtual X server runs no window manager, and Wine waits up to two seconds for one to
# acknowledge every top-level window it hides (each program exit, each closed dialog). On that
# server Wine manages its windows itself ("Managed" off); on a caller's display the window
# manager keeps them. The prefix remembers which it was set for, so the registry is written
# only when that changes.
zuvo_wm_prepare() {
  local mode=${1:-unmanaged} marker=$WINEPREFIX/.zuvo-x-mode
  [ "$(cat "$marker" 2>/dev/null)" = "$mode" ] && return 0
  (
    flock 9
    if [ "$mode" = unmanaged ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&- || true
    else
      wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 9>&- || true
    fi
    echo "$mode" >"$marker"
  ) 9>"$ZUVO_BUILD/.wineprefix.lock"
}

zuvo_x_stop() {
  if [ -f "$ZUVO_BUILD/xvfb.pid" ]; then
    kill "$(cat "$ZUVO_BUILD/xvfb.pid")" 2>/dev/null || true
    rm -f "$ZUVO_BUILD/xvfb.pid" "$ZUVO_BUILD/xvfb.display"
  fi
}

# Wave-out goes to ALSA's null device unless the caller set up a capture of its own.
zuvo_alsa_prepare() {
  if [ -n "${ALSA_CONFIG_PATH:-}" ]; then return 0; fi
  local conf=$ZUVO_BUILD/alsa-null.conf
  if [ ! -f "$conf" ]; then
    { cat /usr/share/alsa/alsa.conf; echo 'pcm.!default { type null }'; } >"$conf.tmp"
    mv "$conf.tmp" "$conf"
  fi
  export ALSA_CONFIG_PATH=$conf
}
