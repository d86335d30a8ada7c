#!/usr/bin/env bash
# Builds the Debian package folyant-velmo into build-deb/ and prints its path.
# Usage: scripts/build-deb.sh [VERSION]
# VERSION (the project's own by default) is the package's version only: the
# lifecycle test builds one tree under two versions to upgrade one to the other.
set -euo pipefail
cd "$(dirname "$0")/.."
version=${1:-}
scripts/install-deps.sh
# The distribution's hardening flags, as a Debian build would use them.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DFOLYANT_DEBIAN_PACKAGE=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" >/dev/null
if [[ -z $version ]]; then
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-deb/CPackConfig.cmake)
fi
deb="$PWD/build-deb/folyant-velmo_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd build-deb && cpack -G DEB -R "$version" >/dev/null)
ls "$deb"
