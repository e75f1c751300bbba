#!/usr/bin/env bash
# Runs a Windows program under Wine: makes the 64-bit prefix in $WINEPREFIX on
# first use (it runs both architectures) and picks the loader by the program's
# machine type.
#
# 32-bit programs need the kernel's 32-bit emulation for Wine's 32-bit loader.
# Where the kernel has it switched off and cannot run 32-bit code at all,
# the program is not run and the script exits 77, which ctest reports as a
# skipped test (see SKIP_RETURN_CODE).
set -u
: "${WINEPREFIX:?WINEPREFIX must name the project prefix}"
export WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
here=$(cd "$(dirname "$0")" && pwd)

"$here/wine-prefix.sh" || exit 1

exe=$1
shift
machine=$(od -An -tx1 -j "$(( $(od -An -tu4 -j 60 -N4 "$exe") + 4 ))" -N2 "$exe" | tr -d ' \n')
case "$machine" in
  6486) exec /usr/lib/wine/wine64 "$exe" "$@" ;;
  4c01)
    if ! "$here/can-run-32bit.sh"; then
      echo "skipped: this kernel cannot run 32-bit programs (32-bit emulation is switched off), so 32-bit Wine cannot start $exe" >&2
      exit 77
    fi
    exec wine "$exe" "$@" ;;
  *) echo "wine-exec: $exe is not a Windows program (machine $machine)" >&2; exit 1 ;;
esac
