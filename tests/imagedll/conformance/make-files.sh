#!/usr/bin/env bash
# Writes the conformance files into DIR: ImageMagick draws three pictures and
# saves them in the formats and layouts jpeg.dll reads, PROGRAM (run through
# EMULATOR) derives the variants ImageMagick cannot write, and ImageMagick's
# own decoding of every file is stored beside it as FILE.rgba, listed with
# its size in DIR/list.txt.
#   make-files.sh DIR PROGRAM EMULATOR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 DIR PROGRAM EMULATOR" >&2; exit 2; }
dir=$1 program=$2 emulator=$3
rm -rf "$dir"
mkdir -p "$dir/src"
cd "$dir"

# An odd size, so JPEG blocks and chroma pairs are cut at the edges.
size=61x47
# photo: smooth colour with sharp edges; poster: 20-odd flat colours with a
# large area of one; drawing: five colours; alpha: photo with graded and
# fully transparent parts.
convert -size $size -seed 16 plasma:fractal -alpha off -blur 0x0.6 +antialias \
  -fill '#1030d0' -draw 'rectangle 40,4 56,20' -fill '#f0f0f0' -draw 'circle 16,30 24,36' src/photo.png
convert src/photo.png +dither -colors 24 -fill '#406080' -draw 'rectangle 0,24 60,40' src/poster.png
convert -size $size xc:white +antialias -fill red -draw 'rectangle 5,5 30,20' \
  -fill blue -draw 'circle 40,30 50,38' -fill '#208040' -draw 'polygon 2,40 20,25 25,46' \
  -fill yellow -draw 'rectangle 50,2 58,12' src/drawing.png
convert -size $size gradient:white-black -fill black -draw 'rectangle 3,3 12,10' src/fade.png
convert src/photo.png src/fade.png -alpha off -compose CopyOpacity -composite src/alpha.png

# BMP: bottom-up at 4, 8 and 24 bits and ImageMagick's own RLE8.
convert src/drawing.png -type palette -compress None bmp3:bmp-4.bmp
convert src/poster.png -type palette -compress None bmp3:bmp-8.bmp
convert src/photo.png -type truecolor bmp3:bmp-24.bmp
convert src/poster.png -type palette -compress RLE bmp3:bmp-8-rle.bmp

# TGA: the four origins, raw and run-length.
for origin in BottomLeft BottomRight TopLeft TopRight; do
  convert src/photo.png -orient $origin tga:tga-$origin.tga
  convert src/photo.png -orient $origin -compress RLE tga:tga-$origin-rle.tga
done

# GIF: a palette picture with a transparent colour.
convert src/drawing.png -transparent yellow gif-drawing.gif

# JPEG: the three chroma layouts (4:2:2 also at an even width, where the
# second-to-last column is interpolated), progressive, grey and CMYK.
jpeg() { convert src/photo.png -quality 90 "$@"; }
jpeg -sampling-factor 1x1 jpeg-444.jpg
jpeg -sampling-factor 2x1 jpeg-422.jpg
jpeg -sampling-factor 2x1 -crop 60x47+0+0 +repage jpeg-422-even-width.jpg
jpeg -sampling-factor 2x2 jpeg-420.jpg
jpeg -sampling-factor 2x2 -interlace JPEG jpeg-progressive.jpg
jpeg -colorspace Gray jpeg-grey.jpg
jpeg -colorspace CMYK jpeg-cmyk.jpg

# PNG: every bit depth of the grey, palette and colour types, with and
# without transparency (tRNS or an alpha channel).
# png SOURCE NAME OPTIONS... [png8:]: a trailing png8: picks ImageMagick's palette writer.
png() {
  local src=$1 out=$2 kind=""; shift 2
  if [ "${!#}" = png8: ]; then kind=png8:; set -- "${@:1:$#-1}"; fi
  convert "src/$src.png" "$@" "${kind}png-$out.png"
}
for bits in 1 2 4 8; do
  png drawing grey-$bits -colorspace Gray -define png:color-type=0 -define png:bit-depth=$bits
done
png photo grey-16 -colorspace Gray -depth 16 -define png:color-type=0 -define png:bit-depth=16
png drawing grey-1-transparent -colorspace Gray -threshold 50% -transparent black \
  -define png:color-type=0 -define png:bit-depth=1
png drawing grey-8-transparent -colorspace Gray -transparent white -define png:color-type=0 -define png:bit-depth=8
png drawing palette-1 +dither -colors 2 -define png:bit-depth=1 png8:
png drawing palette-2 -colors 4 -define png:color-type=3 -define png:bit-depth=2
png drawing palette-4 -define png:color-type=3 -define png:bit-depth=4
png poster palette-8 -define png:color-type=3 -define png:bit-depth=8
png drawing palette-4-transparent -transparent blue -define png:bit-depth=4 png8:
png poster palette-8-transparent -transparent '#406080' png8:
png photo rgb-8 -define png:color-type=2 -define png:bit-depth=8
png photo rgb-16 -depth 16 -define png:color-type=2 -define png:bit-depth=16
png drawing rgb-8-transparent -transparent red -define png:color-type=2 -define png:bit-depth=8
png alpha rgba-8 -define png:color-type=6 -define png:bit-depth=8
png alpha rgba-16 -depth 16 -define png:color-type=6 -define png:bit-depth=16
png alpha grey-alpha-8 -colorspace Gray -define png:color-type=4 -define png:bit-depth=8
png alpha grey-alpha-16 -colorspace Gray -depth 16 -define png:color-type=4 -define png:bit-depth=16

# The variants ImageMagick cannot write.
"$emulator" "$program" --make "Z:$dir" </dev/null

# ImageMagick's RGBA of every file. A GIF's first frame is placed on its
# screen; a TGA's origin is only a tag to ImageMagick until -auto-orient.
for f in *.*; do
  case $f in list.txt) continue ;; esac
  layout=()
  case $f in
    *.gif) layout=(-background none -flatten) ;;
    *.tga) layout=(-auto-orient) ;;
  esac
  wh=$(convert "$f[0]" "${layout[@]}" -depth 8 -print '%w %h' "rgba:$f.rgba")
  echo "$f $wh" >>list.txt
done
