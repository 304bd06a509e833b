#!/usr/bin/env bash
# Processor use of the player against a bare mpv, both playing the same 640x360 30 fps clip
# for 20 s in a 640x360 video area under a private X server (Xvfb).
#   bench/player_cpu.sh [BIN_DIR]     (default: build/bin)
# Prints the share of one core each used over the 20 s.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bin="${1:-$here/build/bin}"
seconds=20
player="$bin/Lumba.FLV"
[ -x "$player" ] || player="$bin/player_demo"
[ -x "$player" ] || { echo "no player program in $bin (build Lumba.FLV or player_demo)" >&2; exit 2; }
for tool in Xvfb mpv ffmpeg xdotool; do
    command -v "$tool" >/dev/null || { echo "missing $tool: scripts/deps.sh --bench" >&2; exit 2; }
done

work="$(mktemp -d)"
cleanup() {
    [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

clip="$work/bench640.flv"
ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=640x360:rate=30:duration=$((seconds + 5)) \
    -f lavfi -i sine=frequency=330:sample_rate=44100:duration=$((seconds + 5)) \
    -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p -c:a aac -b:a 96k -shortest -f flv "$clip"

# shellcheck source=bench/private_display.sh
. "$here/bench/private_display.sh"

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# Runs "$@" in the background, waits for its window, sizes it, then measures $seconds s.
measure() {
    local name="$1" w="$2" h="$3"
    shift 3
    "$@" >"$work/$name.log" 2>&1 &
    local pid=$! win=""
    for _ in $(seq 50); do
        win=$(xdotool search --pid "$pid" --onlyvisible 2>/dev/null | head -1 || true)
        [ -n "$win" ] && break
        sleep 0.2
    done
    [ -n "$win" ] || { echo "$name: no window" >&2; kill "$pid"; return 1; }
    sleep 0.5
    # A first run on a machine without a mixer says so once: answer it.
    xdotool key --window "$win" Return 2>/dev/null || true
    win=$(xdotool search --pid "$pid" --onlyvisible 2>/dev/null | tail -1)
    xdotool windowsize "$win" "$w" "$h" 2>/dev/null || true
    sleep 1
    local t0 t1
    t0=$(ticks "$pid")
    sleep "$seconds"
    t1=$(ticks "$pid")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$seconds" -v n="$name" \
        'BEGIN { printf "%-10s %5.1f %% of one core\n", n, 100 * (b - a) / hz / s }'
}

# The player's video area is its window minus the 1-pixel frame, the menu bar and the panel.
menu=22
panel=78
lumba=$(measure "Lumba.FLV" 642 $((362 + panel + menu)) "$player" "$clip")
mpvres=$(measure "mpv" 640 360 mpv --no-config --vo=x11 --ao=null --hwdec=no \
    --geometry=640x360 --loop-file=inf "$clip")
echo "player: $player"
echo "$lumba"
echo "$mpvres"
awk -v a="$(echo "$lumba" | awk '{print $2}')" -v b="$(echo "$mpvres" | awk '{print $2}')" \
    'BEGIN { if (b > 0) printf "ratio      %5.2f (limit 1.50)\n", a / b }'
