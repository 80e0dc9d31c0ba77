#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Draws docs/example-footprint.jpg, the picture the README's screenshot
# measures: a footprint and a one-yen coin (about 1/12.5 of the foot's
# length) on paper, both wholly inside the part of the picture panel a
# 1024 × 744 window shows. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 900x560 xc:'#f3efe6' -fill '#34295a' \
  -draw "ellipse 330,205 92,78 0,360" -draw "ellipse 372,330 52,150 0,360" \
  -draw "ellipse 345,448 66,74 0,360" \
  -draw "ellipse 268,100 30,40 0,360" -draw "ellipse 322,84 19,24 0,360" \
  -draw "ellipse 362,92 16,21 0,360" -draw "ellipse 396,108 14,18 0,360" \
  -draw "ellipse 425,131 12,15 0,360" \
  -fill '#8d8c94' -draw "circle 720,450 740,450" \
  -blur 0x0.6 -seed 12 -attenuate 0.25 +noise Gaussian -quality 92 \
  example-footprint.jpg
