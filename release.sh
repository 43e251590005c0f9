#!/usr/bin/env bash
# Builds everything the project ships in Release and writes the packages into
# dist/:
#   tk42r_VERSION_amd64.deb        the Debian package (every Linux format,
#                                  tk42host and its manual page)
#   TK42R-VERSION-win64.zip        every Windows format, tk42host.exe, README
#                                  and licence, to copy by hand
#   TK42R-VERSION-win64-setup.exe  the Windows installer (NSIS)
#   SHA256SUMS
# It reuses the Release builds ./test.sh makes (build/linux and build/win),
# building only what the packages hold, and installs them afresh into
# build/release (cmake --install), from which the packages are made.
set -euo pipefail
cd "$(dirname "$0")"
# As in ./test.sh: ccache keys relative to the checkout.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
source tools/setup.sh
ensure_packages

jobs=$(nproc)
linux=build/linux
win=build/win
# No sanitizer or fuzzing instrumentation, whatever the folder held before.
cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DTK42_BENCHMARKS=OFF -DTK42_SANITIZE= -DTK42_FUZZ=OFF \
  >/dev/null
cmake --build "$linux" -j"$jobs" --target tk42_release
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$win" -j"$jobs" --target tk42_release

version=$(cat "$linux/packaging/version")
[ "$version" = "$(cat "$win/packaging/version")" ] || {
  echo "release.sh: $linux and $win were configured with different versions" >&2
  exit 1
}
# Dates inside the packages: the last commit's, so that a release made again
# from the same commit has the same contents.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}

stage=build/release
rm -rf "$stage" dist
mkdir -p "$stage" dist
cmake --install "$linux" --prefix "$stage/deb/usr" --strip >/dev/null
winroot="$stage/win/TK42R-$version-win64"
cmake --install "$win" --prefix "$winroot" --strip >/dev/null

packaging/debian/make-deb.sh "$stage/deb" "$version" "dist/tk42r_${version}_amd64.deb"
packaging/windows/make-windows.sh "$winroot" "$version" dist

(cd dist && sha256sum -- * >SHA256SUMS)
echo "== dist/"
ls -l dist
