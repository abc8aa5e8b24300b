#!/usr/bin/env bash
# Every test of the project, from a fresh Debian 12 machine (as root):
#   native suite, the same under AddressSanitizer + UBSan, the threaded suites under
#   ThreadSanitizer, the fuzzers for a bounded time, both Windows cross-builds, and the
#   Win32 GUI suite under Wine (in the 64-bit build); the two builds are also packed as the
#   release zips under dist/ (scripts/dist.sh).
# MELVORA_STAGES="native asan ..." runs a subset while developing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
stages=${MELVORA_STAGES:-"native asan tsan fuzz mingw32 mingw64"}

bash scripts/deps.sh test

total_passed=0
total_failed=0
summary=()

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
    local dir=$1; shift
    local log="$dir/ctest.log"
    set +e
    # The full log stays in the build folder; the console shows failures and the summary.
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 "$@" 2>&1 | tee "$log" |
        grep -v -E '^ +Start +[0-9]+: |Test +#[0-9]+: .* Passed +[0-9.]+ sec$'
    local rc=${PIPESTATUS[0]}
    set -e
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$line" ]; then
        local failed all
        failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        all=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
        total_passed=$((total_passed + all - failed))
        total_failed=$((total_failed + failed))
        summary+=("$dir: $line")
    fi
    return "$rc"
}

configure_build() {
    local dir=$1; shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

for stage in $stages; do
    echo "=== $stage ==="
    case "$stage" in
        native)
            configure_build build/native -DMELVORA_BUILD_BENCHMARKS=ON
            run_ctest build/native
            ;;
        asan)
            configure_build build/asan -DCMAKE_BUILD_TYPE=Debug -DMELVORA_SANITIZE=address,undefined
            ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build/asan
            ;;
        tsan)
            configure_build build/tsan -DMELVORA_SANITIZE=thread
            TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_ctest build/tsan -L threads --no-tests=ignore
            ;;
        fuzz)
            CC=clang CXX=clang++ configure_build build/fuzz -DMELVORA_BUILD_TESTS=OFF \
                -DMELVORA_FUZZ=ON -DMELVORA_SANITIZE=address,undefined
            bash scripts/fuzz.sh build/fuzz "${MELVORA_FUZZ_SECONDS:-30}"
            ;;
        mingw32)
            configure_build build/mingw32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake"
            bash scripts/dist.sh pack build/mingw32 i686
            ;;
        mingw64 | gui)
            # The 64-bit build is the one Wine runs: it carries the GUI suite.
            configure_build build/mingw64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
                -DMELVORA_GUI_TESTS=ON
            # Packed before the suite runs, while the build folder holds only what the build made.
            bash scripts/dist.sh pack build/mingw64 x86_64
            run_ctest build/mingw64
            ;;
        *) echo "unknown stage $stage" >&2; exit 2 ;;
    esac
done

echo "=== summary ==="
for s in "${summary[@]}"; do echo "$s"; done
echo "all suites: $total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
