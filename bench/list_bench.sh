#!/usr/bin/env bash
# The list window on a play list of 10 000 items (or the count given): load from List.ini,
# sort, shuffle, reverse, redraw, save, and import an .m3u of as many files, each timed; then
# the same with accessibility on (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, the window shown on a
# private X server with its own session and accessibility bus), as a screen reader has it.
# Goal for the import: under 0.5 s either way.
# Usage: bench/list_bench.sh [build folder] [items]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
items="${2:-10000}"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target list_driver -j2 >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
driver="$(realpath "$build/bin/list_driver")"

echo "== accessibility off (offscreen)"
mkdir -p "$work/off" "$work/on"
"$driver" "$work/off" "$items"

echo "== accessibility on (Xvfb, QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)"
for tool in xvfb-run dbus-run-session dbus-send; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing (scripts/deps.sh --bench)"
        exit 0
    fi
done
# Qt joins the accessibility bus only when it is already running: start it first.
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a dbus-run-session -- sh -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null && exec "$0" "$1" "$2"' "$driver" "$work/on" "$items" 2>/dev/null
