#!/usr/bin/env bash
# Screenshots of the keyboard and staff windows of the running program while a vowel (A4,
# 440 Hz) is sung into its microphone through a PulseAudio null sink, in English and
# Turkish, into docs/screenshots/:
#   tests/win32/music_screenshots.sh [gui build folder, default build/mingw64] [output folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/mingw64}
out=$(mkdir -p "${2:-docs/screenshots}" && cd "${2:-docs/screenshots}" && pwd)
exe="$build/tests/win32/melvora_gui_tests.exe"
[ -f "$exe" ] || { echo "build the GUI suite first: $exe is missing" >&2; exit 1; }
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/shots"
player=
cleanup() {
    if [ -n "$player" ]; then
        pkill -P "$player" 2>/dev/null || true
        kill "$player" 2>/dev/null || true
    fi
    pulseaudio --kill 2>/dev/null || true
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        pulseaudio --check 2>/dev/null || break
        sleep 0.2
    done
    rm -rf "$work" 2>/dev/null || { sleep 0.5; rm -rf "$work" || true; }
}
trap cleanup EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=nullsink" --load="module-native-protocol-unix"
sleep 1
pactl set-default-sink nullsink
pactl set-default-source nullsink.monitor
sox -n -r 44100 -c 1 -b 16 "$work/vowel.wav" synth 4 sawtooth 440 vol 0.3 lowpass 2500
( sleep 3; while true; do paplay "$work/vowel.wav"; done ) &
player=$!

mkdir -p "$build/wineprefix-sound"
export WINEPREFIX
WINEPREFIX=$(cd "$build/wineprefix-sound" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export MELVORA_EXE="$exe" MELVORA_WORK="$work/shots" MELVORA_OUT="$out"
export MELVORA_SHOTS="Z:$work/shots"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
    wine "$MELVORA_EXE" --gtest_filter="Languages/MusicScreens.*" &
    program=$!
    while kill -0 $program 2>/dev/null; do
        for ready in "$MELVORA_WORK"/*.ready; do
            [ -f "$ready" ] || continue
            name=$(basename "$ready" .ready)
            read -r x y w h < "$ready"
            import -window root -crop "${w}x${h}+${x}+${y}" +repage "$MELVORA_OUT/$name.png"
            # OpenGL child windows come out black in the grab: their read-back picture goes
            # over them.
            if [ -f "$MELVORA_WORK/$name.view.ppm" ]; then
                read -r vx vy < "$MELVORA_WORK/$name.view.at"
                convert "$MELVORA_OUT/$name.png" "$MELVORA_WORK/$name.view.ppm" \
                    -geometry "+${vx}+${vy}" -composite "$MELVORA_OUT/$name.png"
            fi
            echo "$name.png (${w}x${h})"
            mv "$ready" "$MELVORA_WORK/$name.taken"
            touch "$MELVORA_WORK/$name.done"
        done
        sleep 0.2
    done
    wait $program
    rc=$?
    wineserver -k 2>/dev/null || true
    exit $rc
'
