#!/usr/bin/env bash
# The program started from a folder named "Şarkı Ödevleri" (letters outside the ANSI code
# page of Wine's default locale):
#   non_ascii_folder_under_wine.sh <wine prefix folder> <melvora_gui_tests.exe>
# Copies the program into such a folder, starts it once to record and save (simulated card),
# then again as a restart (each phase checks tmp.wav while the program runs), and checks from
# outside that the saved take and options.dat are where they belong.
set -euo pipefail
prefix=$1
exe=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/Şarkı Ödevleri"
mkdir -p "$folder"
cp "$exe" "$folder/"
copy="$folder/$(basename "$exe")"
# A UTF-8 locale, so that Wine finds the folder; its ANSI code page is then 1252, which
# has neither Ş nor ı.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
for phase in record restart; do
    MELVORA_FOLDER_TEST=$phase bash "$here/run_under_wine.sh" "$prefix" "$copy" \
        --gtest_filter='ProgramFolder.*'
    echo "after $phase:" && ls -l "$folder" | sed 1d
done
failed=0
size=$(stat -c %s "$folder/options.dat" 2>/dev/null || echo 0)
[ "$size" = 220 ] || { echo "options.dat: $size bytes, not 220" >&2; failed=1; }
# tmp.wav is checked by the program while it runs: closing with nothing recorded deletes it.
saved="$folder/kayıt.wav"
if [ -f "$saved" ] && command -v soxi >/dev/null; then
    seconds=$(soxi -D "$saved")
    echo "saved take: $seconds s"
    awk -v s="$seconds" 'BEGIN { exit !(s >= 0.03) }' || { echo "saved take empty" >&2; failed=1; }
elif [ ! -f "$saved" ]; then
    echo "kayıt.wav missing" >&2
    failed=1
fi
# Nothing may have landed beside the folder under a mangled name.
stray=$(find "$work" -mindepth 1 -maxdepth 1 ! -name 'Şarkı Ödevleri' | head -5)
[ -z "$stray" ] || { echo "files outside the program folder: $stray" >&2; failed=1; }
exit "$failed"
