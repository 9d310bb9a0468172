#!/usr/bin/env bash
# Builds the Debian package build/itm-declaratie_VERSION_ARCH.deb from a
# release build in build-release/ (the two programs only: no tests, no
# benchmarks) and checks it with lintian.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# dpkg-dev computes the dependencies from the binaries, appstream validates
# the metainfo file, lintian checks the package.
"$root/scripts/install-deps.sh" dpkg-dev appstream lintian

if [ ! -f build-release/build.ninja ]; then
    launcher=()
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    # Debian's hardening flags; no debug information, the binaries are stripped anyway.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    cxxflags=$(sed -e 's/\(^\| \)-g\( \|$\)/ /' <<<"$cxxflags")
    CXXFLAGS=$cxxflags LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
        cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DITM_BUILD_TESTS=OFF -DITM_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build build-release -j"$(nproc)"

appstreamcli validate --no-net --explain packaging/*.metainfo.xml >/dev/null ||
    { appstreamcli validate --no-net --explain packaging/*.metainfo.xml; exit 1; }

rm -f build-release/itm-declaratie_*.deb
(cd build-release && cpack -G DEB >/dev/null)
mkdir -p build
package=$(ls build-release/itm-declaratie_*.deb)
rm -f build/itm-declaratie_*.deb
mv "$package" build/
package="build/$(basename "$package")"

allow_root=()
[ "$(id -u)" -ne 0 ] || allow_root=(--allow-root)
lintian --fail-on error "${allow_root[@]}" "$package" || {
    echo "lintian found errors in $package" >&2
    exit 1
}
printf '%s\n' "$package"
