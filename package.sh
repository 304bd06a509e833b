#!/usr/bin/env bash
# Builds the Debian package build-package/lumba-flv_<version>_<arch>.deb; install it with
#     sudo apt-get install ./build-package/lumba-flv_*.deb
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMBA_TESTS=OFF >/dev/null
cmake --build build-package --parallel "$(nproc)"
rm -f build-package/lumba-flv_*.deb
(cd build-package && cpack -G DEB)
ls -l build-package/lumba-flv_*.deb
