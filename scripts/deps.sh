#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, when missing.
set -euo pipefail
pkgs=(build-essential cmake pkg-config git
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
      libmpv-dev libasound2-dev ffmpeg
      libgtest-dev libgmock-dev
      fonts-wqy-microhei locales
      dpkg-dev desktop-file-utils appstream libglib2.0-bin
      clang libclang-rt-14-dev llvm-14 flvmeta)
[ "${1:-}" = "--bench" ] && pkgs+=(yamdi hyperfine time xvfb xauth mpv xdotool dbus-daemon dbus-bin at-spi2-core python3-xlib python3-pyatspi)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    # Without sudo, or with a sudo that needs a password nobody can type here.
    if ! command -v sudo >/dev/null 2>&1 || { ! sudo -n true 2>/dev/null && ! [ -t 0 ]; }; then
        echo "These Debian packages are missing: ${missing[*]}" >&2
        echo "Installing them needs root. Run, as root:" >&2
        echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
        echo "then run this command again." >&2
        exit 1
    fi
    sudo="sudo"
fi
echo "Installing ${#missing[@]} packages: ${missing[*]}"
echo "(a fresh machine downloads several hundred megabytes; apt shows its progress below)"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
    -o Dpkg::Progress-Fancy=0 -o APT::Color=0 "${missing[@]}"
