#!/usr/bin/env bash
# libical for the Windows program: Debian's source of the same version as the
# libical-dev the Linux build uses, cross-built static with the project's
# mingw-w64 toolchain file into BUILD/libical (BUILD is the Windows build folder).
#   scripts/libical-windows.sh BUILD
# The source comes from Debian's archive only (apt-get source); its upstream
# tarball is checked against the signed source index's .dsc. Built once: a
# second run with the same version prints nothing.
set -euo pipefail
build=$(realpath -m "${1:?usage: scripts/libical-windows.sh BUILD}")
root=$(cd "$(dirname "$0")/.." && pwd)
here="$build/libical"
prefix="$here/install"

version=$(dpkg-query -W -f='${source:Version}' libical-dev)   # e.g. 3.0.16-1
upstream=${version%-*}                                         # 3.0.16
source_package=$(dpkg-query -W -f='${source:Package}' libical-dev)   # libical3
stamp="$prefix/built-from-$source_package-$version"
[[ -f "$stamp" ]] && exit 0

echo "libical $upstream for Windows: fetching Debian's source and cross-building it (a few minutes)"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if ! apt-cache showsrc "$source_package" 2>/dev/null | grep -q "^Version: $version\$"; then
  # The source index: the same archive and suites as the binary packages.
  $sudo tee /etc/apt/sources.list.d/almanouk-debian-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $(. /etc/os-release && echo "$VERSION_CODENAME $VERSION_CODENAME-updates")
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  $sudo apt-get update -qq
fi

mkdir -p "$here/download"
cd "$here/download"
tarball="${source_package}_${upstream}.orig.tar.gz"
dsc="${source_package}_${version}.dsc"
if [[ ! -f "$tarball" || ! -f "$dsc" ]]; then
  # Only the .dsc and the upstream tarball are used; the Debian packaging may
  # be missing from a mirror without harm.
  apt-get source --download-only -qq "$source_package=$version" >/dev/null 2>&1 || true
fi
[[ -f "$tarball" && -f "$dsc" ]] || { echo "apt-get source $source_package=$version fetched no $tarball" >&2; exit 1; }
# The .dsc came through apt's signed index; the tarball must match what it names.
expected=$(awk -v f="$tarball" '/^Checksums-Sha256:/{s=1;next} /^[^ ]/{s=0} s && $3==f {print $1}' "$dsc")
actual=$(sha256sum "$tarball" | cut -d' ' -f1)
[[ -n "$expected" && "$expected" == "$actual" ]] || { echo "$tarball does not match $dsc" >&2; exit 1; }

rm -rf "$here/source" "$here/build" "$prefix"
mkdir -p "$here/source"
tar -xzf "$tarball" -C "$here/source" --strip-components=1
cmake -S "$here/source" -B "$here/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DSTATIC_ONLY=ON -DICAL_GLIB=OFF -DWITH_CXX_BINDINGS=OFF -DICAL_BUILD_DOCS=OFF \
  -DLIBICAL_BUILD_TESTING=OFF -DUSE_BUILTIN_TZDATA=ON -DGOBJECT_INTROSPECTION=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON -DCMAKE_DISABLE_FIND_PACKAGE_BDB=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Doxygen=ON >"$here/configure.log" 2>&1 \
  || { tail -30 "$here/configure.log" >&2; exit 1; }
cmake --build "$here/build" -j "$(nproc)" >"$here/build.log" 2>&1 || { tail -30 "$here/build.log" >&2; exit 1; }
cmake --install "$here/build" >"$here/install.log" 2>&1 || { tail -30 "$here/install.log" >&2; exit 1; }
# Its licence, shipped with the program beside the zone data (share/libical/zoneinfo).
cp "$here/source/LICENSE" "$here/source/LICENSE.MPL2.txt" "$here/source/LICENSE.LGPL21.txt" "$prefix/"
touch "$stamp"
