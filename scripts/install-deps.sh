#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# only those that are missing. Run as root (or through sudo).
set -euo pipefail

pkgs=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libhwy-dev
  libsndfile1-dev libsoxr-dev sox clang libclang-rt-14-dev
  libsdl2-dev libfltk1.3-dev
  libjack-jackd2-dev jackd2
  pulseaudio pulseaudio-utils
  xvfb xdotool imagemagick x11-utils
  desktop-file-utils man-db groff-base librsvg2-bin bsdutils
  shared-mime-info appstream xdg-utils libglib2.0-bin
  lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 jack-stdio
  libebur128-dev
  libsmf-dev librtmidi-dev python3-mido
)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
