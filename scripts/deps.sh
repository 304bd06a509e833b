#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, when missing.
set -euo pipefail
pkgs=(build-essential cmake pkg-config git
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
      libmpv-dev libasound2-dev ffmpeg
      libgtest-dev libgmock-dev
      fonts-wqy-microhei locales
      clang libclang-rt-14-dev flvmeta)
[ "${1:-}" = "--bench" ] && pkgs+=(yamdi hyperfine time xvfb xauth mpv xdotool)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
