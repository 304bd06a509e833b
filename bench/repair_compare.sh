#!/bin/bash
# Repairs of damaged FLV files compared: flvmdi --repair, a stream copy through ffmpeg followed
# by flvmdi, and flvmeta -U --fix, on copies of one 30 s H.264/AAC clip (a keyframe each
# second, as the repair tests make it) with each kind of damage old files show. For each
# result: video pictures decoded, duration, decoding errors ("-": nothing was written; "?":
# ffprobe could not count the pictures, as when it crashes on the file).
#   bench/repair_compare.sh [build folder]   (default: build)
# Needs ffmpeg, ffprobe and flvmeta (scripts/deps.sh --bench installs them).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target flv_damage flvmdi -j2 >/dev/null || exit 1
flvmdi=$build/bin/flvmdi
for tool in ffmpeg ffprobe flvmeta; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d /tmp/lumba-repair-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=320x240:rate=25:duration=30" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=30" -c:v libx264 \
    -preset ultrafast -g 25 -keyint_min 25 -sc_threshold 0 -pix_fmt yuv420p -c:a aac -ac 2 \
    -b:a 64k -shortest "$work/intact.flv"
mkdir "$work/damaged"
"$build/bin/flv_damage" "$work/intact.flv" "$work/damaged" >/dev/null || exit 1

# frames, duration and decoding errors of a file, or "-" when there is none.
describe() {
    if [ ! -s "$1" ]; then
        printf '%-22s' "-"
        return
    fi
    local frames duration errors
    frames=$(ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries stream=nb_read_frames -of csv=p=0 "$1" 2>/dev/null)
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1" 2>/dev/null)
    errors=$(ffmpeg -nostdin -v error -i "$1" -f null - 2>&1 | wc -l)
    printf '%-22s' "${frames:-?}, $(printf '%.2f' "${duration:-0}") s, $errors err"
}

printf '%-26s %-22s %-22s %-22s\n' "damage" "flvmdi --repair" "ffmpeg -c copy+flvmdi" \
    "flvmeta -U --fix"
printf '%-26s ' "(intact)"
describe "$work/intact.flv"
echo
for damaged in "$work"/damaged/*.flv; do
    name=$(basename "$damaged" .flv)
    ours=$work/$name.ours.flv ff=$work/$name.ffmpeg.flv fm=$work/$name.flvmeta.flv
    "$flvmdi" --repair "$damaged" "$ours" >/dev/null 2>&1 || rm -f "$ours"
    { ffmpeg -nostdin -v error -y -i "$damaged" -c copy "$ff" && "$flvmdi" "$ff"; } \
        >/dev/null 2>&1 || rm -f "$ff"
    flvmeta -U --fix "$damaged" "$fm" >/dev/null 2>&1 || rm -f "$fm"
    printf '%-26s ' "$name"
    describe "$ours"
    printf ' '
    describe "$ff"
    printf ' '
    describe "$fm"
    echo
done
