# Sourced by scripts/test and scripts/run: starts what Windows programs need
# here (an Xvfb display when there is none, a Wine prefix with unmanaged X11
# windows, a persistent wineserver) and stops exactly what it started.
#
#   wine_session_start PREFIX [need_xvfb]   exports DISPLAY, WINEPREFIX, ...
#   wine_session_stop

WINE_SESSION_PIDS=()

source "$(dirname "${BASH_SOURCE[0]}")/find-wine.sh"

# Xvfb picks a free display itself and tells us which (-displayfd), so two
# runs started at once never end up sharing one.
wine_start_xvfb() {
  local numfile; numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
  WINE_SESSION_PIDS+=($!)
  local i n=""
  for i in $(seq 1 100); do
    n=$(tr -dc '0-9' <"$numfile")
    [ -n "$n" ] && grep -q $'\n' "$numfile" && break
    sleep 0.1
  done
  rm -f "$numfile"
  [ -n "$n" ] || { echo "Xvfb did not report a display" >&2; return 1; }
  export DISPLAY=":$n"
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2; return 1
}

wine_session_start() {
  local prefix=$1 want_xvfb=${2:-always}
  tolvane_find_wine || return 1
  export WINEPREFIX=$prefix WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all,err+module}
  export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"

  if [ "$want_xvfb" = always ] || [ -z "${DISPLAY:-}" ]; then
    wine_start_xvfb || return 1
  fi

  # Wine: the server is started detached, before anything else: Wine's processes
  # inherit the output of whoever starts them, and a ctest or a pipe would
  # then wait on them.
  mkdir -p "$(dirname "$prefix")"
  setsid "$TOLVANE_WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  WINE_SESSION_PIDS+=($!)

  if [ ! -f "$prefix/.tolvane-ready" ]; then
    # Marked ready only when wineboot made a whole prefix: a half-made one
    # would fail every test after it in ways that do not point here.
    # (The registry files appear only when the server saves them, later.)
    if ! "$TOLVANE_WINE" wineboot -i </dev/null >/dev/null 2>&1 ||
       [ ! -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
      echo "wineboot could not make the Wine prefix $prefix" >&2
      return 1
    fi
    # Wine: without a window manager, hiding a window or closing a message box
    # waits 2 s and focus follows the pointer; unmanaged windows avoid both.
    "$TOLVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
      { echo "could not set up the Wine prefix $prefix" >&2; return 1; }
    touch "$prefix/.tolvane-ready"
  fi
  # Wine: one throwaway process starts the prefix's services now, detached,
  # so that they never hold a later caller's pipe open.
  "$TOLVANE_WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    "${TOLVANE_WINESERVER:-wineserver}" -k </dev/null >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${WINE_SESSION_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${WINE_SESSION_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  WINE_SESSION_PIDS=()
}
