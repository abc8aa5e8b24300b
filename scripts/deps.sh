#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those not yet installed.
#   scripts/deps.sh run|test|dist
set -euo pipefail

native=(cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev)
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)
wine=(wine wine64 xvfb xauth pulseaudio pulseaudio-utils imagemagick fp-utils-3.2.2)
testing=(clang libclang-rt-14-dev sox)
packaging=(zip unzip)

case "${1:-test}" in
    run) wanted=("${native[@]}" "${windows[@]}" "${wine[@]}") ;;
    test) wanted=("${native[@]}" "${windows[@]}" "${wine[@]}" "${testing[@]}" "${packaging[@]}") ;;
    dist) wanted=(cmake make "${windows[@]}" fp-utils-3.2.2 "${packaging[@]}") ;;
    *) echo "usage: $0 run|test|dist" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# One unreachable index must not stop the install of what the others hold.
apt-get update -qq || echo "apt-get update reported a problem; going on with the lists we have" >&2
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
