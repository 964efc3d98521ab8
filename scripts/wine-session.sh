# Sourced by scripts/test and scripts/demo: a private Wine prefix inside an Xvfb display that the
# script starts itself. Only the processes started here are stopped, by PID, plus the wineserver
# of this prefix. Wine is always started through scripts/wine-run, which picks the loader this
# host can run (scripts/wine-arch).
# shellcheck shell=bash

export WINEDEBUG=-all
# winemenubuilder would mirror every shortcut into the host desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_session_xvfb_pid=""
wine_session_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine() { "$wine_session_scripts/wine-run" "$@"; }
wineserver() { "$wine_session_scripts/wineserver-run" "$@"; }

# wine_session_start PREFIX [keep]: makes a fresh prefix (unless keep and it exists) and, when
# there is no DISPLAY or $1 asks for it, an Xvfb display. Then decides, once for the session, which
# Windows build runs here and exports it as TOLLAN_WINE_ARCH for everything started later.
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
  # A first look without the prefix tells whether the i386 loader starts at all, and so which
  # loader makes the prefix. A kept prefix made by the other loader is made anew.
  WINEPREFIX='' "$wine_session_scripts/wine-arch" --probe >/dev/null
  local arch made_by
  arch=$("$wine_session_scripts/wine-arch")
  made_by=$(cat "$WINEPREFIX/.tollan-arch" 2>/dev/null || true)
  if [ -z "$keep" ] || [ ! -f "$WINEPREFIX/system.reg" ] || [ "$made_by" != "$arch" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: preparing a fresh prefix in $WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
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
    echo "$arch" > "$WINEPREFIX/.tollan-arch"
  fi
  # The answer that counts: a 32-bit program run in this prefix.
  "$wine_session_scripts/wine-arch" --probe
  TOLLAN_WINE_ARCH=$("$wine_session_scripts/wine-arch")
  export TOLLAN_WINE_ARCH
}

# The build tree whose programs run under Wine in this session.
wine_session_tree() {
  if [ "${TOLLAN_WINE_ARCH:-i686}" = x86_64 ]; then echo build/win64; else echo build/win; fi
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "$wine_session_xvfb_pid" ]; then
    kill "$wine_session_xvfb_pid" 2>/dev/null || true
    wait "$wine_session_xvfb_pid" 2>/dev/null || true
    wine_session_xvfb_pid=""
  fi
}
