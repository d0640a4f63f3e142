#!/usr/bin/env bash
# Unpacks giflib's Debian source into DEST (once) for the web build, which compiles its C files
# with emcc. The source entries are the machine's own apt sources turned into deb-src ones, in
# a private apt state under DEST: the system's apt configuration is left as it is.
set -euo pipefail
dest=$(realpath -m "$1")
[ -f "$dest/src/gif_lib.h" ] && exit 0
apt_dir="$dest/apt"
rm -rf "$dest" && mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
shopt -s nullglob
for f in /etc/apt/sources.list.d/*.sources; do
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n -e 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$apt_dir/sources.list.d/from-lists.list"
done
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "Debug::NoLocking=1"
          -o "APT::Sandbox::User=root")
# A source without deb-src indexes only warns; giflib must be found in one of them.
apt-get "${apt_opts[@]}" -qq update || true
if ! (cd "$dest" && apt-get "${apt_opts[@]}" -qq source giflib >/dev/null); then
    # A mirror may list an upload whose own files it does not hold (seen with a point release).
    # The upstream tarball is shared by every upload of the release and holds the same library
    # files; it is checked against the hash of the signed index.
    echo "giflib's Debian source did not download; taking its upstream tarball" >&2
    read -r uri file _ hash < <(apt-get "${apt_opts[@]}" -qq source --print-uris giflib | grep '\.orig\.tar\.')
    /usr/lib/apt/apt-helper "${apt_opts[@]}" download-file "${uri//\'/}" "$dest/$file" "$hash"
    tar -xf "$dest/$file" -C "$dest"
fi
mv "$dest"/giflib-*/ "$dest/src"
test -f "$dest/src/gif_lib.h"
