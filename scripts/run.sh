#!/usr/bin/env bash
# Builds Melvora and runs it, from a fresh Debian 12 machine (as root).
# Without arguments: builds the 64-bit Melvora.exe and starts it under Wine, on the current
# display, or, when there is none, on a virtual one for a short while (MELVORA_RUN_SECONDS,
# default 20), saving a screenshot to build/screenshot.png.
# With arguments they go to the command-line analyser (for example:
# scripts/run.sh --summary my.wav).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh run

if [ $# -gt 0 ]; then
    cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build/native -j "$(nproc)"
    exec build/native/tools/analyze/melvora-analyze "$@"
fi

cmake -S . -B build/mingw64 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build build/mingw64 -j "$(nproc)" --target Melvora
exe="$root/build/mingw64/src/app/Melvora.exe"

export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting $exe under Wine on $DISPLAY"
    exec wine "$exe"
fi

seconds=${MELVORA_RUN_SECONDS:-20}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
wine_pid=
cleanup() {
    if [ -n "$wine_pid" ]; then kill "$wine_pid" 2>/dev/null || true; fi
    # Only this build's private Wine prefix is shut down.
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 2
echo "No display: running $exe on the virtual display $display for $seconds s"
DISPLAY=$display wine "$exe" &
wine_pid=$!
sleep "$seconds"
DISPLAY=$display import -window root "$root/build/screenshot.png"
echo "Screenshot: $root/build/screenshot.png"
