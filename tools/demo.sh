#!/usr/bin/env bash
# The main job: builds the project, makes the demo phrase and reverberates it
# with a factory preset through the real OVSombrevoxLight.dll, registered in
# the project's Wine prefix and running in the platform's own filter graph.
# The native renderer's result is kept beside it for comparison.
# Installs what is missing first; a second run only redoes the audio.
# Usage: tools/demo.sh [PRESET]   (an index 0-23 or a factory preset name; default 11, "011 - Hall")
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
preset=${1:-11}

"$root/tools/setup.sh"

# configure_and_build NAME TARGETS -- CMAKE-ARGUMENTS: quiet unless it fails
# (CMAKE_BUILD_PARALLEL_LEVEL limits the build's jobs).
configure_and_build() {
  local name=$1 targets=() log="$build/$1.demo-build.log"
  shift
  while [ "$1" != "--" ]; do targets+=("$1"); shift; done
  shift
  mkdir -p "$build"
  { cmake -S "$root" -B "$build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" &&
    cmake --build "$build/$name" --target "${targets[@]}"; } >"$log" 2>&1 ||
    { tail -n 40 "$log"; echo "demo: building $name failed (log: $log)" >&2; exit 1; }
}

# The demo phrase and the native renderer run natively; the module and the
# graph host are Windows programs (64-bit: they run wherever 64-bit Wine does).
configure_and_build native sombrevox-render sombrevox-demo-sound --
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
configure_and_build x86_64 OVSombrevoxLight sombrevox-graph -- \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" -DSOMBREVOX_WINEPREFIX="$WINEPREFIX"
"$root/cmake/wine-prefix.sh"

wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$(command -v wine64 || command -v wine)
dll=$build/x86_64/filter/OVSombrevoxLight.dll
# regsvr32 calls DllRegisterServer, which writes the class keys and the
# filter mapper's entry; sombrevox-graph finds the filter only through them.
if ! "$wine64" regsvr32 /s "Z:${dll//\//\\}" >/dev/null 2>&1; then
  echo "demo: regsvr32 reported a failure for $dll; trying the filter anyway" >&2
fi

out=$build/demo
mkdir -p "$out"
"$build/native/tools/demo/sombrevox-demo-sound" "$out/demo-dry.wav"
"$build/x86_64/wine-run.sh" "$build/x86_64/tools/graph/sombrevox-graph.exe" \
  "$out/demo-dry.wav" "$out/demo-reverb.wav" --preset "$preset"
"$build/native/tools/render/sombrevox-render" "$out/demo-dry.wav" "$out/demo-reverb-native.wav" --preset "$preset"

echo "dry demo:        $out/demo-dry.wav"
echo "reverberated:    $out/demo-reverb.wav (factory preset $preset, OVSombrevoxLight.dll in Wine's filter graph)"
if cmp -s "$out/demo-reverb.wav" "$out/demo-reverb-native.wav"; then
  echo "native renderer: $out/demo-reverb-native.wav (identical)"
else
  echo "native renderer: $out/demo-reverb-native.wav (differs from the filter's result)"
fi
