#!/usr/bin/env bash
# Unpacks giflib's Debian source, Debian's patches applied, into DEST/src for the web build,
# which compiles its C files with emcc. The source entries are the machine's own apt sources (as
# apt-config names them) turned into deb-src ones, in a private apt state under DEST: the
# system's apt configuration is left as it is. DEST/debian-version records the upload whose
# patches DEST/src holds; it is kept while apt offers that upload (or, offline, none), and made
# again when apt offers another, such as a security upload.
set -euo pipefail
dest=$(realpath -m "$1")
stamp=$dest/debian-version
fail() {
    echo "giflib-source: $*" >&2
    exit 1
}
apt_dir="$dest/apt"
rm -rf "$apt_dir" && mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
source_list='' source_parts=''
eval "$(apt-config shell source_list Dir::Etc::sourcelist/f source_parts Dir::Etc::sourceparts/d)"
shopt -s nullglob
for f in "$source_parts"*.sources; do
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
for f in "$source_list" "$source_parts"*.list; do
    [ -f "$f" ] && sed -n -e 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$apt_dir/sources.list.d/from-lists.list"
done
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "Debug::NoLocking=1"
          -o "APT::Sandbox::User=root")
# A source without deb-src indexes only warns; giflib must be found in one of them.
apt-get "${apt_opts[@]}" -qq update || true
# Each file of the upload as the signed index lists it: 'URI' name size hash. In an empty folder,
# so that apt lists them all and touches no file of the folder we were started from.
mkdir "$apt_dir/empty"
files=$(cd "$apt_dir/empty" && apt-get "${apt_opts[@]}" -qq source --print-uris giflib 2>/dev/null | grep "^'") || true
version=$(sed -n "s/^'[^']*' giflib_\(.*\)\.dsc .*/\1/p" <<<"$files")
if [ -f "$stamp" ] && [ -f "$dest/src/gif_lib.h" ]; then
    if [ -z "$version" ]; then
        echo "giflib-source: no apt source lists giflib now; keeping giflib $(cat "$stamp")" >&2
        exit 0
    fi
    [ "$version" != "$(cat "$stamp")" ] || exit 0
fi
[ -n "$version" ] || fail "giflib's source could not be downloaded: no index from this machine's apt sources lists it"
rm -rf "$stamp" "$dest/src" "$dest"/giflib[-_]*
if ! (cd "$dest" && apt-get "${apt_opts[@]}" -qq source giflib >/dev/null); then
    # A mirror may list an upload whose .dsc it does not hold (seen with a point release). Its
    # other files, each checked against the signed index's hash, make the same tree: the
    # upstream tarball, then Debian's packaging with its patches applied as dpkg-source does.
    echo "giflib's .dsc did not download; unpacking its tarballs and Debian's patches" >&2
    rm -rf "$dest"/giflib-*/
    while read -r uri file _ hash; do
        [[ $file == *.dsc ]] || /usr/lib/apt/apt-helper "${apt_opts[@]}" download-file "${uri//\'/}" "$dest/$file" "$hash" ||
            fail "giflib's source could not be downloaded: $file"
    done <<<"$files"
    orig=("$dest"/giflib_*.orig.tar.{gz,xz,bz2}) packaging=("$dest"/giflib_*.debian.tar.{gz,xz,bz2})
    if [ ${#orig[@]} -ne 1 ] || [ ${#packaging[@]} -ne 1 ]; then
        fail "giflib $version has no upstream tarball and Debian tarball to build without its .dsc"
    fi
    mkdir "$dest/giflib-$version"
    tar -xf "${orig[0]}" -C "$dest/giflib-$version" --strip-components=1
    tar -xf "${packaging[0]}" -C "$dest/giflib-$version"
    dpkg-source --before-build "$dest/giflib-$version" >/dev/null ||
        fail "Debian's patches of giflib $version did not apply"
fi
mv "$dest"/giflib-*/ "$dest/src"
test -f "$dest/src/gif_lib.h"
echo "$version" >"$stamp"
