#!/usr/bin/env bash
# The plugins in the hosts a Linux user has, against the renderer:
#   host_tests.sh CASE LV2_DIR LADSPA_DIR RENDER DEMO_SOUND COMPARE
# CASE is describe (lv2ls, lv2info), lv2apply, lv2file or sox. The hosts find
# the plugins only through LV2_PATH and LADSPA_PATH, set to the build tree.
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: host_tests.sh CASE LV2_DIR LADSPA_DIR RENDER DEMO_SOUND COMPARE" >&2; exit 2; }
case=$1 render=$4 demo=$5 compare=$6
export LV2_PATH=$2 LADSPA_PATH=$3
stereo=urn:orvela-soft:sombrevox-light
mono=$stereo:mono
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is not installed (tools/setup.sh installs it)"; }
# Runs a host; in a sanitized build with the sanitizer's runtime preloaded.
host() { LD_PRELOAD=${SOMBREVOX_HOST_PRELOAD:-} "$@"; }
ok() { echo "ok: $*"; }

# The eight values of factory preset $1 as the renderer lists them.
preset_values() { "$render" --list-presets | awk -v n="$1" '$1 == n { for (i = NF - 7; i <= NF; i++) print $i }'; }
# The 24 preset names, one a line.
preset_names() { "$render" --list-presets | tail -n +2 | cut -c5-32 | sed 's/ *$//'; }
symbols=(predelay size lowpass diffusion decay damping mix level)

# lv2apply takes "-c SYMBOL VALUE" per control.
control_args() {
  local values i=0 v
  mapfile -t values < <(preset_values "$1")
  [ ${#values[@]} -eq 8 ] || fail "the renderer lists no preset $1"
  for v in "${values[@]}"; do printf -- '-c\n%s\n%s\n' "${symbols[i]}" "$v"; i=$((i + 1)); done
}

# A stereo and a mono float file, the 16-bit stereo original, and their renders.
make_inputs() {
  "$demo" "$work/in16.wav" >/dev/null
  "$demo" --float "$work/in.wav" >/dev/null
  sox "$work/in.wav" "$work/mono.wav" remix 1
}
rendered() {  # INPUT PRESET: the renderer's float output for them
  local out=$work/ref-$(basename "$1" .wav)-$2.wav
  [ -f "$out" ] || "$render" "$1" "$out" --preset "$2" >&2 || fail "sombrevox-render $1 --preset $2"
  echo "$out"
}
same() {  # ACTUAL EXPECTED [--step-bits N] WHAT
  local what=${*: -1}
  "$compare" "${@:1:$#-1}" || fail "$what differs from sombrevox-render"
  ok "$what"
}

# The preset names in lv2info's output: indented lines after "Presets:".
listed_presets() { awk '/^\tPresets:/ { on = 1; next } on && /^\t +[^ ]/ { sub(/^[ \t]+/, ""); print; next } on { exit }'; }

describe() {
  need lv2ls
  need lv2info
  local listed info
  listed=$(host lv2ls)
  grep -qx "$stereo" <<<"$listed" || fail "lv2ls does not list $stereo"
  grep -qx "$mono" <<<"$listed" || fail "lv2ls does not list $mono"
  ok "lv2ls lists both plugins"

  info=$(host lv2info "$stereo")
  grep -q 'Name: *Sombrevox Light$' <<<"$info" || fail "lv2info shows no plugin name"
  grep -q 'reported by port 12' <<<"$info" || fail "the latency port is not described"
  grep -q 'hardRTCapable' <<<"$info" || fail "hard realtime capability is not described"
  # Each control: symbol, then its range and default, in record order.
  local expected="predelay 1 250 33|size 30 20000 250|lowpass 500 16000 10000|diffusion 0.5 1 1|decay 300 8000 1200|damping 0.2 0.9 0.5|mix 0 1 0.5|level -15 3 0"
  local described
  described=$(awk '/^\tPort [0-7]:/ { port = 1 } /^\tPort ([89]|1[0-9]):/ { port = 0 }
      port && /Symbol:/ { s = $2 } port && /Minimum:/ { lo = $2 + 0 } port && /Maximum:/ { hi = $2 + 0 }
      port && /Default:/ { printf "%s%s %g %g %g", sep, s, lo, hi, $2 + 0; sep = "|" }' <<<"$info")
  [ "$described" = "$expected" ] || fail "controls described as '$described', expected '$expected'"
  for port in "Port 8:" "Port 9:" "Port 10:" "Port 11:"; do
    grep -q "$port" <<<"$info" || fail "lv2info shows no $port"
  done
  ok "lv2info describes the eight controls with their ranges and defaults, and the audio ports"

  local presets
  presets=$(listed_presets <<<"$info" | sort)
  [ "$(wc -l <<<"$presets")" -eq 24 ] || fail "lv2info shows $(wc -l <<<"$presets") presets, expected 24"
  [ "$presets" = "$(preset_names | sort)" ] || fail "the presets' names differ from the factory table"
  ok "lv2info shows the 24 factory presets by name"

  info=$(host lv2info "$mono")
  grep -q 'Symbol: *in$' <<<"$info" && grep -q 'reported by port 11' <<<"$info" ||
    fail "the mono plugin's ports are not described"
  [ "$(listed_presets <<<"$info" | wc -l)" -eq 24 ] || fail "the mono plugin does not show the 24 presets"
  ok "lv2info describes the mono plugin and its presets"
}

run_lv2apply() {
  need lv2apply
  need sox
  make_inputs
  host lv2apply -i "$work/in.wav" -o "$work/default.wav" "$stereo" || fail "lv2apply with the default values"
  same "$work/default.wav" "$(rendered "$work/in.wav" 0)" "lv2apply, default values"
  local args
  mapfile -t args < <(control_args 11)
  host lv2apply -i "$work/in.wav" -o "$work/hall.wav" "${args[@]}" "$stereo" || fail "lv2apply with preset 11's values"
  same "$work/hall.wav" "$(rendered "$work/in.wav" 11)" "lv2apply, the values of 011 - Hall"
  mapfile -t args < <(control_args 22)
  host lv2apply -i "$work/mono.wav" -o "$work/mono-22.wav" "${args[@]}" "$mono" || fail "lv2apply, mono plugin"
  same "$work/mono-22.wav" "$(rendered "$work/mono.wav" 22)" "lv2apply, mono plugin, the values of preset 22"
}

run_lv2file() {
  need lv2file
  need sox
  make_inputs
  host lv2file -i "$work/in.wav" -o "$work/hall.wav" -P "011 - Hall" "$stereo" >/dev/null ||
    fail "lv2file with the preset 011 - Hall"
  same "$work/hall.wav" "$(rendered "$work/in.wav" 11)" "lv2file, preset 011 - Hall"
  host lv2file -b 64 -i "$work/mono.wav" -o "$work/mono-13.wav" -P "013 - Huge bright space" "$mono" >/dev/null ||
    fail "lv2file, mono plugin"
  same "$work/mono-13.wav" "$(rendered "$work/mono.wav" 13)" "lv2file, mono plugin, 64-frame blocks, preset 013"
}

run_sox() {
  need sox
  local help
  help=$(sox --help-effect ladspa 2>&1 || true)
  grep -q 'ladspa MODULE' <<<"$help" || fail "this sox has no ladspa effect"
  make_inputs
  # sox hands the plugin the 16-bit samples as exact floats; without dither
  # it rounds the result back to 16 bits.
  sox "$work/in16.wav" -e floating-point -b 32 "$work/in16f.wav"
  sox "$work/mono.wav" -e signed-integer -b 16 "$work/mono16.wav"
  sox "$work/mono16.wav" -e floating-point -b 32 "$work/mono16f.wav"
  local values
  mapfile -t values < <(preset_values 0)
  host sox -D "$work/in16.wav" "$work/default.wav" ladspa sombrevox.so sombrevox "${values[@]}" ||
    fail "sox ladspa with the default values"
  same "$work/default.wav" "$(rendered "$work/in16f.wav" 0)" --step-bits 16 "sox ladspa, default values"
  mapfile -t values < <(preset_values 11)
  # A mono file goes through the stereo plugin with both inputs the same,
  # which is the engine's mono path sample for sample.
  host sox -D "$work/mono16.wav" "$work/mono-hall.wav" channels 2 ladspa sombrevox.so sombrevox "${values[@]}" ||
    fail "sox ladspa, mono file"
  same "$work/mono-hall.wav" "$(rendered "$work/mono16f.wav" 11)" --step-bits 16 "sox ladspa, mono file, 011 - Hall"
}

case $case in
  describe) describe ;;
  lv2apply) run_lv2apply ;;
  lv2file) run_lv2file ;;
  sox) run_sox ;;
  *) fail "unknown case $case" ;;
esac
