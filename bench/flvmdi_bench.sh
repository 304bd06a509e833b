#!/usr/bin/env bash
# Compares flvmdi with cat, cp, flvmeta -U and yamdi on one generated H.264/AAC FLV of at least
# 300 MB (its onMetaData stripped), and times its tag-level cut, join and repair. Each command
# is followed by sync; warm cache; prints the
# median wall time of 5 runs (FLVMDI_BENCH_RUNS) and the peak memory of each.
#   bench/flvmdi_bench.sh [path/to/flvmdi] [work folder]
# Needs ffmpeg, flvmeta, yamdi and GNU time (scripts/deps.sh --bench installs them).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
flvmdi="${1:-$here/build/bin/flvmdi}"
work="${2:-${TMPDIR:-/tmp}/flvmdi-bench}"
runs=${FLVMDI_BENCH_RUNS:-5}
for tool in ffmpeg flvmeta yamdi /usr/bin/time "$flvmdi"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
mkdir -p "$work"
src="$work/big.flv"

if [ ! -s "$src" ]; then
    echo "Generating a test file of about 330 MB in $work ..."
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=30" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=30" \
        -c:v libx264 -preset ultrafast -b:v 8M -maxrate 8M -bufsize 8M -g 50 -pix_fmt yuv420p \
        -c:a aac -b:a 128k -shortest -f flv "$work/chunk.flv"
    # Eleven copies of the chunk, stream-copied into one file without metadata.
    ffmpeg -nostdin -loglevel error -y -stream_loop 10 -i "$work/chunk.flv" -c copy \
        -flvflags no_metadata -f flv "$src"
    rm -f "$work/chunk.flv"
fi
size=$(stat -c %s "$src")
echo "Input: $src, $((size / 1000000)) MB"

warm() { cat "$1" >/dev/null; sync; }
fresh() { rm -f "$work/in.flv" "$work/out.flv"; cp "$src" "$work/in.flv"; warm "$work/in.flv"; }

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

# measure NAME PREPARE COMMAND: runs PREPARE (untimed), then COMMAND && sync under GNU
# time, $runs times; prints the median wall time, the median processor time (user and
# system, which a busy machine disturbs less than wall time) and the largest peak memory.
measure() {
    local name="$1" prepare="$2" cmd="$3" times=() cpus=() mems=()
    for ((i = 0; i < runs; i++)); do
        eval "$prepare"
        local out e m u s
        out=$( { /usr/bin/time -f "%e %M %U %S" sh -c "$cmd >/dev/null 2>&1 && sync"; } 2>&1 | tail -1)
        read -r e m u s <<<"$out"
        times+=("$e")
        mems+=("$m")
        cpus+=("$(echo "$u + $s" | bc -l)")
    done
    local wall cpu peak
    wall=$(printf '%s\n' "${times[@]}" | median)
    cpu=$(printf '%s\n' "${cpus[@]}" | median)
    peak=$(printf '%s\n' "${mems[@]}" | sort -n | tail -1)
    printf '%-34s %8.2f s %8.2f s %10.1f MiB\n' "$name" "$wall" "$cpu" "$(echo "$peak / 1024" | bc -l)"
}

echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
printf '%-34s %10s %10s %14s\n' "command" "median" "cpu" "peak memory"
measure "cat > /dev/null (read once)" 'fresh' "cat '$work/in.flv' > /dev/null"
measure "cp" 'fresh' "cp '$work/in.flv' '$work/out.flv'"
measure "cp + rm of the old file" 'fresh' "cp '$work/in.flv' '$work/out.flv' && rm '$work/in.flv'"
measure "flvmeta -U (in place)" 'fresh' "flvmeta -U '$work/in.flv'"
measure "yamdi -i -o" 'fresh' "yamdi -i '$work/in.flv' -o '$work/out.flv'"
measure "flvmdi (full rewrite, stripped)" 'fresh' "'$flvmdi' '$work/in.flv'"
fresh
"$flvmdi" "$work/in.flv" >/dev/null
measure "flvmdi (second run, in place)" 'warm "$work/in.flv"' "'$flvmdi' '$work/in.flv'"
# Tag-level edits, each written once: the middle of the file, two halves joined, a repair.
measure "flvmdi --cut (30 s to 300 s)" 'rm -f "$work/out.flv"' \
    "'$flvmdi' --cut 30000 300000 '$work/in.flv' '$work/out.flv'"
"$flvmdi" --cut 0 165000 "$work/in.flv" "$work/a.flv" >/dev/null
"$flvmdi" --cut 165000 400000 "$work/in.flv" "$work/b.flv" >/dev/null
measure "flvmdi --join (two halves)" 'rm -f "$work/out.flv"' \
    "'$flvmdi' --join '$work/out.flv' '$work/a.flv' '$work/b.flv'"
measure "flvmdi --repair (intact file)" 'rm -f "$work/out.flv"' \
    "'$flvmdi' --repair '$work/in.flv' '$work/out.flv'"
rm -f "$work/a.flv" "$work/b.flv"

# The goals as ratios, each side timed in turns so that a disk that slows down or speeds up
# over the run weighs on both alike: the full rewrite against cp + rm + sync, the in-place
# run against reading the file once.
wall() { { /usr/bin/time -f "%e" sh -c "$1 >/dev/null 2>&1 && sync"; } 2>&1 | tail -1; }
pairs() {
    local name="$1" base="$2" ours="$3" ratios=() b o
    for ((i = 0; i < runs; i++)); do
        fresh
        b=$(wall "$base")
        fresh
        [ "$name" = "in place" ] && { "$flvmdi" "$work/in.flv" >/dev/null; warm "$work/in.flv"; }
        o=$(wall "$ours")
        ratios+=("$(echo "scale=3; $o / ($b + 0.0001)" | bc -l)")
    done
    printf '%-34s %8.2f x (median of %d pairs)\n' "$name" \
        "$(printf '%s\n' "${ratios[@]}" | median)" "$runs"
}
echo "ratios, the two sides in turns:"
pairs "full rewrite / cp + rm + sync" "cp '$work/in.flv' '$work/out.flv' && rm '$work/in.flv'" \
    "'$flvmdi' '$work/in.flv'"
pairs "in place" "cat '$work/in.flv'" "'$flvmdi' '$work/in.flv'"
rm -f "$work/in.flv" "$work/out.flv"
