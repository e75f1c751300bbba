#!/usr/bin/env bash
# Previews of the editor's bitmaps as a person sees them: every bitmap
# enlarged, and the page with the knob, the fader cap, the select buttons, a
# sample reading in the display and its level meter composited where the
# controls draw them. Usage: tools/art/preview.sh BUILD_DIR (a cross build
# whose bitmaps are made: ninja sombrevox_bitmaps). Writes
# BUILD_DIR/resources/bitmaps/preview/*.png.
set -euo pipefail

bitmaps=${1:?usage: preview.sh BUILD_DIR}/resources/bitmaps
out=$bitmaps/preview
mkdir -p "$out"
im=$(command -v convert-im6.q16 || command -v convert)
scale=${SCALE:-3}

for bmp in "$bitmaps"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  "$im" "$bmp" -filter point -resize "$((scale * 100))%" "$out/$name.png"
done

# The knob's pointer line as the knob draws it: from radius 5 to radius 19
# around (40, 40), with a black shadow one pixel down and right.
pointer_end() {  # position radius -> "x,y" in page coordinates
  awk -v p="$1" -v r="$2" 'BEGIN { a = p * 4.71 / 1000 + 2.36
    printf "%d,%d", int(r * cos(a) + 40 + 0.5) + 11, int(r * sin(a) + 40 + 0.5) + 13 }'
}
knob_position=${KNOB_POSITION:-700}
inner=$(pointer_end "$knob_position" 5)
outer=$(pointer_end "$knob_position" 19)
shadow() { awk -F, '{ printf "%d,%d", $1 + 1, $2 + 1 }' <<<"$1"; }

# The fader cap at the level position (0..300): drawn at x -13 and
# y = position / 5 + 12 - 25 in the fader's own coordinates.
level_position=${LEVEL_POSITION:-50}
cap_y=$((15 + level_position / 5 + 12 - 25))

# Nine meter segments of 2 rows with 1-row gaps, from display row 26 upwards,
# the lit ones in the ink colour.
meter=()
lit=$(awk -v v="$((300 - level_position))" 'BEGIN { g = v * 0.0033333333333333335 * 9; print (g >= 0.5 ? int(g) + 1 : 0) }')
bottom=$((34 + 28))
for k in 1 2 3 4 5 6 7 8 9; do
  colour="rgb(136,184,31)"
  [ "$k" -le "$lit" ] && colour="rgb(55,90,55)"
  meter+=(-fill "$colour" -draw "rectangle 318,$((bottom - 2)) 321,$((bottom - 1))")
  bottom=$((bottom - 3))
done

ink="rgb(55,90,55)"
"$im" "$bitmaps/skin.bmp" \
  \( "$bitmaps/knob-a.bmp" -transparent "rgb(0,0,255)" \) -geometry +11+13 -composite \
  \( "$bitmaps/slider-cap.bmp" -transparent "rgb(0,0,255)" \) -geometry "+369+$cap_y" -composite \
  "$bitmaps/left-dim.bmp" -geometry +89+80 -composite \
  "$bitmaps/right-lit.bmp" -geometry +111+80 -composite \
  -stroke black -draw "line $(shadow "$inner") $(shadow "$outer")" \
  -stroke "rgb(137,137,137)" -draw "line $inner $outer" -stroke none \
  -font DejaVu-Sans-Bold -pointsize 10 -fill "$ink" -draw "text 149,47 'Mix'" -draw "text 149,59 '35 %'" \
  -font DejaVu-Sans -pointsize 9 -draw "text 186,47 'Predly'" -draw "text 186,59 '20 ms'" \
  -draw "text 229,47 'Decay'" -draw "text 229,59 '2.1 s'" -draw "text 272,47 'LP Cut'" -draw "text 272,59 '8 kHz'" \
  -pointsize 7 -draw "text 143,70 'Level'" -draw "text 290,70 '0.0 dB'" \
  "${meter[@]}" "$out/page-1x.png"
"$im" "$out/page-1x.png" -filter point -resize "$((scale * 100))%" "$out/page.png"
echo "previews in $out"
