#!/usr/bin/env bash
# Draws the lobby advert shown in the download window (400 x 339 JPEG) with
# ImageMagick. Run it again after changing the picture and commit the result.
set -euo pipefail
cd "$(dirname "$0")"

convert=/usr/bin/convert
fonts=/usr/share/fonts/truetype/dejavu
bold="$fonts/DejaVuSans-Bold.ttf"
plain="$fonts/DejaVuSans.ttf"
serif="$fonts/DejaVuSerif-Bold.ttf"
out=lobby_advert.jpg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One playing card: white face, rounded corners, corner index and a big pip.
card() {  # card NAME RANK SUIT COLOUR
  "$convert" -size 70x98 xc:none -fill white -stroke '#555555' -strokewidth 1 \
    -draw 'roundrectangle 1,1 68,96 7,7' \
    -stroke none -fill "$4" -font "$bold" -pointsize 15 -annotate +6+18 "$2" \
    -font "$plain" -pointsize 14 -annotate +6+34 "$3" \
    -pointsize 46 -gravity center -annotate +2+8 "$3" \
    "$work/$1.png"
}
card a A '♥' '#c8102e'
card b K '♠' '#111111'
card c Q '♦' '#c8102e'
card d J '♣' '#111111'

# A fan of the four cards with a soft shadow.
"$convert" -size 230x170 xc:none \
  \( "$work/a.png" -background none -rotate -24 \) -geometry +6+30 -composite \
  \( "$work/b.png" -background none -rotate -8 \) -geometry +52+12 -composite \
  \( "$work/c.png" -background none -rotate 8 \) -geometry +98+12 -composite \
  \( "$work/d.png" -background none -rotate 24 \) -geometry +140+30 -composite \
  "$work/fan.png"
"$convert" "$work/fan.png" \( +clone -background black -shadow 60x4+4+5 \) +swap \
  -background none -layers merge +repage "$work/fan_shadow.png"

# Felt-green table with a lighter centre, a gold frame and the texts.
"$convert" -size 400x339 radial-gradient:'#2f9a55'-'#0b4a25' \
  -fill none -stroke '#e8c25a' -strokewidth 4 -draw 'roundrectangle 5,5 394,333 14,14' \
  -stroke '#e8c25a' -strokewidth 1 -draw 'roundrectangle 12,12 387,326 10,10' \
  -stroke none -fill '#ffe27a' -font "$serif" -pointsize 30 -gravity north -annotate +0+20 'PLAY CARDS ONLINE' \
  -fill white -font "$bold" -pointsize 17 -annotate +0+58 'with your friends, any time' \
  "$work/fan_shadow.png" -gravity center -geometry -2+8 -composite \
  -fill '#00000080' -draw 'roundrectangle 24,246 376,274 8,8' \
  -fill white -font "$plain" -pointsize 13 -gravity north \
  -annotate +0+252 'Free tables  •  Live chat  •  Partners  •  Tournaments' \
  -fill '#d62828' -stroke '#7a0c0c' -strokewidth 2 -draw 'roundrectangle 92,284 308,318 16,16' \
  -stroke none -fill white -font "$bold" -pointsize 17 -annotate +0+290 'JOIN THE LOBBY FREE' \
  -quality 88 -sampling-factor 4:2:0 -strip "$out"

echo "wrote $(pwd)/$out"
