#!/bin/bash
# scripts/giflib-source.sh offline, from a local repository that lists giflib without its .dsc:
# Debian's patch applied, a cache made without it not reused, a tarball unlike the index's stops
# it, and a repository without giflib says that its source could not be downloaded. A copy made
# stays while no index lists giflib or the same upload, and a newer Debian revision replaces it;
# a deb822 .sources entry, the only kind a default Debian 12 or 13 has, is read like a .list one.
set -euo pipefail
script=$(realpath "$1") t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
mkdir -p "$t/repo/giflib-5.2.1/debian/patches" "$t/repo/giflib-5.2.1/debian/source" "$t/parts" "$t/out/src"
cd "$t/repo/giflib-5.2.1"
echo unpatched >gifalloc.c && touch gif_lib.h "$t/out/src/gif_lib.h" && tar -czf ../giflib_5.2.1.orig.tar.gz -C .. giflib-5.2.1
printf 'Source: giflib\nMaintainer: M <m@example.org>\n\nPackage: libgif7\nArchitecture: any\nDescription: d\n d\n' >debian/control
printf 'giflib (5.2.1-2) unstable; urgency=high\n\n  * Fix.\n\n -- M <m@example.org>  Thu, 01 Jan 2026 00:00:00 +0000\n' >debian/changelog
echo '3.0 (quilt)' >debian/source/format && echo fix.patch >debian/patches/series
printf -- '--- a/gifalloc.c\n+++ b/gifalloc.c\n@@ -1 +1 @@\n-unpatched\n+patched\n' >debian/patches/fix.patch
cd .. && dpkg-source -q -b giflib-5.2.1 && dpkg-scansources . >Sources 2>/dev/null && rm giflib_*.dsc
echo "deb [trusted=yes] file:$t/repo ./" >"$t/parts/local.list" && export APT_CONFIG=$t/apt.conf
echo "Dir::Etc::SourceList \"/dev/null\"; Dir::Etc::SourceParts \"$t/parts\";" >"$APT_CONFIG"
"$script" "$t/out"
grep -qx patched "$t/out/src/gifalloc.c"; grep -qx 5.2.1-2 "$t/out/debian-version"
tar -cJf giflib_5.2.1-2.debian.tar.xz -C giflib-5.2.1 --exclude=patches debian # not the indexed one
"$script" "$t/more" && exit 1
[ ! -e "$t/more/src" ]; : >Sources
message=$("$script" "$t/more" 2>&1) && exit 1
grep -q "giflib's source could not be downloaded" <<<"$message"
"$script" "$t/out" 2>/dev/null
grep -qx 5.2.1-2 "$t/out/debian-version"
printf 'giflib (5.2.1-3) unstable; urgency=high\n\n  * Fix again.\n\n -- M <m@example.org>  Fri, 02 Jan 2026 00:00:00 +0000\n\n' |
    cat - giflib-5.2.1/debian/changelog >"$t/changelog"
mv "$t/changelog" giflib-5.2.1/debian/changelog
dpkg-source -q -b giflib-5.2.1 && dpkg-scansources . >Sources 2>/dev/null && rm giflib_*.dsc
rm "$t/parts/local.list"
printf 'Types: deb\nURIs: file:%s/repo\nSuites: ./\nTrusted: yes\n' "$t" >"$t/parts/local.sources"
"$script" "$t/deb822"
grep -qx 5.2.1-3 "$t/deb822/debian-version"
touch "$t/out/src/old"
"$script" "$t/out"
grep -qx 5.2.1-3 "$t/out/debian-version"
[ ! -e "$t/out/src/old" ]
touch "$t/out/src/kept"
"$script" "$t/out"
[ -e "$t/out/src/kept" ]
