#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots: the message box of every type in English and
# Turkish, the about box, the page of every button family and the analysis and volume
# windows, from the GUI test program's gallery mode, under a virtual X display with
# ImageMagick's import. With PulseAudio installed, a private sound server with a null sink
# runs meanwhile, so the volume window shows the system's mixers.
#   tests/win32/screenshots.sh [gui build folder, default build/gui] [output folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/gui}
out=$(mkdir -p "${2:-docs/screenshots}" && cd "${2:-docs/screenshots}" && pwd)
exe="$build/tests/win32/melvora_gui_tests.exe"
[ -f "$exe" ] || { echo "build the GUI suite first: $exe is missing" >&2; exit 1; }
work=$(mktemp -d)
sound=
cleanup() {
    if [ -n "$sound" ]; then pulseaudio --kill 2>/dev/null || true; sleep 0.5; fi
    rm -rf "$work" 2>/dev/null || true
}
trap cleanup EXIT
if command -v pulseaudio >/dev/null 2>&1; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    if pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=nullsink" --load="module-native-protocol-unix" \
        2>/dev/null; then
        sound=1
        sleep 1
    fi
fi
mkdir -p "$build/wineprefix"
export WINEPREFIX
WINEPREFIX=$(cd "$build/wineprefix" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export MELVORA_EXE="$exe" MELVORA_WORK="$work" MELVORA_OUT="$out"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
    wine "$MELVORA_EXE" --gallery "Z:$MELVORA_WORK" &
    gallery=$!
    while [ ! -f "$MELVORA_WORK/gallery.end" ] && kill -0 $gallery 2>/dev/null; do
        for ready in "$MELVORA_WORK"/*.ready; do
            [ -f "$ready" ] || continue
            name=$(basename "$ready" .ready)
            read -r x y w h < "$ready"
            import -window root -crop "${w}x${h}+${x}+${y}" +repage "$MELVORA_OUT/$name.png"
            echo "$name.png (${w}x${h})"
            mv "$ready" "$MELVORA_WORK/$name.taken"
            touch "$MELVORA_WORK/$name.done"
        done
        sleep 0.2
    done
    wait $gallery
    rc=$?
    # Frames the OpenGL views drew, read back by the gallery.
    for frame in "$MELVORA_WORK"/*.ppm; do
        [ -f "$frame" ] || continue
        name=$(basename "$frame" .ppm)
        convert "$frame" "$MELVORA_OUT/$name.png"
        echo "$name.png (read back from OpenGL)"
    done
    wineserver -k 2>/dev/null || true
    exit $rc
'
