#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks what it needs and
# holds, unpacks it and runs the unpacked program's --version.
#   deb_test.sh BUILD-FOLDER VERSION
# Exit 77 = skipped (no dpkg-deb here).
set -euo pipefail
build=$(cd "$1" && pwd) version=$2
command -v dpkg-deb >/dev/null || { echo "no dpkg-deb: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(find "$work" -maxdepth 1 -name "almanouk_${version}_*.deb")
[ -n "$deb" ] || fail "no almanouk_${version}_*.deb"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libical3 zlib1g libsystemd0; do
  [[ ", $depends," =~ ,\ "$package"[\ ,] ]] || fail "Depends lacks $package: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/almanouk usr/bin/almanouk-headless usr/libexec/almanouk/almanouk-wachter usr/share/applications/almanouk.desktop \
    usr/share/icons/hicolor/48x48/apps/almanouk.png usr/share/man/man1/almanouk.1.gz \
    usr/share/metainfo/nl.almanouk.almanouk.metainfo.xml; do
  grep -q " \./$file\$" <<<"$contents" || fail "the package lacks $file"
done

[ "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils ] || fail "the package does not recommend xdg-utils"
for file in usr/share/doc/almanouk/copyright usr/share/doc/almanouk/changelog.gz; do
  grep -q " \./$file\$" <<<"$contents" || fail "the package lacks $file"
done

# Debian's own check of a package: no error, no warning.
if command -v lintian >/dev/null; then
  findings=$(lintian --pedantic --tag-display-limit 0 "$deb" 2>/dev/null | grep -E '^(E|W): ' || true)
  [ -z "$findings" ] || fail "lintian: $findings"
fi

dpkg-deb -x "$deb" "$work/root"
[ "$("$work/root/usr/bin/almanouk" --version)" = "almanouk $version" ] || fail "unpacked almanouk --version"
