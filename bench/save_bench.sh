#!/bin/bash
# A cut job of one long segment against a bare ffmpeg stream copy of the same span, on a
# generated FLV of at least 300 MB: wall time and bytes written (by the process and its
# children, from /proc/<pid>/io after they have been reaped).
#   bench/save_bench.sh [build folder]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target save_driver LumbaResFLV flvmdi -j2 >/dev/null
work=${SAVE_BENCH_DIR:-/tmp/lumba-save-bench}
mkdir -p "$work"
src=$work/long.flv
if [ ! -s "$src" ] || [ "$(stat -c %s "$src")" -lt 314572800 ]; then
    echo "making $src (about 330 MB, once)..."
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=300" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=300" \
        -c:v libx264 -preset ultrafast -g 50 -b:v 8500k -minrate 8500k -maxrate 8500k \
        -bufsize 4M -x264-params nal-hrd=cbr -pix_fmt yuv420p -c:a aac -b:a 128k -shortest "$src"
fi
size=$(stat -c %s "$src")
from=30.4
to=270.6
echo "source: $src, $((size / 1048576)) MB; segment $from s to $to s"

# Runs "$@" in a child shell and prints wall seconds, wchar and write_bytes of it and its
# reaped children.
measure() {
    bash -c '
        start=$(date +%s.%N)
        "$@" >"$BENCH_OUT" 2>/dev/null || echo "command failed: $*" >&2
        end=$(date +%s.%N)
        w=$(awk "/^wchar/ {print \$2}" /proc/$$/io)
        b=$(awk "/^write_bytes/ {print \$2}" /proc/$$/io)
        echo "$(echo "$end - $start" | bc) $w $b"
    ' measure "$@"
}
export BENCH_OUT=$work/command-output.txt

runs=${SAVE_BENCH_RUNS:-5}
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
jobs=() bares=() drivers=()
# The two are interleaved and each starts with nothing left to write back, so a busy disk
# or a flush in progress weighs on both alike.
for ((i = 0; i < runs; i++)); do
    rm -f "$work/job.flv" "$work/bare.flv"
    sync
    read -r jt jw jb < <(measure "$build/bin/save_driver" "$src" "$from" "$to" "$work/job.flv")
    drivers+=("$jt")
    # The job's own time, as the driver clocks it: from the menu command to the job's end,
    # without the driver's start-up (a person runs the job in a player that is already open).
    jobs+=("$(sed -n 's/^job: succeeded in \([0-9.]*\) s$/\1/p' "$BENCH_OUT")")
    cp "$BENCH_OUT" "$work/job-output.txt"
    sync
    read -r bt bw bb < <(measure ffmpeg -nostdin -v error -y -ss 30 -i "file:$src" -t 241 \
        -c copy "file:$work/bare.flv")
    bares+=("$bt")
done
job=$(printf '%s\n' "${jobs[@]}" | median)
bare=$(printf '%s\n' "${bares[@]}" | median)
driver=$(printf '%s\n' "${drivers[@]}" | median)
printf "%-32s %8s %14s %14s %12s\n" "median of $runs" "wall s" "wchar" "write_bytes" "output"
printf "%-32s %8.2f %14d %14d %12d\n" "cut job (save_driver, whole)" "$driver" "$jw" "$jb" \
    "$(stat -c %s "$work/job.flv")"
printf "%-32s %8.2f\n" "the job itself" "$job"
printf "%-32s %8.2f %14d %14d %12d\n" "ffmpeg -ss 30 -t 241 -c copy" "$bare" "$bw" "$bb" \
    "$(stat -c %s "$work/bare.flv")"
echo "job / ffmpeg: $(echo "scale=2; $job / $bare" | bc) (wall); bytes written / output:" \
    "$(echo "scale=3; $jb / $(stat -c %s "$work/job.flv")" | bc)"
echo "job commands (last run):"
sed -n '/job:/!s/^/  /p' "$work/job-output.txt"
rm -f "$BENCH_OUT" "$work/job-output.txt"
