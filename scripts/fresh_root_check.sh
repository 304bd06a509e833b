#!/usr/bin/env bash
# Installs the built Debian package into a fresh Debian 12 root, plays a clip with it under
# Xvfb as an ordinary user, purges it, and checks that nothing of it is left behind but the
# user's own settings. Not part of the tests: it needs root, a Debian mirror and about 2 GB.
#
#     sudo scripts/fresh_root_check.sh [--keep-root] [--no-host-cache] [--no-recommends]
#                                      [lumba-flv_*.deb]
#
# Without a package it takes build-package/lumba-flv_*.deb, running ./package.sh first when
# there is none. The root is made with mmdebstrap from the Debian entries of this machine's
# apt sources. Debian packages already in this machine's apt cache are linked into the root
# so that they need not be downloaded again (apt checks them against the index all the
# same); --no-host-cache downloads everything. --no-recommends installs the package without
# its recommended packages, to show that what it depends on is enough to play.
# The log goes to /tmp/fresh_root.log.
set -uo pipefail

LOG=/tmp/fresh_root.log
USER_NAME=tester
DISPLAY_NUM=:77
CLIP=clip.flv
TITLE=" $CLIP - Lumba.FLV"

keep_root=false
host_cache=true
recommends=true
deb=""
for arg in "$@"; do
    case "$arg" in
    --keep-root) keep_root=true ;;
    --no-host-cache) host_cache=false ;;
    --no-recommends) recommends=false ;;
    -h | --help)
        sed -n '2,15p' "$0"
        exit 0
        ;;
    -*)
        echo "unknown option: $arg" >&2
        exit 2
        ;;
    *) deb="$arg" ;;
    esac
done

exec > >(tee "$LOG") 2>&1

if [ "$(id -u)" -ne 0 ]; then
    echo "FAIL: this check makes a root file system and needs to run as root" >&2
    exit 2
fi

repo="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "$deb" ]; then
    deb="$(ls -1t "$repo"/build-package/lumba-flv_*.deb 2>/dev/null | head -n1)"
    if [ -z "$deb" ]; then
        echo "== no package yet: building it with ./package.sh"
        "$repo/package.sh" || {
            echo "FAIL: ./package.sh did not build the package"
            exit 1
        }
        deb="$(ls -1t "$repo"/build-package/lumba-flv_*.deb | head -n1)"
    fi
fi
if [ ! -f "$deb" ]; then
    echo "FAIL: no package at $deb"
    exit 1
fi
deb="$(realpath "$deb")"
echo "== package: $deb"

passed=()
failed=()
pass() {
    passed+=("$1")
    echo "PASS: $1"
}
fail() {
    failed+=("$1")
    echo "FAIL: $1"
}
check() { # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

summary() {
    echo
    echo "================ fresh root check: summary ================"
    local p
    for p in "${passed[@]}"; do echo "  PASS  $p"; done
    for p in "${failed[@]}"; do echo "  FAIL  $p"; done
    if [ ${#failed[@]} -eq 0 ] && [ ${#passed[@]} -gt 0 ]; then
        echo "RESULT: PASS (${#passed[@]} checks)"
    else
        echo "RESULT: FAIL (${#failed[@]} of $((${#passed[@]} + ${#failed[@]})) checks failed)"
    fi
    echo "log: $LOG"
}

# --- what the package declares --------------------------------------------------------------
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
declares() { tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g' | grep -qx "$1"; }
check "Depends names ffmpeg" declares ffmpeg
check "Depends names qt6-translations-l10n" declares qt6-translations-l10n

# --- the fresh root -------------------------------------------------------------------------
# The Debian 12 entries of this machine's apt sources, one-line and deb822 alike.
debian_sources() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk '$1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                if ($(i + 1) !~ /^bookworm(-updates|-security)?$/) next
                line = "deb " $i " " $(i + 1)
                for (j = i + 2; j <= NF; j++) line = line " " $j
                print line
            }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                types = ""; uris = ""; suites = ""; comps = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^[[:space:]]*#/ || index($i, ":") == 0) continue
                    key = tolower(substr($i, 1, index($i, ":") - 1))
                    val = substr($i, index($i, ":") + 1)
                    gsub(/^[ \t]+|[ \t]+$/, "", val)
                    if (key == "types") types = val
                    else if (key == "uris") uris = val
                    else if (key == "suites") suites = val
                    else if (key == "components") comps = val
                    else if (key == "enabled") enabled = tolower(val)
                }
                if (enabled == "no" || types !~ /(^| )deb( |$)/) next
                nu = split(uris, u, " "); ns = split(suites, s, " ")
                for (a = 1; a <= nu; a++)
                    for (b = 1; b <= ns; b++)
                        if (s[b] ~ /^bookworm(-updates|-security)?$/)
                            print "deb " u[a] " " s[b] " " comps
            }' "$f"
    done
}
mapfile -t mirrors < <(debian_sources | sort -u)
[ ${#mirrors[@]} -gt 0 ] || mirrors=("deb http://deb.debian.org/debian bookworm main")
printf 'mirror: %s\n' "${mirrors[@]}"

if ! command -v mmdebstrap >/dev/null; then
    echo "== installing mmdebstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends mmdebstrap >/dev/null ||
        {
            fail "mmdebstrap installed"
            summary
            exit 1
        }
fi

root="$(mktemp -d /var/tmp/lumba-fresh-root.XXXXXX)"
mounted=()

# Unmounts what we bound, and removes the root only when nothing is mounted inside it any more:
# removing it with /dev or /sys still bound would reach into this machine's own files.
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null
    done
    mounted=()
    if [ -n "${root:-}" ] && [ -d "$root" ]; then
        if findmnt -rn -o TARGET | grep -q "^$root/"; then
            echo "note: something is still mounted under $root; left it in place"
        elif $keep_root; then
            echo "note: root kept at $root"
        else
            rm -rf --one-file-system "$root"
        fi
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Links this machine's cached Debian packages into the root's apt cache (copies when on
# another file system); apt only uses one whose hash matches the index.
seed_cache() {
    $host_cache || return 0
    local dest="$1/var/cache/apt/archives"
    mkdir -p "$dest"
    find /var/cache/apt/archives -maxdepth 1 -name '*.deb' -exec cp -l -t "$dest" {} + 2>/dev/null ||
        find /var/cache/apt/archives -maxdepth 1 -name '*.deb' -exec cp -t "$dest" {} +
}

echo "== making a fresh Debian 12 root in $root"
hooks=()
# Hooks run under sh, so the same seeding is spelt out once more here.
$host_cache && hooks+=(--setup-hook='a=/var/cache/apt/archives; mkdir -p "$1$a" &&
    { find $a -maxdepth 1 -name "*.deb" -exec cp -l -t "$1$a" {} + 2>/dev/null ||
      find $a -maxdepth 1 -name "*.deb" -exec cp -t "$1$a" {} +; }')
t0=$SECONDS
if ! mmdebstrap --mode=root --variant=important --quiet "${hooks[@]}" \
    bookworm "$root" "${mirrors[@]}"; then
    fail "fresh Debian 12 root made"
    summary
    exit 1
fi
pass "fresh Debian 12 root made ($((SECONDS - t0)) s)"

bind() { # bind SOURCE TARGET-INSIDE-ROOT [TYPE]
    mkdir -p "$root$2"
    if [ -n "${3:-}" ]; then mount -t "$3" "$1" "$root$2"; else mount --bind "$1" "$root$2"; fi &&
        mounted+=("$root$2")
}
bind proc /proc proc && bind /dev /dev && bind /dev/pts /dev/pts && bind /sys /sys ||
    {
        fail "/proc, /dev and /sys bound into the root"
        summary
        exit 1
    }
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# No services start inside the root.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { chroot "$root" /usr/sbin/runuser -u "$USER_NAME" -- /usr/bin/env -i \
    PATH=/usr/local/bin:/usr/bin:/bin HOME="/home/$USER_NAME" USER="$USER_NAME" \
    LANG=C.UTF-8 DISPLAY="$DISPLAY_NUM" XDG_RUNTIME_DIR="/tmp/runtime-$USER_NAME" "$@"; }

# --- install --------------------------------------------------------------------------------
echo "== apt-get update"
in_root apt-get update -q || fail "apt-get update in the root"
seed_cache "$root"
cp "$deb" "$root/root/"
debname="$(basename "$deb")"
t0=$SECONDS
aptrec=()
$recommends || aptrec=(--no-install-recommends)
install_cmd="apt-get install -y${aptrec[*]:+ ${aptrec[*]}} ./$debname"
echo "== $install_cmd"
check "$install_cmd" \
    in_root sh -c "cd /root && apt-get install -y -q -o Dpkg::Progress-Fancy=0 ${aptrec[*]} ./$debname"
echo "   ($((SECONDS - t0)) s)"
check "package installed" in_root dpkg-query -W lumba-flv
check "ffmpeg pulled in by the package" in_root sh -c 'command -v ffmpeg'
check "launcher lumba-flv on the PATH" in_root sh -c 'command -v lumba-flv'
in_root dpkg-query -L lumba-flv >"$root/root/package-list"

# The tools of the check itself come after, so they cannot hide a missing dependency.
echo "== installing the test tools (xvfb, xdotool, x11-apps)"
check "test tools installed" in_root sh -c 'apt-get install -y -q --no-install-recommends \
    -o Dpkg::Progress-Fancy=0 xvfb xdotool x11-apps >/dev/null'

# --- play a clip as an ordinary user --------------------------------------------------------
in_root useradd -m -s /bin/bash "$USER_NAME"
in_root install -d -m 700 -o "$USER_NAME" -g "$USER_NAME" "/tmp/runtime-$USER_NAME"
check "short FLV clip made with the package's ffmpeg" \
    as_user ffmpeg -hide_banner -loglevel error -nostdin \
    -f lavfi -i testsrc2=size=320x240:rate=25:duration=60 \
    -f lavfi -i sine=frequency=440:duration=60 \
    -c:v libx264 -pix_fmt yuv420p -c:a aac "/home/$USER_NAME/$CLIP"

# Each process started here writes its own pid (the shell execs it), so it alone is signalled.
as_user sh -c "echo \$\$ >/tmp/xvfb.pid && exec Xvfb $DISPLAY_NUM -screen 0 1280x1024x24 -nolisten tcp" \
    >"$root/tmp/xvfb.log" 2>&1 &
for _ in $(seq 50); do
    as_user xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.2
done

echo "== starting: lumba-flv ~/$CLIP (as $USER_NAME, under Xvfb)"
as_user sh -c "cd ~ && echo \$\$ >/tmp/player.pid && exec lumba-flv ~/$CLIP" \
    >"$root/tmp/player.log" 2>&1 &
win=""
for _ in $(seq 60); do
    win="$(as_user xdotool search --name "^$TITLE\$" 2>/dev/null | head -n1)"
    [ -n "$win" ] && break
    sleep 0.5
done
if [ -n "$win" ]; then
    pass "window \"$TITLE\" appeared"
else
    fail "window \"$TITLE\" appeared"
    echo "   windows now: $(as_user xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
fi

player_pid="$(cat "$root/tmp/player.pid" 2>/dev/null)"
echo "   player process: ${player_pid:-none}"
has_clip_open() {
    [ -n "$player_pid" ] || return 1
    local fd
    for fd in /proc/"$player_pid"/fd/*; do
        [[ "$(readlink "$fd" 2>/dev/null)" == *"/home/$USER_NAME/$CLIP" ]] && return 0
    done
    return 1
}
check "the player process has ~/$CLIP open" has_clip_open

# Playing: the picture (video and time display) changes from one second to the next.
frames_change() {
    [ -n "$win" ] || return 1
    as_user xwd -silent -id "$win" -out /tmp/a.xwd &&
        sleep 1.5 &&
        as_user xwd -silent -id "$win" -out /tmp/b.xwd &&
        ! cmp -s "$root/tmp/a.xwd" "$root/tmp/b.xwd"
}
sleep 2
check "the window's picture moves (playing)" frames_change

if [ -n "$player_pid" ]; then
    kill -TERM "$player_pid"
    for _ in $(seq 40); do
        kill -0 "$player_pid" 2>/dev/null || break
        sleep 0.25
    done
    check "the player ended on SIGTERM" sh -c "! kill -0 $player_pid 2>/dev/null"
    kill -KILL "$player_pid" 2>/dev/null
else
    fail "the player ended on SIGTERM (no process)"
fi
xvfb_pid="$(cat "$root/tmp/xvfb.pid" 2>/dev/null)"
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
echo "-- player output (last lines):"
tail -n 15 "$root/tmp/player.log" | sed 's/^/   /'
# shellcheck disable=SC2088 # a caption, not a path
check "~/.config/Lumba.FLV/ written" test -d "$root/home/$USER_NAME/.config/Lumba.FLV"
in_root ls -la "/home/$USER_NAME/.config/Lumba.FLV" 2>/dev/null | sed 's/^/   /'

# --- purge ----------------------------------------------------------------------------------
echo "== apt-get purge -y lumba-flv"
check "apt-get purge lumba-flv" in_root apt-get purge -y -q -o Dpkg::Progress-Fancy=0 lumba-flv
check "dpkg -L lumba-flv knows the package no more" sh -c "! chroot '$root' dpkg -L lumba-flv >/dev/null 2>&1"
check "/usr/lib/lumba-flv absent" test ! -e "$root/usr/lib/lumba-flv"
leftovers() {
    local p left=0
    while IFS= read -r p; do
        [ -n "$p" ] && [ "$p" != "/." ] || continue
        # Folders shared with other packages (/usr/bin, share/applications, ...) stay.
        if [ -d "$root$p" ] && [ ! -L "$root$p" ]; then
            in_root dpkg-query -S "$p" >/dev/null 2>&1 || [ -n "$(ls -A "$root$p")" ] ||
                {
                    echo "   left: $p/"
                    left=1
                }
        elif [ -e "$root$p" ] || [ -L "$root$p" ]; then
            echo "   left: $p"
            left=1
        fi
    done <"$root/root/package-list"
    ls "$root"/var/lib/dpkg/info/lumba-flv.* 2>/dev/null && left=1
    local stray
    stray="$(find "$root" -xdev -mindepth 1 -iname '*lumba*' \
        -not -path "$root/home/*" -not -path "$root/tmp/*" -not -path "$root/root/*" 2>/dev/null)"
    [ -z "$stray" ] || {
        echo "$stray" | sed "s|^$root|   left: |"
        left=1
    }
    return $left
}
check "nothing of the package's file list (or named lumba) remains" leftovers
check "the user's ~/.config/Lumba.FLV/ stays" test -d "$root/home/$USER_NAME/.config/Lumba.FLV"

summary
[ ${#failed[@]} -eq 0 ]
