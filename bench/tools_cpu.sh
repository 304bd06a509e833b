#!/usr/bin/env bash
# Processor time the program spends while a 5 s tool runs: the runner waits in the event loop
# (expected near zero) against a wait that polls without sleeping (about 5 s of one core).
# Usage: bench/tools_cpu.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target tools_cpu_driver -j2 >/dev/null
"$build/bin/tools_cpu_driver"
"$build/bin/tools_cpu_driver" --poll
