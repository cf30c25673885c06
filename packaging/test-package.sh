#!/bin/bash
# Builds the Debian package as the README says, in a build tree of its own,
# and holds it to lintian's strictest reading: no error and no warning. The
# package, its changelog and its metainfo must all carry the project's
# version, and it must depend on libgl1. Exits 77 (skipped) without lintian.
#
#   test-package.sh SOURCE_DIR SCRATCH_DIR VERSION
set -euo pipefail
source_dir=$1
build=$2
version=$3

if ! command -v lintian >/dev/null; then
    echo "lintian is not installed; the package is not checked"
    exit 77
fi

# The build tree is kept between runs, so only what changed is rebuilt.
rm -f "$build"/toppleton_*.deb
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTOPPLETON_TOOLS=OFF \
      -DTOPPLETON_DEBIAN_GAMES_LAYOUT=ON -DTOPPLETON_DPKG_BUILDFLAGS=ON >/dev/null
cmake --build "$build" --parallel 2 >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/toppleton_*.deb)

status=0
lintian -EvIL +pedantic --fail-on error,warning "$deb" || status=$?
[ "$status" -eq 0 ] || { echo "lintian failed on $deb (status $status)"; exit 1; }

fail() { echo "$deb: $*"; exit 1; }
packaged=$(dpkg-deb -f "$deb" Version)
[ "$packaged" = "$version" ] || fail "version $packaged, expected $version"
dpkg-deb -f "$deb" Depends | grep -Eq '(^|, )libgl1(,|$| )' ||
    fail "does not depend on libgl1: $(dpkg-deb -f "$deb" Depends)"

contents="$build/contents"
rm -rf "$contents"
dpkg-deb -x "$deb" "$contents"
logged=$(zcat "$contents/usr/share/doc/toppleton/changelog.gz" | sed -n '1s/^toppleton (\([^)]*\)).*/\1/p')
[ "$logged" = "$version" ] || fail "changelog's newest version is $logged, expected $version"
cmake -DMETAINFO="$contents/usr/share/metainfo/io.toppleton.Toppleton.metainfo.xml" \
      -DVERSION="$version" -P "$source_dir/packaging/check-release.cmake"
echo "$deb: lintian clean, version $version throughout"
