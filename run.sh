#!/usr/bin/env bash
# Builds Lumba.FLV and starts it on FILE, or on the bundled sample clip when none is given.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMBA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target Lumba.FLV LumbaResFLV flvmdi sample_clip
[ "$#" -eq 0 ] && set -- "$PWD/build/bin/sample.flv"
files=()
for file in "$@"; do
    [ -e "$file" ] && file="$(realpath "$file")"
    files+=("$file")
done
exec build/bin/Lumba.FLV "${files[@]}"
