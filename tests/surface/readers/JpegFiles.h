// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// JPEG pictures for the tests, made with libjpeg's compressor, and the
// independent decode they are checked against: djpeg's own output.
#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <functional>

#include <cstdio>
#include <jpeglib.h>

struct JpegRecipe {
    int width = 0;
    int height = 0;
    J_COLOR_SPACE input = JCS_RGB;      // what pixel() writes: RGB 3, grey 1, CMYK 4 samples
    J_COLOR_SPACE stored = JCS_UNKNOWN; // the file's colour space; JCS_UNKNOWN: libjpeg's default
    bool progressive = false;
    bool arithmetic = false;      // arithmetic coding instead of Huffman
    int lumaSampling[2] = {0, 0}; // horizontal, vertical; 0: libjpeg's default (2 x 2)
    int quality = 85;
    std::function<void(int x, int y, JSAMPLE* samples)> pixel;
};

QByteArray compressJpeg(const JpegRecipe& recipe);

// djpeg -dct int -pnm <options> on the bytes, read back as an image (null
// when djpeg wrote nothing).
QImage djpegDecode(const QByteArray& jpeg, const QStringList& options = {});

// The options that make djpeg decode a one-channel file as the program does.
const QStringList& djpegGreyOptions();

// Offset of the first byte after marker (0xFF, code), or -1.
qsizetype markerEnd(const QByteArray& jpeg, unsigned char code);
