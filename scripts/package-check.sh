#!/usr/bin/env bash
# make package-check: the .deb that `make package` left in the build folder, checked as Debian
# and a player get it. Two checks, run side by side (one compiles, the other mostly waits on
# apt and dpkg):
#  - Installed: mmdebstrap makes a fresh minimal Debian 12 from this machine's own apt sources,
#    and scripts/installed-check.sh, run inside it, installs the package with apt and plays it
#    on X11 and Wayland (see there).
#  - Reproducible: `make package` in a clean clone of this commit, in another folder, later,
#    without tests and benchmarks, without ccache, under another umask and time zone, gives
#    the same bytes. Where it does not, diffoscope shows where.
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
started=$(date +%s)
elapsed() { echo "$(($(date +%s) - started)) s"; }

installer=
builder=
clean_up() {
    [ -z "$builder" ] || kill -- "-$builder" 2>/dev/null || true
    # mmdebstrap finishes what it is doing before it heeds a signal; stop all of it at once.
    if [ -n "$installer" ]; then
        "${root_cmd[@]}" kill -KILL -- "-$installer" 2>/dev/null || true
        wait "$installer" 2>/dev/null || true
    fi
    # Nothing may run in the root any more, nor stay mounted in it.
    local proc
    for proc in /proc/[0-9]*; do
        case "$(readlink "$proc/root" 2>/dev/null)" in
            "$work/tmp/"*) "${root_cmd[@]}" kill -KILL "${proc#/proc/}" 2>/dev/null || true ;;
        esac
    done
    findmnt -rn -o TARGET | { grep -F "$work/" || true; } | sort -r | while read -r target; do
        "${root_cmd[@]}" umount -l "$target" || true
    done
    [ ! -d "$work/tmp" ] || "${root_cmd[@]}" rm -rf --one-file-system "$work/tmp"
}
trap clean_up EXIT
trap 'exit 130' INT TERM HUP

# --- Installed and played on a fresh minimal Debian 12 (in the background) -----------------
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
    [ -z "$value" ] || aptopts+=("--aptopt=$option \"$value\"")
done
build_packages=$(sed -n '/^# build$/,/^$/{/^[a-z0-9]/p}' deps/debian-packages.txt | tr '\n' ' ')

echo "== installing $(basename "$deb") on a fresh minimal Debian 12 from: $(cut -d' ' -f2,3 "$sources" | paste -sd, -)"
mkdir -p "$work/apt-cache" "$work/tmp"
rm -rf "$work/logs"
# Downloaded packages are kept in the build folder for the next run.
setsid "${root_cmd[@]}" env TMPDIR="$work/tmp" NAMORO_DEB="$deb" NAMORO_WORK="$work" \
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
    bookworm /dev/null "$sources" > "$work/installed-check.log" 2>&1 &
installer=$!

# --- The same bytes from a clean clone --------------------------------------------------------
echo "== meanwhile, make package in a clean clone of $(git rev-parse --short HEAD)"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "   note: uncommitted changes are in $(basename "$deb") but not in the clone; commit them first"
fi
clone="$work/clone"
rm -rf "$clone"
git clone -q --no-checkout . "$clone"
git -C "$clone" checkout -q --detach "$(git rev-parse HEAD)"
# The clone's own Makefile takes the time from its last commit. No compiler cache: every object
# is compiled afresh. In a process group of its own, so that an interrupted check stops all of it.
(
    cd "$clone"
    umask 0027
    exec setsid env -u SOURCE_DATE_EPOCH CCACHE_DISABLE=1 TZ=Pacific/Kiritimati CMAKE_BUILD_PARALLEL_LEVEL=2 \
        make package CMAKE_ARGS="-DNAMORO_BUILD_TESTS=OFF -DNAMORO_BUILD_BENCH=OFF"
) > "$work/clone-build.log" 2>&1 &
builder=$!
wait "$builder" || { tail -n 40 "$work/clone-build.log"; echo "FAIL: the clone did not build" >&2; exit 1; }
builder=
echo "   built at $(elapsed) (log: $work/clone-build.log)"
second=("$clone/build"/namoro_*.deb)
if cmp -s "$deb" "${second[0]}"; then
    echo "   the same bytes: $(sha256sum "$deb" | cut -c1-16)…  $(basename "$deb")"
    repeated=yes
else
    echo "FAIL: the two packages differ; diffoscope says where ($work/diffoscope.txt):" >&2
    diffoscope --text "$work/diffoscope.txt" "$deb" "${second[0]}" > /dev/null || true
    head -n 80 "$work/diffoscope.txt" >&2
    repeated=no
fi

status=0
wait "$installer" || status=$?
installer=
awk 'skip && /^([IEW]: |== |FAIL)/ { skip = 0 } /^I: running --[a-z]+-hook in shell/ { skip = 1 } !skip' \
    "$work/installed-check.log" | sed 's/^/   /'
[ "$status" -eq 0 ] || { echo "FAIL: the installed package (logs in $work/logs)" >&2; exit 1; }
[ "$repeated" = yes ] || exit 1
echo "== package-check passed in $(elapsed)"
