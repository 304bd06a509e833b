#!/bin/bash
# The snapshot, split and cut tools against bare ffmpeg, on the same 300 s 1280x720 content
# as FLV and MP4 (H.264/AAC, about 330 MB) and as MPEG (MPEG-2/MP2, open groups of pictures):
#   twenty snapshots spread over the file   vs twenty "ffmpeg -ss T -i SRC -frames:v 1" grabs
#   a split into three equal parts          vs three "ffmpeg -ss S -i SRC -t L -c copy" cuts
#   three segments cut and joined           vs those three cuts and "ffmpeg -f concat" of them
# of the same times and spans. Goal: every ratio at most 1.00. The two sides run in turns,
# three times each (TOOLS_BENCH_RUNS), the file in the page cache for both, and each side's
# fastest run counts: a shared machine only ever adds time. Two ratios: wall time, and processor
# time (user + system of every process of that side), which a shared machine disturbs less.
#   bench/tools_bench.sh [build folder] [source...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target tools_driver LumbaResFLV flvmdi -j2 >/dev/null
work=${TOOLS_BENCH_DIR:-/tmp/lumba-tools-bench}
mkdir -p "$work"
pictures=${TOOLS_BENCH_PICTURES:-20}
runs=${TOOLS_BENCH_RUNS:-3}

make_sources() {
    local mp4=$work/long.mp4
    if [ ! -s "$mp4" ]; then
        echo "making $mp4 (about 330 MB, once)..."
        ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=300" \
            -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=300" \
            -c:v libx264 -preset ultrafast -g 50 -b:v 8500k -minrate 8500k -maxrate 8500k \
            -bufsize 4M -x264-params nal-hrd=cbr -pix_fmt yuv420p -c:a aac -b:a 128k -shortest \
            "$mp4"
    fi
    [ -s "$work/long.flv" ] || ffmpeg -nostdin -v error -y -i "$mp4" -c copy "$work/long.flv"
    if [ ! -s "$work/long.mpg" ]; then
        echo "making $work/long.mpg (once)..."
        ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=300" \
            -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=300" \
            -c:v mpeg2video -b:v 8500k -maxrate 9000k -bufsize 1835k -g 12 -bf 2 \
            -c:a mp2 -b:a 192k -shortest -f mpeg "$work/long.mpg"
    fi
}

shift || true
if [ $# -gt 0 ]; then
    sources=("$@")
else
    make_sources
    sources=("$work/long.flv" "$work/long.mp4" "$work/long.mpg")
fi
driver=$build/bin/tools_driver

# Runs a command with its output into log, prints "wall cpu" in seconds (cpu: user + system
# of it and its children).
measure() {  # log command...
    local f log=$1
    shift
    f=$(mktemp)
    /usr/bin/time -f "%e %U %S" -o "$f" "$@" >"$log" 2>&1 || { cat "$log" >&2; rm -f "$f"; return 1; }
    awk '{printf "%.3f %.3f\n", $1, $2 + $3}' "$f"
    rm -f "$f"
}
# The least wall time and the least processor time of some "wall cpu" pairs.
best() { printf "%s\n" "$@" | sort -n -k1,1 | head -1 | cut -d' ' -f1; }
bestcpu() { printf "%s\n" "$@" | sort -n -k2,2 | head -1 | cut -d' ' -f2; }
ratio() { echo "scale=2; $1 / $2" | bc; }

# The job side is timed inside the driver, from the job's start to its report, as a user
# waits for it in the running program: the driver's own start (Qt, an offscreen screen) is
# not part of the job, as a shell's start is not part of the bare side. The whole driver run
# is printed below each line.
job() {  # kind count: the driver's lines (times, spans, commands) in $work/$kind.log
    rm -rf "${work:?}/$1" && mkdir -p "$work/$1"
    local run
    run=$(measure "$work/$1.log" "$driver" "$1" "$src" "$length" "$work/$1" "$2") || return 1
    echo "$run" >"$work/$1.run"
    awk '/^job: succeeded in/ {printf "%.3f %.3f\n", $4, $7}' "$work/$1.log"
}

bare_snapshots() {
    rm -rf "$work/bare-snap" && mkdir -p "$work/bare-snap"
    local i=0
    for t in $(awk '/^time / {print $2}' "$work/snapshot.log"); do
        i=$((i + 1))
        ffmpeg -nostdin -v error -y -ss "$t" -i "file:$src" -frames:v 1 \
            "file:$work/bare-snap/$i.jpg"
    done
}

# BARE_DROP, when set, is a video filter given to every cut that does not start the file: the
# job's own, which drops the pictures shown before an MPEG cut's first keyframe.
bare_cuts() {  # log folder [join]
    rm -rf "${work:?}/$2" && mkdir -p "$work/$2"
    local i=0 drop
    : >"$work/$2/list.txt"
    while read -r _ from to; do
        i=$((i + 1))
        drop=()
        [ -n "${BARE_DROP:-}" ] && [ "$from" != 0.000 ] && drop=(-bsf:v "$BARE_DROP")
        ffmpeg -nostdin -v error -y -ss "$from" -i "file:$src" -t "$(echo "$to - $from" | bc)" \
            -c copy "${drop[@]}" "file:$work/$2/$i.$ext" || return 1
        echo "file '$work/$2/$i.$ext'" >>"$work/$2/list.txt"
    done < <(grep '^span ' "$work/$1.log")
    if [ "${3:-}" = join ]; then
        ffmpeg -nostdin -v error -y -f concat -safe 0 -i "$work/$2/list.txt" -c copy \
            "file:$work/$2/joined.$ext"
        # The same result as the job's: one file, the cuts it was joined from gone.
        for ((k = 1; k <= i; k++)); do rm -f "$work/$2/$k.$ext"; done
    fi
}
export -f bare_snapshots bare_cuts
export work

# compare KIND COUNT LABEL: the job and its bare side in turns; prints their times and ratios.
compare() {
    local kind=$1 count=$2 label=$3 bare js=() bs=() r jw bw jc bcpu dw dc
    case $kind in
        snapshot) bare=(bash -c bare_snapshots) ;;
        split) bare=(bash -c "bare_cuts split bare-split") ;;
        cut) bare=(bash -c "bare_cuts cut bare-cut join") ;;
    esac
    js+=("$(job "$kind" "$count")") || { echo "  $kind: the job failed" >&2; return; }
    bs+=("$(measure /dev/null "${bare[@]}")")
    for ((r = 1; r < runs; r++)); do
        js+=("$(job "$kind" "$count")")
        bs+=("$(measure /dev/null "${bare[@]}")")
    done
    jw=$(best "${js[@]}") bw=$(best "${bs[@]}")
    jc=$(bestcpu "${js[@]}") bcpu=$(bestcpu "${bs[@]}")
    printf "  %-32s %7.2f %7.2f %6s %7.2f %7.2f %6s\n" "$label" "$jw" "$bw" \
        "$(ratio "$jw" "$bw")" "$jc" "$bcpu" "$(ratio "$jc" "$bcpu")"
    read -r dw dc <"$work/$kind.run"
    printf "    the last driver run, start included: %.2f s wall, %.2f s cpu\n" "$dw" "$dc"
}

printf "%-34s %7s %7s %6s %7s %7s %6s\n" "" "job s" "bare s" "wall" "job cpu" "bare" "cpu"
for src in "${sources[@]}"; do
    src=$(realpath "$src")
    ext=${src##*.}
    export src ext
    length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$src")
    echo "$(basename "$src"): $(($(stat -c %s "$src") / 1048576)) MB, $length s"
    cat "$src" >/dev/null  # both sides read it from the page cache
    compare snapshot "$pictures" "$pictures snapshots (JPG)"
    compare split 3 "split into 3 equal parts"
    compare cut 3 "cut of 3 segments, joined"
    # The bare MPEG cuts keep the pictures before their first keyframe, which show as garbage
    # wherever such a cut follows another: the same bare commands with the job's filter make
    # the same clean result.
    drop=$(grep -o 'noise=drop=[^ ]*' "$work/cut.log" | head -1 || true)
    if [ -n "$drop" ]; then
        export BARE_DROP=$drop
        echo "  the bare cuts with the job's filter, \"$drop\":"
        compare split 3 "split into 3 equal parts"
        compare cut 3 "cut of 3 segments, joined"
        unset BARE_DROP
    fi
done
echo "goal: every ratio at most 1.00; load now: $(cut -d' ' -f1-3 /proc/loadavg)"
