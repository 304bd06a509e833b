#!/bin/bash
# An exact cut (the pictures before the first keyframe and after the last one rebuilt, the
# rest copied) against what it cannot do without: a bare `ffmpeg -c copy` of the span plus
# ffmpeg rebuilding those pictures alone. The same commands as the save job runs, on a 60 s
# 1280x720 H.264/AAC FLV with libx264's defaults (B-frames, a keyframe every 250 frames at
# 25 fps), a 60 s flv1/MP3 FLV with ffmpeg's defaults, and the save bench's long file when it
# is there (bench/save_bench.sh makes it).
#   bench/exact_cut_bench.sh [build folder]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target flvmdi -j2 >/dev/null
flvmdi=$build/bin/flvmdi
work=${EXACT_BENCH_DIR:-/tmp/lumba-exact-bench}
mkdir -p "$work"

make_clip() {  # name, then the codec options
    local out=$work/$1
    shift
    [ -s "$out" ] && return
    echo "making $out..."
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=60" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=60" "$@" -shortest "$out"
}
make_clip h264.flv -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 128k
make_clip flv1.flv -c:v flv1 -c:a libmp3lame

now() { date +%s.%N; }
value() { sed -n "s/^$1=//p" "$work/plan.txt"; }

# Rebuilds frames pictures from from_ms (the job's rebuildCommand).
rebuild() {  # source, from_ms, frames, output
    local seek codec
    seek=$(echo "scale=3; ($2 - $(value frame_us) / 2000) / 1000" | bc)
    if [ "$(value codec)" = avc ]; then
        local profile=high
        case $(value profile) in 66) profile=baseline ;; 77) profile=main ;; esac
        local level=$(value level)
        codec=(-c:v libx264 -crf 16 -pix_fmt yuv420p -profile:v $profile
            -level:v "$((level / 10)).$((level % 10))"
            -x264-params "bframes=0:sps-id=$(value free_id):repeat-headers=1")
    else
        codec=(-c:v flv1 -q:v 2)
    fi
    ffmpeg -nostdin -v error -y -ss "$seek" -i "file:$1" -map 0:V:0 -an -frames:v "$3" \
        "${codec[@]}" -f flv "file:$4"
}

bench() {  # source, from s, to s
    local src=$1 from_ms to_ms
    from_ms=$(echo "$2 * 1000 / 1" | bc)
    to_ms=$(echo "$3 * 1000 / 1" | bc)
    rm -f "$work"/{head,tail,exact,bare}.flv
    sync
    local t0 t1 t2 t3 t4
    t0=$(now)
    "$flvmdi" --exact-plan "$from_ms" "$to_ms" "$src" >"$work/plan.txt"
    local head=$(value head_frames) tail=$(value tail_frames)
    local h=- t=-
    t1=$(now)
    if [ "$head" -gt 0 ]; then rebuild "$src" "$(value head_from_ms)" "$head" "$work/head.flv"; h=$work/head.flv; fi
    t2=$(now)
    if [ "$tail" -gt 0 ]; then rebuild "$src" "$(value tail_from_ms)" "$tail" "$work/tail.flv"; t=$work/tail.flv; fi
    t3=$(now)
    "$flvmdi" --splice "$from_ms" "$to_ms" "$src" "$h" "$t" "$work/exact.flv" >/dev/null
    t4=$(now)
    sync
    local b0 b1
    b0=$(now)
    ffmpeg -nostdin -v error -y -ss "$2" -i "file:$src" -t "$(echo "$3 - $2" | bc)" -c copy \
        "file:$work/bare.flv"
    b1=$(now)
    local exact=$(echo "$t4 - $t0" | bc) bare=$(echo "$b1 - $b0" | bc)
    local rebuilt=$(echo "$t3 - $t1" | bc)
    local frames=$(echo "($3 - $2) * 25 / 1" | bc)
    printf "%s %s-%s s: exact cut %.2f s (rebuilding %.2f s), bare copy %.2f s\n" \
        "$(basename "$src")" "$2" "$3" "$exact" "$rebuilt" "$bare"
    printf "  exact / (copy + 1.5 x rebuilding) = %.2f; rebuilt %d + %d of %d pictures (%.1f %%)\n" \
        "$(echo "scale=3; $exact / ($bare + 1.5 * $rebuilt)" | bc)" "$head" "$tail" "$frames" \
        "$(echo "scale=3; 100 * ($head + $tail) / $frames" | bc)"
    local errors
    errors=$(ffmpeg -nostdin -v error -i "file:$work/exact.flv" -f null - 2>&1 | head -3)
    echo "  decoding: ${errors:-no message}; length $(ffprobe -v error -show_entries \
        format=duration -of default=nw=1:nk=1 "file:$work/exact.flv") s"
}

bench "$work/h264.flv" 12.34 17.50
bench "$work/h264.flv" 3.20 47.68
bench "$work/flv1.flv" 12.34 17.50
long=${SAVE_BENCH_DIR:-/tmp/lumba-save-bench}/long.flv
if [ -s "$long" ]; then
    bench "$long" 30.4 270.6
    # The same segment as the save job itself runs it, from the menu command to the job's end.
    cmake --build "$build" --target save_driver LumbaResFLV -j2 >/dev/null
    rm -f "$work/job.flv"
    sync
    "$build/bin/save_driver" "$long" 30.4 270.6 "$work/job.flv" exact >"$work/job.txt" 2>&1 ||
        cat "$work/job.txt" >&2
    printf "  the save job with the exact cut: %s\n" "$(sed -n 's/^job: //p' "$work/job.txt")"
    rm -f "$work/job.flv" "$work/job.txt"
else
    echo "($long not made: run bench/save_bench.sh)"
fi
rm -f "$work"/{head,tail,exact,bare,plan}.*
