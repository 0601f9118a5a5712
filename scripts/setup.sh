#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine (as root),
# and the npm package with the scripture data. Safe to run again.
#   setup.sh            install what is missing
#   setup.sh --list     print the Debian packages it installs, one a line
#   setup.sh --outside  print the programs it accepts from outside Debian
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
step="starting"
trap 'code=$?; echo "setup: failed while $step (exit status $code)" >&2; exit $code' ERR

packages=(
    # build
    cmake make g++ clang libclang-rt-14-dev clang-format pkg-config
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    googletest libbenchmark-dev nlohmann-json3-dev
    # an mp3 decoder for the time-stretch benchmark's baseline
    libmpg123-dev
    # generators: ayah pictures, pages, sounds, installer
    libharfbuzz-dev libfreetype-dev libgif-dev fonts-hosny-amiri fonts-dejavu-core
    # Bengali and Chinese letters for the test bed's screenshots of the translations
    fonts-lohit-beng-bengali fonts-wqy-microhei
    # the Wine test bed, sound (played and recorded) for the player's tests, a browser for the pages' tests
    wine wine64 xvfb xauth x11-apps imagemagick pulseaudio pulseaudio-utils sox libsox-fmt-mp3 lame chromium
    # the installer
    nsis zip unzip osslsigncode openssl
    # used by the test scripts
    bc curl git python3
)
case "${1:-}" in
--list) printf '%s\n' "${packages[@]}"; exit 0 ;;
--outside) printf '%s\n' npm node npx; exit 0 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm may come with a Node.js of its own (as on these machines); only a machine without
# any npm gets Debian's.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    step="updating the package lists (apt-get update)"
    apt-get update -q
    step="installing ${missing[*]} (apt-get install)"
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cd "$root"
if [ ! -f node_modules/quran-json/package.json ] ||
    ! cmp -s package-lock.json node_modules/.package-lock.json.noravel 2>/dev/null; then
    step="fetching the scripture data (npm ci in $root)"
    npm ci --ignore-scripts --no-audit --no-fund
    cp package-lock.json node_modules/.package-lock.json.noravel
fi
