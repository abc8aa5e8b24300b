#!/usr/bin/env bash
# Runs a Windows program under Wine in a virtual X display:
#   run_under_wine.sh <wine prefix folder> <program.exe> [arguments...]
# The prefix is created on first use (10-20 s). Wine never offers its Mono or Gecko
# installers, and its own debug output stays off.
set -euo pipefail
prefix=$1
shift
mkdir -p "$prefix"
export WINEPREFIX
WINEPREFIX=$(cd "$prefix" && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
# One Xvfb per run; the server of this prefix is stopped before the display goes away.
# There is no window manager in the virtual display: Wine must not leave windows to one,
# or it waits two seconds for each hidden window to be acknowledged.
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    if [ ! -f "$WINEPREFIX/.melvora-unmanaged" ]; then
        wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 &&
            touch "$WINEPREFIX/.melvora-unmanaged"
    fi
    wine "$@"
    rc=$?
    wineserver -k 2>/dev/null || true
    exit $rc
' run-under-wine "$@"
