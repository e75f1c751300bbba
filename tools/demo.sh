#!/usr/bin/env bash
# The main job: builds the project, makes the demo phrase and reverberates it
# with a factory preset. Installs what is missing first.
# Usage: tools/demo.sh [PRESET]   (an index 0-23 or a factory preset name; default 11, "011 - Hall")
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
preset=${1:-11}

"$root/tools/setup.sh"
cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$build/native.configure.log" 2>&1 ||
  { cat "$build/native.configure.log"; exit 1; }
ninja -C "$build/native" sombrevox-render sombrevox-demo-sound >/dev/null

out=$build/demo
mkdir -p "$out"
"$build/native/tools/demo/sombrevox-demo-sound" "$out/demo-dry.wav"
"$build/native/tools/render/sombrevox-render" "$out/demo-dry.wav" "$out/demo-reverb.wav" --preset "$preset"
echo "dry demo:        $out/demo-dry.wav"
echo "reverberated:    $out/demo-reverb.wav (factory preset $preset)"
