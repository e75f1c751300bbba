#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build and test the project.
# Idempotent: what is already there is skipped, so a second run is quick.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  googletest libgtest-dev libbenchmark-dev libsndfile1-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  gstreamer1.0-plugins-good gstreamer1.0-plugins-good:i386
  xvfb xauth sox
  librsvg2-bin imagemagick fontconfig fonts-dejavu-core fonts-dejavu-extra
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (32-bit Wine)"
  as_root dpkg --add-architecture i386
  need_update=1
fi

install_missing() {
  local missing=() p
  for p in "$@"; do
    # One line per installed architecture of the package.
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -qx 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  need_update=0
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${packages[@]}"
[ "${need_update:-0}" = 1 ] && as_root apt-get update -qq

# Wine runs 32-bit Windows programs with a 32-bit Linux loader; a kernel whose
# 32-bit emulation is switched off cannot start it, and the 32-bit tests are
# then reported as skipped.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../cmake/can-run-32bit.sh" ||
  echo "setup: this kernel cannot run 32-bit programs: the i686 tests will be built but skipped"
echo "setup: all packages present"
