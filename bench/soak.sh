#!/usr/bin/env bash
# The player left running on a looping play list: eight short 320x240 clips (H.264/AAC FLV,
# H.263/MP3 FLV, H.264/AAC MP4, MPEG-2/MP2 .mpg, twice each) under a private X server, beside
# `mpv --loop-playlist=inf --vo=x11 --ao=null` on the same files at the same time.
#   bench/soak.sh [SECONDS] [BIN_DIR]     (default: 1800 s, build/bin)
#   CLIP_SECONDS=1.5 (length of each clip)
# Prints the clip changes, the longest time the player window took to answer a window
# manager ping, and the resident memory of both programs (every minute and at the end).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-1800}"
bin="${2:-$here/build/bin}"
clip_seconds="${CLIP_SECONDS:-1.5}"
[ -x "$bin/Lumba.FLV" ] || { echo "no $bin/Lumba.FLV: build it first" >&2; exit 2; }
py=/usr/bin/python3  # the system one, where python3-xlib lives
for tool in Xvfb mpv ffmpeg; do
    command -v "$tool" >/dev/null || { echo "missing $tool: scripts/deps.sh --bench" >&2; exit 2; }
done
"$py" -c "import Xlib" 2>/dev/null || { echo "missing python3-xlib (apt-get install python3-xlib)" >&2; exit 2; }

work="$(mktemp -d)"
cleanup() {
    for p in "${ppid_:-}" "${mpid:-}" "${xpid:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

make_clip() {  # name, codec arguments...
    local name="$1"
    shift
    ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=size=320x240:rate=25:duration=$clip_seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$clip_seconds" -shortest "$@" \
        "$work/clips/$name"
}
mkdir -p "$work/clips" "$work/prog"
for n in 1 2; do
    make_clip "$n-h264.flv" -c:v libx264 -pix_fmt yuv420p -c:a aac
    make_clip "$n-h263.flv" -c:v flv -c:a libmp3lame
    make_clip "$n-h264.mp4" -c:v libx264 -pix_fmt yuv420p -c:a aac
    make_clip "$n-mpeg2.mpg" -c:v mpeg2video -c:a mp2
done
files=()
for n in 1 2; do
    files+=("$work/clips/$n-h264.flv" "$work/clips/$n-h263.flv" "$work/clips/$n-h264.mp4"
        "$work/clips/$n-mpeg2.mpg")
done

# A copy of the program keeps its settings and lists beside it; the list loops (循環播放清單).
cp "$bin/Lumba.FLV" "$work/prog/"
printf 'PlaySetting=2\r\n' >"$work/prog/Lumba.FLV.ini"

# shellcheck source=bench/private_display.sh
. "$here/bench/private_display.sh"

# Several files on the command line go to the play list and the first plays from it.
"$work/prog/Lumba.FLV" "${files[@]}" >"$work/player.log" 2>&1 &
ppid_=$!
mpv --no-config --loop-playlist=inf --vo=x11 --ao=null --really-quiet "${files[@]}" \
    >"$work/mpv.log" 2>&1 &
mpid=$!
echo "soak: ${seconds} s, eight ${clip_seconds} s clips, player pid $ppid_, mpv pid $mpid"
"$py" "$here/bench/soak_watch.py" "$seconds" "$ppid_" "$mpid"
