#!/usr/bin/env bash
# make package-check: the .deb that `make package` left in the build folder, checked as Debian
# and a player get it.
#  1. Reproducible: a clean clone of this commit, built by `make package` in another folder,
#     later, without tests and benchmarks, under another umask and time zone, gives the same
#     bytes. Where it does not, diffoscope shows where.
#  2. A fresh Debian 12: mmdebstrap makes a minimal root from this machine's own apt sources,
#     and scripts/installed-check.sh, run inside it, installs the package with apt and plays it
#     on X11 and Wayland (see there).
# Everything it makes stays in <build>/package-check; it runs as root (or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(realpath -m "$build/package-check")
root_cmd=()
[ "$(id -u)" -ne 0 ] && root_cmd=(sudo)

debs=("$build"/namoro_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one namoro_*.deb in $build: run make package" >&2; exit 1; }
deb=$(realpath "${debs[0]}")
mkdir -p "$work"

unmount_leftovers() {
    # mmdebstrap unmounts what it mounted; should it be killed half-way, nothing stays mounted.
    findmnt -rn -o TARGET | grep -F "$work/" | sort -r | while read -r target; do
        "${root_cmd[@]}" umount -l "$target" || true
    done
    [ -d "$work/tmp" ] && "${root_cmd[@]}" rm -rf --one-file-system "$work/tmp"
    return 0
}
trap unmount_leftovers EXIT

# --- 1. The same bytes from a clean clone ---------------------------------------------------
echo "== reproducibility: make package in a clean clone of $(git rev-parse --short HEAD)"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "note: uncommitted changes are in $deb but not in the clone; commit them first"
fi
clone="$work/clone"
rm -rf "$clone"
git clone -q --no-checkout . "$clone"
git -C "$clone" checkout -q --detach "$(git rev-parse HEAD)"
started=$(date +%s)
(
    cd "$clone"
    umask 0027
    # The clone's own Makefile takes the time from its last commit; no compiler cache, so that
    # every object is compiled afresh.
    env -u SOURCE_DATE_EPOCH CCACHE_DISABLE=1 TZ=Pacific/Kiritimati CMAKE_BUILD_PARALLEL_LEVEL=2 \
        make package CMAKE_ARGS="-DNAMORO_BUILD_TESTS=OFF -DNAMORO_BUILD_BENCH=OFF"
) > "$work/clone-build.log" 2>&1 || { tail -n 40 "$work/clone-build.log"; echo "the clone did not build" >&2; exit 1; }
echo "   built in $(($(date +%s) - started)) s (log: $work/clone-build.log)"
second=("$clone/build"/namoro_*.deb)
if cmp -s "$deb" "${second[0]}"; then
    echo "   identical: $(sha256sum "$deb" | cut -c1-16)…  $(basename "$deb")"
else
    echo "FAIL: the two packages differ; diffoscope says where ($work/diffoscope.txt):" >&2
    diffoscope --text "$work/diffoscope.txt" "$deb" "${second[0]}" > /dev/null || true
    head -n 80 "$work/diffoscope.txt" >&2
    exit 1
fi

# --- 2. Installed and played on a fresh minimal Debian 12 -----------------------------------
# The Debian entries of this machine's apt sources, as apt sees them, for the root's apt.
sources="$work/sources.list"
apt-cache policy | awk '
    / Packages$/ && $2 ~ /:\/\// { uri = $2; dist = $3; next }
    /^ +release / && uri != "" {
        if ($0 ~ /o=Debian,/ && $0 ~ /n=bookworm/) {
            n = split(dist, part, "/"); suite = part[1]
            for (i = 2; i < n; i++) suite = suite "/" part[i]
            key = uri " " suite
            if (!(key in comps)) order[++count] = key
            if (index(" " comps[key] " ", " " part[n] " ") == 0) comps[key] = comps[key] " " part[n]
        }
        uri = ""
    }
    END { for (i = 1; i <= count; i++) print "deb " order[i] comps[order[i]] }' > "$sources"
[ -s "$sources" ] || { echo "no Debian 12 entry in this machine's apt sources" >&2; exit 1; }
aptopts=()
for option in Acquire::Check-Valid-Until Acquire::Check-Date; do # as this machine's apt has them
    value=$(apt-config dump "$option" | sed -n "s/^$option \"\(.*\)\";$/\1/p")
    [ -n "$value" ] && aptopts+=("--aptopt=$option \"$value\"")
done

build_packages=$(sed -n '/^# build$/,/^$/{/^[a-z0-9]/p}' deps/debian-packages.txt | tr '\n' ' ')
mkdir -p "$work/apt-cache" "$work/tmp"
rm -rf "$work/logs"
echo "== a fresh minimal Debian 12 from: $(cut -d' ' -f2,3 "$sources" | paste -sd, -)"
started=$(date +%s)
# The downloaded packages are kept in the build folder for the next run.
"${root_cmd[@]}" env TMPDIR="$work/tmp" NAMORO_DEB="$deb" NAMORO_WORK="$work" \
    NAMORO_CHECK="$PWD/scripts/installed-check.sh" NAMORO_BUILD_PACKAGES="$build_packages" \
    mmdebstrap --mode=root --variant=minbase --format=null --skip=essential/unlink --dpkgopt=force-unsafe-io \
    "${aptopts[@]}" \
    --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
    --setup-hook="sync-in $work/apt-cache /var/cache/apt/archives/" \
    --customize-hook='mkdir -p "$1/tmp/namoro-check" && cp "$NAMORO_DEB" "$NAMORO_CHECK" "$1/tmp/namoro-check/"' \
    --customize-hook='status=0; chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        bash /tmp/namoro-check/installed-check.sh "/tmp/namoro-check/$(basename "$NAMORO_DEB")" $NAMORO_BUILD_PACKAGES \
        || status=$?; cp -r "$1/tmp/namoro-check/logs" "$NAMORO_WORK/" || true; exit $status' \
    --customize-hook="sync-out /var/cache/apt/archives $work/apt-cache" \
    bookworm /dev/null "$sources"
echo "== package-check passed (the root took $(($(date +%s) - started)) s; logs in $work/logs)"
