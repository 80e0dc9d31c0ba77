// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libjpeg's decompressor behind the program's JPEG pictures.
//
// Settings, always: scale 1/1, JDCT_ISLOW, fancy upsampling on, block
// smoothing on. Colour files come out as 24-bit RGB without quantisation;
// one-channel files are quantised by libjpeg's own quantiser to 236 grey
// levels with Floyd-Steinberg dithering; CMYK and YCCK files (Adobe's
// inverted CMYK included) are converted to RGB. Library warnings (a
// truncated file, for one) are ignored and decoding goes on with what the
// library makes of the rest. A library error throws PlanixError
// "JPEG エラー #%d" with the library's message code.
#include "surface/pixels/Graphic.h"

#include <QByteArray>
#include <QImage>
#include <QRect>

struct JpegHeader {
    int width = 0;
    int height = 0;
    qsizetype scanStart = 0; // where the first scan's data begins
};

// Parses the datastream up to the first scan; no pixel is decoded.
JpegHeader readJpegHeader(const QByteArray& bytes);

// No end-of-image marker follows the start of the first scan: the file ends
// before its picture does (a copy or a download cut short), and what it
// lacks is drawn as the decoder fills it. Read once when a file is opened,
// not at every draw: a file cut short is searched through to its start.
bool jpegCutShort(const QByteArray& bytes, const JpegHeader& header);

// Decodes bytes into rect of target (32-bit RGB), each target pixel taking
// the nearest source pixel (see nearestSource in Stretch.h); pixels of rect
// outside target are dropped.
//
// Rows are decoded one at a time, top to bottom, and only a row that some
// target row samples is written; no decoded copy of the whole picture is
// ever held. Colour files skip the rows nobody samples (libjpeg-turbo's
// jpeg_skip_scanlines, which yields the same rows as a full decode);
// greyscale files decode every row, as the dithering carries each row's
// error into the next.
//
// The work is bounded by what the file holds. A file that declares far more
// pixels than its bytes can hold (over 1024 a byte) is not a photograph: if
// greyscale, it is not dithered (each sample takes the nearest grey level)
// and skips rows as colour files do; and libjpeg may take no more than
// 64 MB for it (a multi-scan file needing more fails with the library's
// error), where a real photograph may take 512 MB. Once a single-scan file's data has run
// out, the decoder goes on for 8 M more pixels (so a file cut short decodes
// exactly as the library decodes it), and the rows after that are drawn as
// the library's filler, flat mid grey, without decoding them.
//
// On an error the target rows written so far stay written. drawn, if given,
// is told of each target row as soon as it is written.
void decodeJpegInto(const QByteArray& bytes, QImage& target, const QRect& rect, const RowDrawn& drawn = {});
