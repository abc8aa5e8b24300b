#!/usr/bin/env bash
# Builds Melvora and runs its main job, from a fresh Debian 12 machine (as root).
# Until the window program exists this analyses the shipped sample with melvora-analyze;
# any arguments are passed on to it (for example: scripts/run.sh --summary my.wav).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$(nproc)"
analyzer=build/native/tools/analyze/melvora-analyze
if [ ! -x "$analyzer" ]; then
    echo "melvora-analyze is not built yet; the core library and tests are."
    exit 0
fi
if [ $# -eq 0 ]; then
    set -- --summary data/sample.wav
fi
exec "$analyzer" "$@"
