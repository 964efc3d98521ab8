# Sourced by scripts/test and scripts/demo: a private Wine prefix inside an Xvfb display that the
# script starts itself. Only the processes started here are stopped, by PID, plus wineserver -k
# for this prefix.
# shellcheck shell=bash

export WINEDEBUG=-all
# winemenubuilder would mirror every shortcut into the host desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_session_xvfb_pid=""

# wine_session_start PREFIX [keep]: makes a fresh prefix (unless keep and it exists) and, when
# there is no DISPLAY or $1 asks for it, an Xvfb display.
wine_session_start() {
  local prefix=$1 keep=${2:-}
  export WINEPREFIX=$prefix
  if [ -z "${DISPLAY:-}" ] || [ -n "${WINE_SESSION_XVFB:-}" ]; then
    local n=91
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    wine_session_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  trap wine_session_stop EXIT
  if [ -z "$keep" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: preparing a fresh prefix in $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Every window opens inside one Wine virtual desktop: Wine then manages the windows itself
    # (frames, maximising) instead of relying on an X window manager, which Xvfb does not have.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1 || true
    wineserver -w
    # Wine links the user's Desktop, Documents and the like to the host's home; in a test prefix
    # they are folders of the prefix, so shortcuts and files made there stay inside it.
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
  fi
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "$wine_session_xvfb_pid" ]; then
    kill "$wine_session_xvfb_pid" 2>/dev/null || true
    wait "$wine_session_xvfb_pid" 2>/dev/null || true
    wine_session_xvfb_pid=""
  fi
}
