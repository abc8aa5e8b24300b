#!/usr/bin/env bash
# Screenshots of the media player (playing a tone), the options window, the exercise chooser
# and the exercise window in English and Turkish into docs/screenshots, on a virtual X display
# with a PulseAudio null sink:
#   tests/win32/media_screenshots.sh <gui build folder> [display number, default 16]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$1
display=${2:-16}
exe="$build/tests/win32/melvora_gui_tests.exe"
out=$(mkdir -p docs/screenshots && cd docs/screenshots && pwd)
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/shots"
xvfb=
cleanup() {
    pulseaudio --kill 2>/dev/null || true
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    sleep 0.5
    rm -rf "$work" 2>/dev/null || true
}
trap cleanup EXIT
Xvfb ":$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=nullsink" --load="module-native-protocol-unix"
sleep 1
pactl set-default-sink nullsink
mkdir -p "$build/wineprefix-sound"
export WINEPREFIX
WINEPREFIX=$(cd "$build/wineprefix-sound" && pwd)
export DISPLAY=":$display" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export MELVORA_SOUND_TESTS=1 MELVORA_SHOTS="Z:$work/shots"
wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
wine "$exe" --gtest_filter='PlayerGui.Wav*:OptionsGui.Cancel*:Languages/ExerciseGui.*' &
tests=$!
while kill -0 "$tests" 2>/dev/null; do
    for ready in "$work"/shots/*.ready; do
        [ -f "$ready" ] || continue
        name=$(basename "$ready" .ready)
        read -r x y w h < "$ready"
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
        echo "$name.png (${w}x${h})"
        mv "$ready" "$work/shots/$name.taken"
        touch "$work/shots/$name.done"
    done
    sleep 0.2
done
wait "$tests"
rc=$?
wineserver -k 2>/dev/null || true
exit $rc
