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
  local missing=() p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
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

# Wine runs 32-bit Windows programs with a 32-bit Linux loader. Some kernels
# have their 32-bit emulation switched off; there the loader runs under qemu's
# user-mode emulator instead, registered for 32-bit x86 programs (slower, but
# the same Wine).
here=$(cd "$(dirname "$0")" && pwd)
if ! "$here/../cmake/can-run-32bit.sh"; then
  install_missing qemu-user-static
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt" || true
  if [ -e "$binfmt/register" ]; then
    elf32='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    [ -e "$binfmt/sombrevox-i386" ] ||
      echo ":sombrevox-i386:M::${elf32}\x02\x00\x03\x00:${mask}:/usr/bin/qemu-i386-static:F" | as_root tee "$binfmt/register" >/dev/null || true
    [ -e "$binfmt/sombrevox-i386-dyn" ] ||
      echo ":sombrevox-i386-dyn:M::${elf32}\x03\x00\x03\x00:${mask}:/usr/bin/qemu-i386-static:F" | as_root tee "$binfmt/register" >/dev/null || true
  fi
  if "$here/../cmake/can-run-32bit.sh"; then
    echo "setup: this kernel cannot run 32-bit programs; 32-bit Wine runs under qemu-i386"
  else
    echo "setup: this kernel cannot run 32-bit programs and qemu could not be registered: 32-bit tests will be skipped"
  fi
fi
echo "setup: all packages present"
