#!/usr/bin/env bash
# Draws the About picture (380 x 240, baseline JPEG, three colour
# components) and the program icon (256 x 256 PNG) with ImageMagick.
# The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

# A strip of film frames over a dusk gradient, the name in large letters,
# and a light band at the bottom for the version label and the Ok button.
convert -size 380x150 gradient:'#1d2b64'-'#f8cdda' \
  \( -size 380x90 xc:'#f4f1ea' \) -append \
  -fill '#2b2b2b' -draw 'rectangle 0,18 380,66' \
  -fill '#f4f1ea' \
  -draw 'rectangle 8,22 20,28' -draw 'rectangle 40,22 52,28' -draw 'rectangle 72,22 84,28' \
  -draw 'rectangle 104,22 116,28' -draw 'rectangle 136,22 148,28' -draw 'rectangle 168,22 180,28' \
  -draw 'rectangle 200,22 212,28' -draw 'rectangle 232,22 244,28' -draw 'rectangle 264,22 276,28' \
  -draw 'rectangle 296,22 308,28' -draw 'rectangle 328,22 340,28' -draw 'rectangle 360,22 372,28' \
  -draw 'rectangle 8,56 20,62' -draw 'rectangle 40,56 52,62' -draw 'rectangle 72,56 84,62' \
  -draw 'rectangle 104,56 116,62' -draw 'rectangle 136,56 148,62' -draw 'rectangle 168,56 180,62' \
  -draw 'rectangle 200,56 212,62' -draw 'rectangle 232,56 244,62' -draw 'rectangle 264,56 276,62' \
  -draw 'rectangle 296,56 308,62' -draw 'rectangle 328,56 340,62' -draw 'rectangle 360,56 372,62' \
  -fill '#e94560' -draw 'circle 40,45 40,35' \
  -fill '#f5a623' -draw 'circle 110,45 110,37' \
  -fill '#50c878' -draw 'circle 180,45 180,39' \
  -fill '#4aa3df' -draw 'circle 250,45 250,41' \
  -fill '#ffffff' -draw 'circle 320,45 320,43' \
  -font Helvetica-Bold -pointsize 44 -fill '#ffffff' -annotate +104+118 'Tovasel' \
  -font Helvetica -pointsize 13 -fill '#1d2b64' -annotate +112+145 'FLIC animations to GIF' \
  -colorspace sRGB -type TrueColor -interlace none -sampling-factor 2x2 -quality 88 \
  -strip about.jpg

# Three frames of a filmstrip tilting into a GIF-like grid of colours.
convert -size 256x256 xc:none \
  -fill '#1d2b64' -draw 'roundrectangle 16,16 240,240 36,36' \
  -fill '#2b2b2b' -draw 'rectangle 40,56 216,200' \
  -fill '#f4f1ea' \
  -draw 'rectangle 48,64 60,74' -draw 'rectangle 88,64 100,74' -draw 'rectangle 128,64 140,74' \
  -draw 'rectangle 168,64 180,74' -draw 'rectangle 196,64 208,74' \
  -draw 'rectangle 48,182 60,192' -draw 'rectangle 88,182 100,192' -draw 'rectangle 128,182 140,192' \
  -draw 'rectangle 168,182 180,192' -draw 'rectangle 196,182 208,192' \
  -fill '#e94560' -draw 'rectangle 52,86 96,170' \
  -fill '#f5a623' -draw 'rectangle 106,86 150,170' \
  -fill '#50c878' -draw 'rectangle 160,86 204,170' \
  -strip tovasel.png
