#!/usr/bin/env bash
# Installs the Debian packages of deps/debian-packages.txt that are not installed yet, then the
# browser tests' npm packages exactly as tests/web/package-lock.json pins them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
list="$root/deps/debian-packages.txt"
# A name counts as installed when an installed package provides it too (a nodejs that carries npm).
provided=" $(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Provides}\n' 2>/dev/null | awk '/^ii/ { $1 = ""; print }' |
    sed -e 's/ ([^)]*)//g' -e 's/,/ /g' | tr '\n' ' ') "
missing=()
while read -r pkg; do
    [ -z "$pkg" ] && continue
    [[ "$provided" == *" $pkg "* ]] || missing+=("$pkg")
done < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list")
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# No install script runs, and puppeteer-core downloads no browser: the tests drive Debian's.
web_tests="$root/tests/web"
if ! cmp -s "$web_tests/package-lock.json" "$web_tests/node_modules/.namoro-installed"; then
    echo "installing tests/web's npm packages"
    (cd "$web_tests" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
    cp "$web_tests/package-lock.json" "$web_tests/node_modules/.namoro-installed"
fi
