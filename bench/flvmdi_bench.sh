#!/usr/bin/env bash
# Compares flvmdi with cat, cp, flvmeta -U and yamdi on two generated FLV files, their
# onMetaData stripped: one of large tags (H.264/AAC at 8 Mbit/s, at least 300 MB) and one of
# many small ones (a low-bitrate 640x360 H.264/AAC clip repeated to about 1.3 million tags,
# where the work per tag counts, not the bytes). Times the tag-level cut, join and repair too.
# Each command is followed by sync; warm cache; prints the median wall time of 5 runs
# (FLVMDI_BENCH_RUNS) and the peak memory of each, then the goals as ratios.
#   bench/flvmdi_bench.sh [path/to/flvmdi] [work folder]
# Needs ffmpeg and GNU time; flvmeta and yamdi are measured where installed (scripts/deps.sh
# --bench installs them).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
flvmdi="${1:-$here/build/bin/flvmdi}"
work="${2:-${TMPDIR:-/tmp}/flvmdi-bench}"
runs=${FLVMDI_BENCH_RUNS:-5}
for tool in ffmpeg bc /usr/bin/time "$flvmdi"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
mkdir -p "$work"

# generate FILE SIZE RATE VIDEO_BITRATE AUDIO_BITRATE COPIES: a 30 s chunk, repeated by stream copy
# into one file without metadata.
generate() {
    local out="$1" size="$2" rate="$3" vb="$4" ab="$5" copies="$6"
    [ -s "$out" ] && return
    echo "Generating $out ..."
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=$size:rate=$rate:duration=30" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=30" \
        -c:v libx264 -preset ultrafast -b:v "$vb" -maxrate "$vb" -bufsize "$vb" -g $((rate * 2)) \
        -pix_fmt yuv420p -c:a aac -b:a "$ab" -shortest -f flv "$work/chunk.flv"
    ffmpeg -nostdin -loglevel error -y -stream_loop $((copies - 1)) -i "$work/chunk.flv" -c copy \
        -flvflags no_metadata -f flv "$out"
    rm -f "$work/chunk.flv"
}
generate "$work/big.flv" 1280x720 25 8M 128k 11
generate "$work/small.flv" 640x360 30 60k 32k 600

src=""
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

# The goals as ratios, each side timed in turns so that a disk that slows down or speeds up
# over the run weighs on both alike: the full rewrite against cp + rm + sync (at most 1.2 x),
# the in-place run against reading the file once (at most 2 x). The tag-level rewrite (a
# repair of the intact file) against cp is shown beside them.
# Microseconds, not GNU time's hundredths: reading the small file takes a few hundredths.
wall() {
    local t0=${EPOCHREALTIME/,/.} t1
    sh -c "$1 >/dev/null 2>&1 && sync"
    t1=${EPOCHREALTIME/,/.}
    echo "$t1 - $t0" | bc -l
}
# GOAL: the ratio's goal, or empty for a ratio shown only to compare.
pairs() {
    local name="$1" base="$2" ours="$3" goal="${4:-}" ratios=() b o
    for ((i = 0; i < runs; i++)); do
        fresh
        b=$(wall "$base")
        fresh
        o=$(wall "$ours")
        ratios+=("$(echo "scale=3; $o / ($b + 0.0001)" | bc -l)")
    done
    printf '%-34s %8.2f x (median of %d pairs)%s\n' "$name" \
        "$(printf '%s\n' "${ratios[@]}" | median)" "$runs" "${goal:+, goal $goal x}"
}
# The in-place run against reading the file: both only read the same cached file, so the
# pairs run on one copy whose metadata is current. Each side takes a few hundredths of a
# second, which the machine's noise disturbs most: three times as many pairs.
inPlacePairs() {
    local ratios=() b o
    fresh
    "$flvmdi" "$work/in.flv" >/dev/null
    warm "$work/in.flv"
    for ((i = 0; i < runs * 3; i++)); do
        b=$(wall "cat '$work/in.flv'")
        o=$(wall "'$flvmdi' '$work/in.flv'")
        ratios+=("$(echo "scale=3; $o / ($b + 0.0001)" | bc -l)")
    done
    printf '%-34s %8.2f x (median of %d pairs), goal 2.00 x\n' "in place / cat" \
        "$(printf '%s\n' "${ratios[@]}" | sort -n | sed -n "$(((runs * 3 + 1) / 2))p")" $((runs * 3))
}

# bench FILE HALF_MS: the table and the ratios for one input, which lasts 2 * HALF_MS.
bench() {
    src="$1"
    local half="$2" size
    size=$(stat -c %s "$src")
    echo
    echo "Input: $src, $((size / 1000000)) MB"
    echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
    printf '%-34s %10s %10s %14s\n' "command" "median" "cpu" "peak memory"
    measure "cat > /dev/null (read once)" 'fresh' "cat '$work/in.flv' > /dev/null"
    measure "cp" 'fresh' "cp '$work/in.flv' '$work/out.flv'"
    measure "cp + rm of the old file" 'fresh' "cp '$work/in.flv' '$work/out.flv' && rm '$work/in.flv'"
    if command -v flvmeta >/dev/null; then
        measure "flvmeta -U (in place)" 'fresh' "flvmeta -U '$work/in.flv'"
    fi
    if command -v yamdi >/dev/null; then
        measure "yamdi -i -o" 'fresh' "yamdi -i '$work/in.flv' -o '$work/out.flv'"
    fi
    measure "flvmdi (full rewrite, stripped)" 'fresh' "'$flvmdi' '$work/in.flv'"
    fresh
    "$flvmdi" "$work/in.flv" >/dev/null
    measure "flvmdi (second run, in place)" 'warm "$work/in.flv"' "'$flvmdi' '$work/in.flv'"
    # Tag-level edits, each written once: the middle of the file, two halves joined, a repair.
    measure "flvmdi --cut (30 s to 300 s)" 'rm -f "$work/out.flv"' \
        "'$flvmdi' --cut 30000 300000 '$work/in.flv' '$work/out.flv'"
    "$flvmdi" --cut 0 "$half" "$work/in.flv" "$work/a.flv" >/dev/null
    "$flvmdi" --cut "$half" $((half * 3)) "$work/in.flv" "$work/b.flv" >/dev/null
    measure "flvmdi --join (two halves)" 'rm -f "$work/out.flv"' \
        "'$flvmdi' --join '$work/out.flv' '$work/a.flv' '$work/b.flv'"
    measure "flvmdi --repair (intact file)" 'rm -f "$work/out.flv"' \
        "'$flvmdi' --repair '$work/in.flv' '$work/out.flv'"
    rm -f "$work/a.flv" "$work/b.flv"
    echo "ratios, the two sides in turns:"
    pairs "full rewrite / cp + rm + sync" "cp '$work/in.flv' '$work/out.flv' && rm '$work/in.flv'" \
        "'$flvmdi' '$work/in.flv'" 1.20
    # A repair reads every tag before it copies: shown to compare, with no goal of its own.
    pairs "repair / cp" "cp '$work/in.flv' '$work/out.flv'" \
        "'$flvmdi' --repair '$work/in.flv' '$work/out.flv'"
    inPlacePairs
    rm -f "$work/in.flv" "$work/out.flv"
}

bench "$work/big.flv" 165000
bench "$work/small.flv" 9000000
