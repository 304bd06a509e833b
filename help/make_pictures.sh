#!/bin/sh
# Makes the pictures of the help documents: starts the built player under Xvfb on a clip made
# here, opens its windows and the areas of the list window the way a user does (keys and
# menus), and captures each window into a small PNG.
#
#   help/make_pictures.sh [BIN_DIR [OUT_DIR]]
#     BIN_DIR  the build's bin folder (default: build/bin of the source tree)
#     OUT_DIR  where the pictures go (default: help/pictures beside this script)
#
# Needs Xvfb, openbox, xdotool, imagemagick (import, convert) and ffmpeg. The player runs from
# a copy of its folder, so its settings never land in the build.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
out=${2:-$here/pictures}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in Xvfb openbox xdotool import convert ffmpeg; do
    command -v "$tool" >/dev/null || { echo "make_pictures: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The program folder: the three programs, no help files (a first run would open them).
mkdir -m 700 "$work/app" "$work/run" "$work/home"
cp "$bin/Lumba.FLV" "$bin/LumbaResFLV" "$bin/flvmdi" "$work/app/"

clips="$work/影片"
mkdir "$clips"
clip() {  # name seconds size
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=$3:rate=25:duration=$2" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$2" \
        -c:v libx264 -preset veryfast -g 50 -pix_fmt yuv420p -c:a aac -b:a 64k -shortest \
        -f flv "$clips/$1"
}
clip 旅行紀錄.flv 40 480x270
clip 生日派對.flv 20 480x270
clip 畢業典禮.flv 25 480x270

# Window places in twips (15 per pixel); play list one holds the clips, one with its marks.
sep=$(printf '\342\210\245')
printf 'MainRect=300,300,7800,6600\r\nListRect=8400,300\r\nKeepWH=True\r\nListDir=%s\r\n' \
    "$clips" >"$work/app/Lumba.FLV.ini"
{
    printf '0\r\n'
    printf '0%s清單編號%s3%s0\r\n' "$sep" "$sep" "$sep"
    printf '%s/旅行紀錄.flv\r\n' "$clips"
    printf '%s/生日派對.flv%s125-250 300-400\r\n' "$clips" "$sep"
    printf '%s/畢業典禮.flv\r\n' "$clips"
    printf '1%s清單編號%s0%s-1\r\n' "$sep" "$sep" "$sep"
} >"$work/app/List.ini"

# A display of our own.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
export DISPLAY=":$n"
i=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 50 ] || { echo "make_pictures: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
# The frames of a window manager, and a grey desktop behind.
HOME="$work/home" openbox >/dev/null 2>&1 &
pids="$pids $!"
sleep 1

export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
export LANG=C.UTF-8 LC_ALL=C.UTF-8
"$work/app/Lumba.FLV" "$clips/旅行紀錄.flv" >"$work/player.log" 2>&1 &
player=$!
pids="$pids $player"

window() {  # waits for a visible window whose title matches $1 and prints its id
    xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
focus() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.3
}
keys() {  # keys to the window $1
    focus "$1"
    shift
    xdotool key --delay 150 "$@"
    sleep 0.6
}
shot() {  # window id, picture name: the window with its frame, in few colours
    sleep 0.8
    frame=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WINDOW=//p')
    import -silent -frame -window "$frame" "$work/shot.png"
    convert "$work/shot.png" +dither -colors 128 -strip "PNG8:$out/$2"
    echo "$2: $(wc -c <"$out/$2") bytes"
}
menu() {  # window id, menu index in the menu bar, item index (separators not counted)
    focus "$1"
    # The titles of the player's menu bar are two characters each, 38 pixels apart.
    xdotool mousemove --window "$1" $((27 + 38 * $2)) 12 click 1
    sleep 1
    down=0
    while [ $down -le "$3" ]; do xdotool key Down; down=$((down + 1)); sleep 0.15; done
    xdotool key Return
    sleep 0.8
}
dismiss_notice() {  # the player's notice of a missing sound mixer, when there is one
    i=0
    while [ $i -lt 30 ]; do
        box=$(xdotool search --onlyvisible --name '^Lumba\.FLV$' 2>/dev/null | head -n 1 || true)
        if [ -n "$box" ]; then
            keys "$box" Return
            return
        fi
        i=$((i + 1))
        sleep 0.1
    done
}

main=$(window ' - Lumba\.FLV$')
[ -n "$main" ] || { echo "make_pictures: no player window" >&2; exit 1; }
dismiss_notice
sleep 1
# Two marked segments while it plays, then a pause on a picture.
keys "$main" bracketleft
sleep 2
keys "$main" bracketright
sleep 2
keys "$main" bracketleft
sleep 3
keys "$main" bracketright space
xdotool mousemove 1200 780
shot "$main" main.png

# Home: the captured picture in its own window.
keys "$main" Home
cap=$(window '擷取到的畫面$')
shot "$cap" capture.png
keys "$cap" alt+F4

# F1, F2, F3: the play list, the marks list, the file list.
keys "$main" F1
list=$(window '^Lumba\.FLV 清單$')
xdotool mousemove --window "$list" 60 140 click 1
sleep 0.3
xdotool mousemove 1200 780
shot "$list" list-playlist.png
keys "$list" F2
shot "$list" list-marks.png
keys "$list" F3
shot "$list" list-files.png

# The current file into the join list (清單 → 加入目前檔案到 → 合併清單), then each tool
# through the player's 工具 menu.
menu_open_sub() {
    focus "$main"
    xdotool mousemove --window "$main" $((27 + 38 * 5)) 12 click 1
    sleep 0.5
    xdotool key Down
    sleep 0.2
    xdotool key Right
    sleep 0.4
    xdotool key Down Down
    sleep 0.2
    xdotool key Return
    sleep 0.8
}
menu_open_sub
menu "$main" 4 0
shot "$list" list-join.png
menu "$main" 4 1
# The split page with a measured source, cut in four (places as the page lays them out).
focus "$list"
xdotool mousemove --window "$list" 150 112 click 1
xdotool type --delay 120 "$clips/旅行紀錄.flv"
sleep 0.5
xdotool mousemove --window "$list" 59 141 click 1
sleep 1.5
xdotool mousemove --window "$list" 139 168 click 1
xdotool type --delay 30 4
xdotool mousemove 1200 780
shot "$list" list-split.png
menu "$main" 4 2
# Eight pictures over the whole clip; the source measured on the split page stays.
focus "$list"
xdotool mousemove --window "$list" 21 170 click 1
xdotool mousemove --window "$list" 224 225 click 1
xdotool type --delay 30 8
xdotool mousemove 1200 780
shot "$list" list-snapshot.png
menu "$main" 4 3
shot "$list" list-fix.png
menu "$main" 4 4
shot "$list" list-flv-video.png
menu "$main" 4 5
shot "$list" list-flv-music.png

# Leave without a word and without saving settings.
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
