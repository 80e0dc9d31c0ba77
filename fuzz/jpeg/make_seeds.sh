#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Writes the starting inputs of the JPEG fuzzer: small files of every kind
# the decoder meets (baseline, progressive, arithmetic, greyscale, 4:4:4,
# restart markers, CMYK and YCCK, 12-bit), made from the libjpeg-turbo test
# picture in tests/data/refimages/ with libjpeg's own tools.
#
#   fuzz/jpeg/make_seeds.sh OUTPUT_DIR
#
# The fuzzer grows these; the kept corpus in fuzz/corpus/jpeg/ is the result
# of merging what it found back into a few dozen files (libFuzzer -merge=1).
set -euo pipefail
pictures=$(cd "$(dirname "$0")/../../tests/data/refimages" && pwd)
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

djpeg -scale 1/8 -ppm "$pictures/testorig.jpg" >"$work/small.ppm"
cjpeg -quality 75 "$work/small.ppm" >"$out/baseline.jpg"
cjpeg -progressive "$work/small.ppm" >"$out/progressive.jpg"
cjpeg -arithmetic "$work/small.ppm" >"$out/arithmetic.jpg"
cjpeg -grayscale "$work/small.ppm" >"$out/grey.jpg"
cjpeg -grayscale -progressive "$work/small.ppm" >"$out/grey-progressive.jpg"
cjpeg -sample 1x1 -optimize "$work/small.ppm" >"$out/444.jpg"
cjpeg -sample 2x1 -restart 1B "$work/small.ppm" >"$out/422-restart.jpg"
cjpeg -rgb "$work/small.ppm" >"$out/rgb.jpg"
head -c 600 "$pictures/monkey12.jpg" >"$out/twelve-bit-head.jpg"

# CMYK and YCCK: cjpeg cannot make them, the compressor can.
cat >"$work/cmyk.c" <<'C'
#include <stdio.h>
#include <jpeglib.h>
int main(int argc, char** argv)
{
    struct jpeg_compress_struct c;
    struct jpeg_error_mgr e;
    JSAMPLE row[12 * 4];
    JSAMPROW rows[1] = {row};
    FILE* f = fopen(argv[1], "wb");
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = 12;
    c.image_height = 10;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, argv[2][0] == 'y' ? JCS_YCCK : JCS_CMYK);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        for (int i = 0; i < 12 * 4; ++i)
            row[i] = (JSAMPLE)(i * 5 + c.next_scanline * 9);
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    fclose(f);
    return 0;
}
C
cc -o "$work/cmyk" "$work/cmyk.c" -ljpeg
"$work/cmyk" "$out/cmyk.jpg" c
"$work/cmyk" "$out/ycck.jpg" y
