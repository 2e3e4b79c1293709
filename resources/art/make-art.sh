#!/usr/bin/env bash
# Draws the program's icons and About bitmap with ImageMagick. The generated files are committed;
# run this again only after changing the drawing.
#   105 app.ico            a rocket climbing along its flight curve
#   109 disconnected.ico   the rocket greyed, a red cross: no altimeter
#   110 connected.ico      the rocket in colour, a green tick: altimeter connected
#   111 about.bmp          the About banner, 386 x 109: the flight curve, the rocket at apogee, the name
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A rocket on a 256 x 256 canvas, nose up, centred on x = 128, as one drawing string.
rocket() {  # $1 body colour, $2 fin colour, $3 window colour, $4 flame colour or none
  if [ "$4" != none ]; then
    printf "fill '%s' stroke none polygon 108,196 148,196 128,250 " "$4"
  fi
  printf "stroke '#202020' stroke-width 5 "
  printf "fill '%s' polygon 96,150 72,204 98,196 polygon 160,150 184,204 158,196 " "$2"
  printf "fill '%s' path 'M 128,20 C 160,56 162,100 160,196 L 96,196 C 94,100 96,56 128,20 Z' " "$1"
  printf "fill '%s' circle 128,100 128,118" "$3"
}
colour=$(rocket '#f2f2f2' '#d62828' '#3a7bd5' '#ff9f1c')
grey=$(rocket '#b0b0b0' '#808080' '#909090' none)
still=$(rocket '#f2f2f2' '#d62828' '#3a7bd5' none)

icon() {  # $1 output .ico, then the drawing options for the 256 x 256 master
  local out=$1; shift
  convert -size 256x256 xc:none "$@" "$tmp/big.png"
  local sizes=()
  for s in 16 24 32 48 64 72 96; do
    convert "$tmp/big.png" -filter Lanczos -resize "${s}x${s}" "$tmp/$s.png"
    sizes+=("$tmp/$s.png")
  done
  convert "${sizes[@]}" "$out"
}

icon app.ico \
  -draw "fill none stroke '#3a7bd5' stroke-width 12 stroke-dasharray 18 12 path 'M 10,250 Q 30,120 100,60'" \
  -draw "$colour"

icon disconnected.ico \
  -draw "$grey" \
  -stroke '#ffffff' -strokewidth 40 -draw "line 150,150 236,236" -draw "line 236,150 150,236" \
  -stroke '#d00000' -strokewidth 24 -draw "line 150,150 236,236" -draw "line 236,150 150,236"

icon connected.ico \
  -draw "$colour" \
  -fill '#1a9e2c' -stroke '#ffffff' -strokewidth 8 -draw "circle 196,196 196,250" \
  -fill none -stroke '#ffffff' -strokewidth 16 -draw "polyline 168,198 188,218 224,176"

# About: a 386 x 109 banner: sky, a strip of ground, the dashed flight curve with the rocket at
# apogee on the left, the program's name on the right.
convert -size 256x256 xc:none -draw "$still" -resize 40x40 "$tmp/rocket.png"
convert -size 386x109 gradient:'#1d3f72-#9cc7ff' \
  -fill '#3c8c3c' -stroke none -draw "rectangle 0,97 386,109" \
  -fill none -stroke '#ffffff' -strokewidth 2 \
  -draw "stroke-dasharray 5 5 path 'M 16,97 Q 40,2 96,16 Q 146,26 172,97'" \
  "$tmp/rocket.png" -geometry +75+2 -composite \
  -font Liberation-Sans-Bold -pointsize 40 -fill '#ffffff' -stroke none \
  -gravity NorthWest -annotate +196+18 'TEV USB' \
  -font Liberation-Sans -pointsize 17 -fill '#e8f1ff' -annotate +198+62 'Version 1.40' \
  -background '#9cc7ff' -flatten -type TrueColor BMP3:about.bmp
