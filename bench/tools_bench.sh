#!/bin/bash
# The snapshot and split tools against bare ffmpeg on a file of at least 300 MB:
#   ten snapshots spread over the file      vs ten "ffmpeg -ss T -i SRC -frames:v 1" grabs
#   a split into three equal parts          vs three "ffmpeg -ss S -i SRC -t L -c copy" cuts
# of the same times and spans. Goals: at most 2x and at most 1.5x. Each side runs twice
# (the file in the page cache for both) and the faster run counts.
#   bench/tools_bench.sh [build folder] [source of at least 300 MB]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target tools_driver LumbaResFLV flvmdi -j2 >/dev/null
work=${TOOLS_BENCH_DIR:-/tmp/lumba-tools-bench}
mkdir -p "$work"
src=${2:-$work/long.flv}
if [ ! -s "$src" ] || [ "$(stat -c %s "$src")" -lt 314572800 ]; then
    [ -n "${2:-}" ] && { echo "$src: smaller than 300 MB" >&2; exit 2; }
    echo "making $src (about 330 MB, once)..."
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=300" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=300" \
        -c:v libx264 -preset ultrafast -g 50 -b:v 8500k -minrate 8500k -maxrate 8500k \
        -bufsize 4M -x264-params nal-hrd=cbr -pix_fmt yuv420p -c:a aac -b:a 128k -shortest "$src"
fi
src=$(realpath "$src")
ext=${src##*.}
length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$src")
echo "source: $src, $(($(stat -c %s "$src") / 1048576)) MB, $length s"
cat "$src" >/dev/null  # both sides read it from the page cache

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
faster() { echo "if ($1 < $2) $1 else $2" | bc; }
driver=$build/bin/tools_driver

# The job: the driver process, Qt start-up and the tools' deployment included.
run_job() {  # kind folder count -> seconds; the driver's lines in $work/$kind.log
    rm -rf "$2" && mkdir -p "$2"
    local t0 t1
    t0=$(now)
    "$driver" "$1" "$src" "$length" "$2" "$3" >"$work/$1.log" 2>&1 ||
        { cat "$work/$1.log" >&2; exit 1; }
    t1=$(now)
    elapsed "$t0" "$t1"
}

bare_snapshots() {
    rm -rf "$work/bare-snap" && mkdir -p "$work/bare-snap"
    local t0 t1 i=0
    t0=$(now)
    for t in $(awk '/^time / {print $2}' "$work/snapshot.log"); do
        i=$((i + 1))
        ffmpeg -nostdin -v error -y -ss "$t" -i "file:$src" -frames:v 1 \
            "file:$work/bare-snap/$i.jpg"
    done
    t1=$(now)
    elapsed "$t0" "$t1"
}

bare_cuts() {
    rm -rf "$work/bare-split" && mkdir -p "$work/bare-split"
    local t0 t1 i=0
    t0=$(now)
    while read -r _ from to; do
        i=$((i + 1))
        ffmpeg -nostdin -v error -y -ss "$from" -i "file:$src" -t "$(echo "$to - $from" | bc)" \
            -c copy "file:$work/bare-split/$i.$ext"
    done < <(grep '^span ' "$work/split.log")
    t1=$(now)
    elapsed "$t0" "$t1"
}

js=$(run_job snapshot "$work/snap" 10)
bs=$(bare_snapshots)
js=$(faster "$js" "$(run_job snapshot "$work/snap" 10)")
bs=$(faster "$bs" "$(bare_snapshots)")
jc=$(run_job split "$work/split" 3)
bc_=$(bare_cuts)
jc=$(faster "$jc" "$(run_job split "$work/split" 3)")
bc_=$(faster "$bc_" "$(bare_cuts)")

ratio() { echo "scale=2; $1 / $2" | bc; }
printf "%-40s %8s %8s %7s %6s\n" "" "job s" "bare s" "ratio" "goal"
printf "%-40s %8.2f %8.2f %7s %6s\n" "10 snapshots (JPG)" "$js" "$bs" "$(ratio "$js" "$bs")" "2.00"
printf "%-40s %8.2f %8.2f %7s %6s\n" "split into 3 equal parts" "$jc" "$bc_" "$(ratio "$jc" "$bc_")" \
    "1.50"
echo "pictures: $(ls "$work/snap" | wc -l) from the job, $(ls "$work/bare-snap" | wc -l) bare"
echo "pieces:   $(ls "$work/split" | tr '\n' ' ')"
echo "job inside the driver (without its start-up):"
grep -h '^job:' "$work/snapshot.log" "$work/split.log" | sed 's/^/  /'
echo "split commands:"
grep -v '^span \|^job:' "$work/split.log" | sed 's/^/  /'
