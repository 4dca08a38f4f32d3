#!/bin/sh
# The Wine prefix of a build: created once and reused, with a persistent wineserver while tests
# run (a process start then costs about 60 ms instead of about 3 s).
#   wine-prefix.sh ensure   create the prefix when missing; start the server and wine's own
#                           background processes when they are not running
#   wine-prefix.sh stop     end the server
#
# Wine's background processes (services, plugplay, explorer...) outlive the program that started
# them and inherit its standard handles; ctest waits for a test's output to close, so they must
# be started here, with nothing of the caller's open.
set -e
: "${WINEPREFIX:?WINEPREFIX is not set}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine64

server_running() {
  key="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
  for pid in $(pgrep wineserver 2>/dev/null); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
      */"$key") return 0 ;;
    esac
  done
  return 1
}

case "$1" in
  ensure)
    if [ -f "$WINEPREFIX/system.reg" ] && server_running; then
      exit 0
    fi
    mkdir -p "$WINEPREFIX"
    (
      # The lock belongs to this block alone: nothing started inside may inherit it.
      flock 9
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
        wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
      fi
      if ! server_running; then
        wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
      fi
      "$wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    ) 9>"$WINEPREFIX/../wineprefix.lock"
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
    ;;
  *)
    echo "usage: $0 ensure|stop" >&2
    exit 2
    ;;
esac
