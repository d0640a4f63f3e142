#!/usr/bin/env bash
# make package-check: the source package that `make package` left in build/package, proven on
# Debian 12 (bookworm) and 13 (trixie). Every root is a fresh one made by mmdebstrap from this
# machine's own apt sources with the release name swapped. For each release, side by side:
#  - build: dpkg-buildpackage in a fresh build root, with what apt-get build-dep installs;
#  - install: in another fresh root, scripts/installed-check.sh installs the .deb of that build
#    with apt and plays it on X11 and a headless Weston, then the release's own autopkgtest
#    runs debian/tests against it (this root is made while the build compiles, and waits for it);
#  - the same bytes: each .deb equals one built elsewhere from the same source: on 12 the one
#    `make package` built on this machine, on 13 the one of the newcomer's root below.
# And once: in a fresh Debian 13 root with only git and make, the README's `make test` in a
# clone of this commit, then `make package` (the second Debian 13 build, and 13's lintian).
# Everything stays in build/package-check; downloaded packages are kept there for the next run.
# It runs as root; anyone else runs it through sudo, and gets build/package-check back as theirs.
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
[ "$(id -u)" -eq 0 ] || exec sudo -- "$self" "$@"
work=$PWD/build/package-check
releases=(bookworm trixie)
dsc=(build/package/namoro_*.dsc)
[ -f "${dsc[0]}" ] || { echo "no source package in build/package: run make package" >&2; exit 1; }
started=$(date +%s)
elapsed() { echo "$(($(date +%s) - started)) s"; }

# Every process below this script; the ps and awk of the call are gone when it returns.
descendants() {
    ps -e -o pid= -o ppid= | awk -v top=$$ '{ parent[$1] = $2 }
        END { for (p in parent) { q = p; while (q in parent && q != top) q = parent[q]; if (q == top && p != top) print p } }'
}

# Stops every process this script started, down to their children's children (mmdebstrap and
# its hooks), what still runs in a root of ours, and unmounts what is mounted below our folder,
# only. Each process is frozen first, until no new one appears, so that none starts another
# or is left behind without its parent.
clean_up() {
    local pid target frozen=() more=1
    while [ -n "$more" ]; do
        more=
        for pid in $(descendants); do
            [[ " ${frozen[*]} " != *" $pid "* ]] && kill -STOP "$pid" 2> /dev/null && frozen+=("$pid") more=1
        done
    done
    [ ${#frozen[@]} -eq 0 ] || kill -KILL "${frozen[@]}" 2> /dev/null || true
    for pid in /proc/[0-9]*; do
        case "$(readlink "$pid/root" 2> /dev/null)" in "$work/tmp/"*) kill -KILL "${pid#/proc/}" 2> /dev/null || true ;; esac
    done
    wait 2> /dev/null || true
    findmnt -rn -o TARGET | while read -r target; do
        target=$(printf '%b' "$target") # findmnt writes a space as \x20
        case "$target" in "$work/tmp/"*) echo "$target" ;; esac
    done | sort -r | xargs -r -d '\n' umount -l || true
    rm -rf --one-file-system "$work/tmp"
}
# Through sudo, what the run leaves is the user's again, so that make clean can remove it.
hand_back() {
    [ -z "${SUDO_UID:-}" ] || find "$work" -xdev -exec chown -h "$SUDO_UID:$SUDO_GID" {} + 2> /dev/null || true
}
trap 'clean_up; hand_back' EXIT
trap 'exit 130' INT TERM HUP
clean_up
rm -rf "$work/logs" "${releases[@]/#/$work/}" "$work/newcomer"
mkdir -p "$work/logs" "$work/tmp"

# This machine's Debian entries, from its deb822 and one-line sources, as one-line entries with
# the suites of its own release renamed to $1's.
host=$(. /etc/os-release && echo "$VERSION_CODENAME")
sources_for() {
    {
        cat /etc/apt/sources.list.d/*.sources 2> /dev/null | awk '
            /^[ \t]*$/ { if (types ~ /(^| )deb( |$)/) for (i = 1; i <= n; i++) print "deb", uris, suite[i], comps
                         types = uris = comps = ""; n = 0; next }
            /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
            /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
            /^Suites:/ { n = split(substr($0, 8), suite, " ") }
            /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0 }
            END { if (types ~ /(^| )deb( |$)/) for (i = 1; i <= n; i++) print "deb", uris, suite[i], comps }'
        grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list | sed 's/ \[[^]]*\]//'
    } | awk -v host="$host" -v to="$1" '$3 == host || index($3, host "-") == 1 { sub("^" host, to, $3); print }'
}
aptopts=()
for option in Acquire::Check-Valid-Until Acquire::Check-Date; do # as this machine's apt has them
    value=$(apt-config dump "$option" | sed -n "s/^$option \"\(.*\)\";$/\1/p")
    [ -z "$value" ] || aptopts+=("--aptopt=$option \"$value\"")
done

# mmdebstrap <release> <variant> <log> [option...]: a root that lives as long as its hooks, with
# the downloaded packages of that release kept in the build folder.
root() {
    local release=$1 variant=$2 log=$3 sources
    shift 3
    sources=$(sources_for "$release")
    [ -n "$sources" ] || { echo "no Debian entry for $host in this machine's apt sources" >&2; return 1; }
    mkdir -p "$work/apt-cache/$release"
    TMPDIR=$work/tmp nice -n 10 mmdebstrap --mode=root --variant="$variant" --format=null \
        --skip=essential/unlink --dpkgopt=force-unsafe-io "${aptopts[@]}" \
        --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
        --setup-hook="sync-in $work/apt-cache/$release /var/cache/apt/archives/" \
        "$@" --customize-hook="sync-out /var/cache/apt/archives $work/apt-cache/$release" \
        "$release" /dev/null "$sources" > "$work/logs/$log.log" 2>&1 ||
        { echo "FAIL: $log (last lines of $work/logs/$log.log):"; tail -n 25 "$work/logs/$log.log"; return 1; }
}
in_root='chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive'

build() { # <release>: the source package built in a fresh build root
    local out=$work/$1
    root "$1" buildd "build-$1" \
        --customize-hook='mkdir "$1/build"' --customize-hook="copy-in $PWD/${dsc[0]} $PWD/${dsc[0]%.dsc}.tar.xz /build/" \
        --customize-hook="$in_root sh -ec 'cd /build && dpkg-source -x *.dsc src && apt-get build-dep -y -q ./src'" \
        --customize-hook="$in_root sh -ec 'cd /build/src && dpkg-buildpackage -b --no-sign'" \
        --customize-hook="cp \"\$1\"/build/*.deb \"\$1\"/build/*.buildinfo $out/" || return 1
    echo "== $1: built in a fresh root at $(elapsed)"
}

installed() { # <release>: installed with apt in another fresh root, played and autopkgtested
    local out=$work/$1 build_packages
    build_packages=$(sed -n '/^# build$/,/^$/{/^[a-z0-9]/p}' deps/debian-packages.txt | tr '\n' ' ')
    root "$1" minbase "installed-$1" \
        --customize-hook="until [ -e $out/done ]; do sleep 2; done; [ -f $out/namoro_*_amd64.deb ]" \
        --customize-hook='mkdir -p "$1/tmp/namoro-check"' \
        --customize-hook="copy-in $PWD/scripts/installed-check.sh $PWD/${dsc[0]} $PWD/${dsc[0]%.dsc}.tar.xz /tmp/namoro-check/" \
        --customize-hook="cp $out/namoro_*_amd64.deb \"\$1/tmp/namoro-check/\"" \
        --customize-hook="status=0; $in_root sh -c 'bash /tmp/namoro-check/installed-check.sh /tmp/namoro-check/namoro_*_amd64.deb $build_packages \
            && apt-get install -y -q --no-install-recommends autopkgtest > /dev/null \
            && autopkgtest --output-dir /tmp/namoro-check/autopkgtest /tmp/namoro-check/*.dsc /tmp/namoro-check/namoro_*_amd64.deb -- null' \
            || status=\$?; cp -r \"\$1/tmp/namoro-check/logs\" \"\$1/tmp/namoro-check/autopkgtest\" $out/ || true; exit \$status" ||
        return 1
    echo "== $1: installed, played and autopkgtested at $(elapsed)"
    sed -n '/^== /p;/^   /p' "$work/logs/installed-$1.log" | sed 's/^/   /'
    grep -E '^[a-z0-9-]+ +(PASS|FAIL|SKIP|FLAKY)' "$out/autopkgtest/summary" | sed "s/^/   autopkgtest $1: /"
}

newcomer() { # the README's make test in a fresh Debian 13 root, then make package
    local out=$work/newcomer
    mkdir -p "$out"
    git clone -q --bare . "$work/tmp/namoro.git"
    # The root trusts the local certificate authorities this machine trusts, as it uses this
    # machine's apt sources: make deps fetches the browser tests' npm packages over HTTPS.
    root trixie minbase newcomer --include=git,make,ca-certificates \
        --customize-hook="copy-in $work/tmp/namoro.git /root/" \
        --customize-hook='if [ -d /usr/local/share/ca-certificates ]; then cp -r /usr/local/share/ca-certificates/. "$1/usr/local/share/ca-certificates/" && chroot "$1" update-ca-certificates > /dev/null; fi' \
        --customize-hook="$in_root sh -ec 'git clone -q /root/namoro.git /root/namoro && cd /root/namoro && git checkout -q $(git rev-parse HEAD) && make test && make package'" \
        --customize-hook="cp \"\$1\"/root/namoro/build/package/*.deb $out/" || return 1
    echo "== trixie: the README's make test and make package in a fresh root passed at $(elapsed)"
    grep -E '^[IWEPNO]: namoro' "$work/logs/newcomer.log" | sed 's/^/   lintian trixie: /' || true
}

same_bytes() { # <release> <folder>: each .deb of the release's build root equals the one there
    local deb status=0
    for deb in "$work/$1"/*.deb; do
        if cmp -s "$deb" "$2/$(basename "$deb")"; then
            echo "   $1: the same bytes: $(sha256sum "$deb" | cut -c1-16)…  $(basename "$deb")"
        else
            echo "FAIL: $1: $(basename "$deb") differs from the one in $2 ($work/logs/diffoscope-$1.txt)"
            diffoscope --text "$work/logs/diffoscope-$1.txt" "$deb" "$2/$(basename "$deb")" > /dev/null || true
            head -n 60 "$work/logs/diffoscope-$1.txt"
            status=1
        fi
    done
    return $status
}

echo "== $(basename "${dsc[0]}") on ${releases[*]}, from: $(sources_for trixie | cut -d' ' -f2,3 | paste -sd, -)"
pids=()
newcomer & pids+=($!)
for release in "${releases[@]}"; do
    mkdir -p "$work/$release"
    { status=0; build "$release" || status=$?; touch "$work/$release/done"; exit $status; } & pids+=($!)
    installed "$release" & pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
same_bytes bookworm build/package || failed=1
same_bytes trixie "$work/newcomer" || failed=1
[ "$failed" -eq 0 ] || { echo "FAIL: package-check (logs in $work/logs)" >&2; exit 1; }
echo "== package-check passed in $(elapsed)"
