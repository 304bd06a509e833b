#!/usr/bin/env bash
# The list window on a play list of 10 000 items (or the count given): load from List.ini,
# sort, shuffle, reverse, redraw and save, each timed.
# Usage: bench/list_bench.sh [build folder] [items]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
items="${2:-10000}"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target list_driver -j2 >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/list_driver" "$work" "$items"
