#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX once: a 64-bit prefix, no sound driver
# (keeps audio messages out of the logs), and windows left unmanaged: with
# no window manager on Xvfb, Wine would wait about a second for one at every
# activation and close of a captioned window. Safe to call from parallel runs.
set -u
: "${WINEPREFIX:?}"
export WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
[ -f "$WINEPREFIX/.sombrevox-ready-2" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.sombrevox-ready-2" ] && exit 0
echo "wine-prefix: creating $WINEPREFIX (about 15 s)" >&2
loader=/usr/lib/wine/wine64
"$(dirname "$0")/can-run-32bit.sh" && loader=wine
"$loader" wineboot -i >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d "" /f >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.sombrevox-ready-2"
