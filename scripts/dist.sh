#!/usr/bin/env bash
# Builds the release and packs one zip per architecture under dist/:
#   Melvora-<version>-<arch>.zip holding Melvora/ with Melvora.exe, Melvora.chm, Exercises/
#   and ReadMe.txt.
#   scripts/dist.sh                      builds i686 (the release) and x86_64, then packs both
#   scripts/dist.sh pack BUILD_DIR ARCH  packs what an existing build folder holds (CI)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(sed -nE 's/^project\(Melvora VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)

# Packs the program of build folder $1 built for architecture $2 (i686 or x86_64).
pack() {
    local build=$1 arch=$2
    local exe
    # The program writes beside itself, so a build folder may hold a Wine prefix with copies;
    # the program is the one the build made, outside any prefix.
    exe=$(find "$build" -name Melvora.exe -not -path '*/wineprefix*' -type f | head -n 1)
    if [ -z "$exe" ] || [ ! -f "$build/Melvora.chm" ]; then
        echo "dist: $build holds no Melvora.exe or Melvora.chm (build it first)" >&2
        return 1
    fi
    local stage="$root/dist/stage-$arch"
    rm -rf "$stage"
    mkdir -p "$stage/Melvora/Exercises"
    # The build's own copy of the program carries debugging information; the zip gets it
    # stripped. The exercises come from the sources: a build folder may hold the user files
    # of a test run (unfinished.dat).
    "$arch-w64-mingw32-strip" -o "$stage/Melvora/Melvora.exe" "$exe"
    cp "$build/Melvora.chm" "$stage/Melvora/"
    cp data/Exercises/*.exc "$stage/Melvora/Exercises/"
    sed 's/$/\r/' docs/ReadMe.txt >"$stage/Melvora/ReadMe.txt"
    local zip="$root/dist/Melvora-$version-$arch.zip"
    rm -f "$zip"
    (cd "$stage" && zip -qr -X "$zip" Melvora)
    rm -rf "$stage"
    echo "dist: $zip"
    unzip -l "$zip"
}

build_release() {
    local build=$1 arch=$2
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null
    cmake --build "$build" -j "$(nproc)" --target Melvora
}

case "${1:-all}" in
    pack)
        [ $# -eq 3 ] || { echo "usage: $0 pack BUILD_DIR i686|x86_64" >&2; exit 2; }
        pack "$2" "$3"
        ;;
    all)
        bash scripts/deps.sh dist
        build_release build/mingw32 i686
        build_release build/mingw64 x86_64
        pack build/mingw32 i686
        pack build/mingw64 x86_64
        ;;
    *) echo "usage: $0 [pack BUILD_DIR i686|x86_64]" >&2; exit 2 ;;
esac
