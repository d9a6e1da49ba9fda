#!/usr/bin/env bash
# imgtool_test.sh IMGTOOL WORKDIR: runs imgtool on pictures made by ImageMagick and checks what
# it writes with ImageMagick's identify, compare and convert.
set -uo pipefail
tool=$1
work=$2
command -v identify >/dev/null && command -v convert >/dev/null || { echo "ImageMagick missing"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected '$2', got '$3'"
    failures=$((failures + 1))
  fi
}
# Pixels that differ between two pictures (0 for identical pictures).
differing() { compare -metric AE "$1" "$2" null: 2>&1; }
# One channel of one pixel, 0..255.
channel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.$4+0.5)]" info:; }

convert -size 64x48 gradient:red-blue -fill white -draw "rectangle 10,10 20,30" -depth 8 in.png
convert in.png -type truecolor BMP3:in24.bmp
convert in.png -type truecolor -define bmp:subtype=RGB565 BMP3:in565.bmp
convert in.png -type palette BMP3:in8.bmp
# ImageMagick 6 stores TGA rows top first even when its descriptor says bottom-left; with the
# top-left origin bit set the file is unambiguous.
convert in.png -type truecolor -compress RLE -orient TopLeft in.tga
convert in.png -quality 95 in.jpg
convert -size 30x20 xc:'#336699' uniform.png
convert -size 9x9 xc:black -fill white -draw "point 4 4" dot.png

# info: width height depth source-depth tag
check "info png" "64 48 24 24 PNG" "$("$tool" info in.png)"
check "info bmp565" "64 48 24 16 BMP" "$("$tool" info in565.bmp)"
check "info bmp8" "64 48 24 8 BMP" "$("$tool" info in8.bmp)"
check "info tga" "64 48 24 24 TGA" "$("$tool" info in.tga)"
check "info jpeg" "64 48 24 24 JPEG" "$("$tool" info in.jpg)"

# Lossless conversions keep every pixel, whatever the reader.
for f in in.png in24.bmp in8.bmp in.tga; do
  "$tool" convert "$f" "out-$f.bmp" || check "convert $f" 0 $?
  check "identify $f" "64x48 BMP3" "$(identify -format '%wx%h %m' "out-$f.bmp")"
  check "pixels $f" 0 "$(differing in.png "out-$f.bmp")"
done
# 5-6-5 bit fields keep the top five or six bits of each channel.
"$tool" convert in565.bmp out565.bmp
check "565 red" 248 "$(channel out565.bmp 15 15 r)"
check "565 green" 252 "$(channel out565.bmp 15 15 g)"

# JPEG: quality 0..10 times ten; the default 7.
"$tool" convert in.png q10.jpg --quality 10
"$tool" convert in.png q7.jpg
check "quality 10" "100 JPEG 64x48" "$(identify -format '%Q %m %wx%h' q10.jpg)"
check "quality 7" "70" "$(identify -format '%Q' q7.jpg)"
check "jpeg colour" 1 "$(( $(channel q10.jpg 15 15 g) > 250 ))"

# Paletted and 32-bit BMP files are read by other programs at the bits they say.
for depth in 1 4 8 32; do
  "$tool" convert in.png "d$depth.bmp" --depth "$depth" || check "depth $depth" 0 $?
  check "bits $depth" "$depth" "$(od -An -tu2 -j28 -N2 "d$depth.bmp" | tr -d ' ')"
  check "identify depth $depth" "64x48" "$(identify -format '%wx%h' "d$depth.bmp")"
done
check "8-bit white" 255 "$(channel d8.bmp 15 15 b)"
"$tool" convert in.png d16.bmp --depth 16 2>/dev/null
check "depth 16 refused" 1 $?

# Blur: a uniform picture is unchanged; one white dot spreads to 255 / 3 / 3 = 28.
"$tool" blur uniform.png blurred.bmp 7
check "uniform blur" 0 "$(differing uniform.png blurred.bmp)"
"$tool" blur dot.png dot.bmp 1
check "dot centre" 28 "$(channel dot.bmp 4 4 r)"
check "dot corner" 28 "$(channel dot.bmp 3 5 g)"
check "dot outside" 0 "$(channel dot.bmp 2 4 b)"
"$tool" blur dot.png bad.bmp 101 2>/dev/null
check "radius 101" 1 $?

# Resize, smooth and raw.
"$tool" resize in.png big.jpg 100 75
check "resize" "100x75" "$(identify -format '%wx%h' big.jpg)"
"$tool" resize dot.png raw.bmp 18 18 --raw
check "raw repeats" 255 "$(channel raw.bmp 9 9 r)"
check "raw edge" 0 "$(channel raw.bmp 7 9 r)"

# The library: unique names, 800 x 600 at quality 100, 100 x 75 thumbnails at 70.
mkdir config
check "add" "in.jpg in1.jpg" "$("$tool" library add config in.png in.tga | tr '\n' ' ' | sed 's/ $//')"
check "stored" "800x600 100" "$(identify -format '%wx%h %Q' config/imgs/in.jpg)"
check "thumbnail" "100x75 70" "$(identify -format '%wx%h %Q' config/thumbs/in1.jpg)"
check "list" "in.jpg in1.jpg" "$("$tool" library list config | sort | tr '\n' ' ' | sed 's/ $//')"
"$tool" library remove config in.jpg
check "after remove" "in1.jpg" "$("$tool" library list config)"
check "thumbnail removed" "no" "$([[ -e config/thumbs/in.jpg ]] && echo yes || echo no)"
"$tool" library remove config in.jpg 2>/dev/null
check "remove twice" 1 $?

# Failures: one line on stderr and a non-zero exit, never a crash.
for args in "info missing.png" "convert in.png out.gif" "info uniform" "resize in.png x.bmp 0 5" \
            "library add config missing.png" "bogus"; do
  printf 'junk' > uniform
  # shellcheck disable=SC2086
  "$tool" $args 2> err.txt >/dev/null
  code=$?
  check "exit of '$args'" 1 "$(( code == 1 || code == 2 ))"
  check "stderr of '$args'" 1 "$(wc -l < err.txt | tr -d ' ')"
done
head -c 300 in24.bmp > cut.bmp
check "truncated bmp" "64 48 24 24 BMP" "$("$tool" info cut.bmp)"
head -c 200 in.jpg > cut.jpg
"$tool" info cut.jpg 2>/dev/null
check "truncated jpeg" 1 $?

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
