#!/usr/bin/env bash
# The player left running on a looping play list: eight short 320x240 clips (H.264/AAC FLV,
# H.263/MP3 FLV, H.264/AAC MP4, MPEG-2/MP2 .mpg, twice each) under a private X server, beside
# `mpv --loop-playlist=inf --vo=x11 --ao=null` on the same files at the same time.
#   bench/soak.sh [SECONDS] [BIN_DIR]     (default: 1800 s, build/bin)
#   CLIP_SECONDS=1.5 (length of each clip)
#   A11Y=1 (accessibility bus on, as a UI test harness runs the player: a private D-Bus
#   session with the accessibility bus, the list filled from List.ini, play started by a real
#   double click on the first item, and the player's accessible tree read every second;
#   A11Y_EVENTS=1 as well: the harness listens to all of the player's accessibility events)
# Prints the clip changes, the longest time the player window took to answer a window
# manager ping, and the resident memory of both programs (every minute and at the end).
set -euo pipefail
a11y="${A11Y:-0}"
if [ "$a11y" = 1 ] && [ -z "${SOAK_OWN_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "missing dbus-run-session" >&2; exit 2; }
    exec env SOAK_OWN_BUS=1 dbus-run-session -- "$0" "$@"
fi
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
if [ "$a11y" = 1 ]; then
    "$py" -c "import pyatspi" 2>/dev/null ||
        { echo "missing pyatspi (apt-get install python3-pyatspi at-spi2-core xdotool)" >&2; exit 2; }
    command -v xdotool >/dev/null || { echo "missing xdotool" >&2; exit 2; }
fi

work="$(mktemp -d)"
cleanup() {
    for p in "${apid:-}" "${ppid_:-}" "${mpid:-}" "${xpid:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
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

if [ "$a11y" = 1 ]; then
    # The eight files in play list one, shown at start-up; the harness double clicks the first.
    printf 'StartList=True\r\n' >>"$work/prog/Lumba.FLV.ini"
    {
        printf '0\r\n0\xe2\x88\xa5\xe6\xb8\x85\xe5\x96\xae\xe7\xb7\xa8\xe8\x99\x9f\xe2\x88\xa5%d\xe2\x88\xa5-1\r\n' "${#files[@]}"
        printf '%s\r\n' "${files[@]}"
        printf '1\xe2\x88\xa5\xe6\xb8\x85\xe5\x96\xae\xe7\xb7\xa8\xe8\x99\x9f\xe2\x88\xa50\xe2\x88\xa5-1\r\n'
    } >"$work/prog/List.ini"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
    "$work/prog/Lumba.FLV" >"$work/player.log" 2>&1 &
    ppid_=$!
    "$py" "$here/bench/soak_a11y.py" "$seconds" "$ppid_" &
    apid=$!
else
    # Several files on the command line go to the play list and the first plays from it.
    "$work/prog/Lumba.FLV" "${files[@]}" >"$work/player.log" 2>&1 &
    ppid_=$!
fi
mpv --no-config --loop-playlist=inf --vo=x11 --ao=null --really-quiet "${files[@]}" \
    >"$work/mpv.log" 2>&1 &
mpid=$!
echo "soak: ${seconds} s, eight ${clip_seconds} s clips, player pid $ppid_, mpv pid $mpid"
"$py" "$here/bench/soak_watch.py" "$seconds" "$ppid_" "$mpid"
if [ -n "${apid:-}" ]; then wait "$apid" || true; fi
