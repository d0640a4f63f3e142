#!/usr/bin/env bash
# Installs the Debian packages of deps/debian-packages.txt that are not installed yet.
set -euo pipefail
list="$(dirname "$0")/../deps/debian-packages.txt"
missing=()
while read -r pkg; do
    [ -z "$pkg" ] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list")
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
