#!/usr/bin/env bash
# Builds the Debian package lumetrevisor_<version>_<arch>.deb from a release
# build of its own (build/package, or $LUMETREVISOR_PACKAGE_BUILD), checks it
# with lintian (any error fails) and prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${LUMETREVISOR_SKIP_SETUP:-}" ] || bash scripts/setup.sh
build=${LUMETREVISOR_PACKAGE_BUILD:-build/package}
# Debian's build flags, with all its hardening (fortified functions, stack
# protector, read-only relocations bound at start).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLMV_SANITIZE=OFF -DLMV_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/lumetrevisor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/lumetrevisor_*.deb)
[ -f "$deb" ] || { echo "package: no package was made in $build" >&2; exit 1; }
lintian --fail-on error "$deb"
realpath "$deb"
