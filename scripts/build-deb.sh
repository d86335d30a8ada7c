#!/usr/bin/env bash
# Builds the Debian package folyant-velmo into build-deb/ and prints its path.
# Usage: scripts/build-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The distribution's hardening flags, as a Debian build would use them.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DFOLYANT_DEBIAN_PACKAGE=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" >/dev/null
(cd build-deb && rm -f folyant-velmo_*.deb && cpack -G DEB >/dev/null)
ls "$PWD"/build-deb/folyant-velmo_*.deb
