#!/bin/bash
# Runs as root inside a fresh minimal Debian 12 or 13 root (scripts/package-check.sh makes it):
# installs the namoro package with apt as a user would, then plays the installed game.
#   - apt pulls every dependency and the recommended qt6-wayland; none of the build's packages
#     (the remaining arguments) come in;
#   - --help and --version answer without a display, and every library the program and its
#     platform plugins load is there, before any test tool is installed;
#   - on X11 (Xvfb), started by its menu entry's Exec line: the window appears, its class is the
#     entry's StartupWMClass, the caption's font RocknRoll One is found, and End quits with 0;
#   - on Wayland (a headless Weston), from the protocol log: the title "Form1", the app id that
#     names the menu entry, and a committed buffer the size of the window.
# Usage: installed-check.sh <package.deb> <build package>...
set -euo pipefail
deb=$1
shift
build_packages=("$@")
logs=/tmp/namoro-check/logs
mkdir -p "$logs"
export DEBIAN_FRONTEND=noninteractive

step() { echo "== $* [${SECONDS} s]"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

background=()
stop_background() {
    local pid
    for pid in "${background[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap stop_background EXIT

step "apt-get install $(basename "$deb"), with what it recommends"
apt-get install -y -q -o APT::Install-Recommends=true "$deb" > "$logs/apt-install.log" 2>&1 ||
    { tail -n 30 "$logs/apt-install.log"; fail "apt could not install the package"; }
installed qt6-wayland || fail "qt6-wayland, which the package recommends, was not installed"
for package in "${build_packages[@]}"; do
    ! installed "$package" || fail "$package, a build package, came in with the game"
done
echo "   $(dpkg-query -W -f='${binary:Package} ${Version}\n' namoro), $(dpkg -l | grep -c '^ii') packages in the root"

entries=(/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] || fail "expected one menu entry, found: ${entries[*]}"
entry=${entries[0]}
program=$(sed -n 's/^Exec=//p' "$entry")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
app_id=$(basename "$entry" .desktop)
[ -x "$program" ] || fail "the menu entry's Exec line, $program, is not the installed program"

step "--help and --version without a display"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' /usr/share/metainfo/"$app_id".metainfo.xml)
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version) || fail "--version failed"
[ "$version" = "namoro $release" ] || fail "--version printed \"$version\", not \"namoro $release\""
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help > "$logs/help.txt" || fail "--help failed"
grep -q -- --version "$logs/help.txt" || fail "--help does not list --version"
echo "   $version"

step "every library of the program and its platform plugins is installed"
for binary in "$program" $(dpkg -L qt6-qpa-plugins qt6-wayland | grep '/platforms/.*\.so$'); do
    if ldd "$binary" | grep 'not found'; then fail "$binary misses a library"; fi
done

step "installing the test tools"
apt-get install -y -q --no-install-recommends xvfb xdotool x11-utils fontconfig weston \
    > "$logs/apt-tools.log" 2>&1 || { tail -n 30 "$logs/apt-tools.log"; fail "the test tools did not install"; }

step "X11: the game under Xvfb, started as its menu entry starts it"
# A free display: X's abstract sockets are shared by every root on the machine.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$logs/display" > "$logs/xvfb.log" 2>&1 &
background+=($!)
wait_for 30 test -s "$logs/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$logs/display")
"$program" > "$logs/x11-game.log" 2>&1 &
game=$!
background+=("$game")
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1) || fail "no window appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "   window Form1 appeared, ${WIDTH}x${HEIGHT}"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
[ -n "$wm_class" ] && [ "$class" = "$wm_class" ] ||
    fail "the window's class \"$class\" is not the menu entry's StartupWMClass \"$wm_class\""
echo "   WM_CLASS $class = the menu entry's StartupWMClass"
font=$(fc-match -f '%{family[0]}' 'RocknRoll One')
[ "$font" = "RocknRoll One" ] || fail "the caption's font resolves to \"$font\""
echo "   fc-match: $font"

# End: open the game menu with a click on its title, then choose its second command.
popup_open() { [ "$(xdotool search --onlyvisible --pid "$game" | wc -l)" -gt 1 ]; }
xdotool mousemove --window "$window" 20 10 click 1
wait_for 5 popup_open || fail "the game menu did not open"
xdotool key Down Down Return
wait_for 5 eval '! kill -0 "$game" 2>/dev/null' || fail "the game still runs after End"
status=0
wait "$game" || status=$?
[ "$status" -eq 0 ] || fail "End quit with status $status"
echo "   End quit with status 0"

step "Wayland: the game under a headless Weston"
export XDG_RUNTIME_DIR=/tmp/namoro-runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=namoro-wayland --idle-time=0 > "$logs/weston.log" 2>&1 &
background+=($!)
wait_for 10 test -S "$XDG_RUNTIME_DIR/namoro-wayland" || fail "Weston did not start"
WAYLAND_DISPLAY=namoro-wayland QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 "$program" \
    > "$logs/wayland-game.log" 2> "$logs/wayland-protocol.log" &
game=$!
background+=("$game")
protocol="$logs/wayland-protocol.log"

# The toplevel's surface, then the size of each buffer it commits and of its window geometry.
# A line reads "[timestamp]  -> object@id.request(arguments)"; libwayland 1.23 (Debian 13) writes
# object#id and may put the queue's name before the arrow.
committed_sizes() {
    awk '
        function arguments(list) {
            match($0, /\(.*\)/); return split(substr($0, RSTART + 1, RLENGTH - 2), list, /, /)
        }
        / -> xdg_wm_base[@#][0-9]+\.get_xdg_surface\(/ && surface == "" {
            match($0, /xdg_surface[@#][0-9]+/); xdg = substr($0, RSTART, RLENGTH)
            match($0, /wl_surface[@#][0-9]+\)/); surface = substr($0, RSTART, RLENGTH - 1)
        }
        / -> wl_shm_pool[@#][0-9]+\.create_buffer\(/ {
            arguments(arg); match(arg[1], /wl_buffer[@#][0-9]+/)
            size[substr(arg[1], RSTART, RLENGTH)] = arg[3] "x" arg[4]
        }
        surface != "" && index($0, " -> " xdg ".set_window_geometry(") { arguments(arg); geometry = arg[3] "x" arg[4] }
        surface != "" && index($0, " -> " surface ".attach(wl_buffer") {
            match($0, /wl_buffer[@#][0-9]+/); attached = substr($0, RSTART, RLENGTH)
        }
        surface != "" && attached != "" && index($0, " -> " surface ".commit()") {
            print size[attached], geometry; attached = ""
        }' "$protocol"
}
buffer_fits_window() { committed_sizes | awk '$1 == $2 && $1 ~ /^[1-9][0-9]*x[1-9][0-9]*$/ { found = 1 } END { exit !found }'; }
wait_for 30 buffer_fits_window || {
    committed_sizes
    fail "no buffer the size of the window was committed (protocol log: $protocol)"
}
grep -q -- '-> xdg_toplevel[@#][0-9]*\.set_title("Form1")' "$protocol" || fail "the title Form1 was not set"
grep -q -- "-> xdg_toplevel[@#][0-9]*\.set_app_id(\"$app_id\")" "$protocol" ||
    fail "the app id $app_id, the menu entry's name, was not set"
kill -0 "$game" 2>/dev/null || fail "the game ended on its own under Wayland"
echo "   title Form1, app id $app_id, buffer $(committed_sizes | awk '$1 == $2 { print $1; exit }') = window geometry"
