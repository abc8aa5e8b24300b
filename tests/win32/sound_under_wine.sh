#!/usr/bin/env bash
# The program's real WINMM sound path under Wine, end to end through a PulseAudio null sink:
#   sound_under_wine.sh <wine prefix folder> <melvora_gui_tests.exe>
# Phase 1 plays a sung vowel (220 Hz) into the sink while the program listens to its
# microphone (the sink's monitor); phase 2 records the sink while the program replays a
# 440 Hz tone and checks that the tone arrived; phase 3 plays a held C4 into the sink while
# an exercise try records it, and checks the try's score.
set -euo pipefail
prefix=$1
exe=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
player=
recorder=
cleanup() {
    if [ -n "$player" ]; then
        pkill -P "$player" 2>/dev/null || true
        kill "$player" 2>/dev/null || true
    fi
    if [ -n "$recorder" ]; then kill "$recorder" 2>/dev/null || true; fi
    pulseaudio --kill 2>/dev/null || true
    # The daemon still writes to its runtime folder for a moment after it was told to go;
    # removing the folder under it must not fail a run whose checks passed.
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

# A vowel-like voice: a 220 Hz sawtooth (every harmonic, falling), softened above 2.5 kHz.
sox -n -r 44100 -c 1 -b 16 "$work/vowel.wav" synth 30 sawtooth 220 vol 0.3 lowpass 2500
export MELVORA_SOUND_TESTS=1

# A new prefix's first start also sets up Wine's sound drivers, and on a fresh machine the
# first capture has been seen to hear nothing: start the prefix once before the checks, and
# give the microphone check one more try with the prefix already warm.
bash "$here/run_under_wine.sh" "$prefix" "$exe" --gtest_list_tests >/dev/null || true

# The singer sings while the test program's cue file exists (guitest::CueSinger): the
# analysis first hears the room's quiet, as a person's would. A play cut short by the cue's
# removal leaves the next check in quiet again.
export MELVORA_SINGER_CUE="$work/sing"
sing_when_cued() {
    while true; do
        while [ ! -f "$MELVORA_SINGER_CUE" ]; do sleep 0.05; done
        paplay "$1" &
        local voice=$!
        while [ -f "$MELVORA_SINGER_CUE" ] && kill -0 "$voice" 2>/dev/null; do sleep 0.05; done
        kill "$voice" 2>/dev/null || true
        wait "$voice" 2>/dev/null || true
    done
}
sing_when_cued "$work/vowel.wav" &
player=$!
failed=0
microphone() {
    bash "$here/run_under_wine.sh" "$prefix" "$exe" --gtest_filter='ProgramSound.Microphone*'
}
microphone || { echo "microphone check: one more try" >&2; microphone; } || failed=1
# The loop and the paplay it is running now (its own child).
pkill -P "$player" 2>/dev/null || true
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
player=
sleep 0.5

parec -d nullsink.monitor --file-format=wav "$work/sink.wav" &
recorder=$!
bash "$here/run_under_wine.sh" "$prefix" "$exe" --gtest_filter='ProgramSound.Replay*' ||
    failed=1
sleep 0.5
kill "$recorder" 2>/dev/null || true
wait "$recorder" 2>/dev/null || true
recorder=

# Phase 3: an exercise try of a held C4 sung into the sink is recorded and scored.
# Long enough for the whole check: the gap between two plays is a silence, and a silence
# ends a try whose intake listens for the voice.
sox -n -r 44100 -c 1 -b 16 "$work/c4.wav" synth 30 sawtooth 261.63 vol 0.3 lowpass 2500
sing_when_cued "$work/c4.wav" &
player=$!
bash "$here/run_under_wine.sh" "$prefix" "$exe" --gtest_filter='ExerciseSound.*' || failed=1
pkill -P "$player" 2>/dev/null || true
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
player=
# The media player plays a WAV file through MCI; its position must move.
bash "$here/run_under_wine.sh" "$prefix" "$exe" --gtest_filter='PlayerGui.Wav*' || failed=1

# The replayed 440 Hz tone must be in what the sink played.
# Leading and trailing silence (before the program started playing, after it paused) are
# cut off first, so the figures are those of the replay; then the share of the 440 Hz band.
trimmed="$work/replay.wav"
sox "$work/sink.wav" "$trimmed" remix - silence 1 0.05 1% reverse silence 1 0.05 1% reverse
rms=$(sox "$trimmed" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
band=$(sox "$trimmed" -n bandpass 440 60h stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
seconds=$(soxi -D "$trimmed")
echo "sink: ${seconds} s of sound, RMS amplitude $rms, in a 60 Hz band around 440 Hz $band"
awk -v r="$rms" -v b="$band" -v s="$seconds" \
    'BEGIN { exit !(r > 0.01 && b > 0.7 * r && s > 1.5) }' || {
    echo "the replayed tone did not reach the sound card" >&2
    exit 1
}
echo "the replayed tone reached the sound card"
exit "$failed"
