#!/usr/bin/env bash
# Builds the Debian package bus-lauscher_VERSION_ARCH.deb in build-package/,
# with Debian's hardening flags; install it with apt install ./build-package/bus-lauscher_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# reproducible: every time in the package is the last commit's
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2> /dev/null || date +%s)
export SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUSLAUSCHER_TESTS=OFF -DBUSLAUSCHER_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  "$@"
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB)
ls build-package/bus-lauscher_*.deb
