// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Windows metafiles (WMF, placeable or plain) and enhanced metafiles (EMF):
// checking a file at load and playing its records into a picture.
//
// Record layouts and numbers come from libUEMF's headers (uemf.h, uwmf.h);
// the records are read through RecordView, which never reads past a record.
// Failures throw PlanixError:
//   "ストリームからの読み込みエラー"  the file ends inside its header or a record
//   "メタファイルが不正です"          no metafile header, or a record size no
//                                    metafile can have
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>

struct MetafileSize {
    int width = 0;
    int height = 0;
};

// The picture's size in pixels at 96 dots per inch, after checking the
// header and that every record up to the end-of-file record lies inside
// the file.
//   placeable WMF: its bounding box in its own units per inch;
//   plain WMF:     the extent of its first SETWINDOWEXT record, 0 x 0 if none;
//   EMF:           rclFrame (0.01 mm), or rclBounds (pixels) when the frame
//                  is empty.
MetafileSize inspectWmf(const QByteArray& bytes);
MetafileSize inspectEmf(const QByteArray& bytes);

// What one draw did: the records it played, the work they took (units of
// MetafileWork.h), and whether it reached the end of the file or stopped
// where the work budget ran out.
struct MetafilePlayback {
    std::size_t records = 0;
    std::int64_t work = 0;
    bool whole = true;
};

// Plays an inspected file's records so that the picture fills rect of
// target (32-bit RGB), drawn over what is there and clipped to rect, as far
// as the draw's work budget goes. Records the players do not know are
// passed over.
MetafilePlayback playWmf(const QByteArray& bytes, QImage& target, const QRect& rect);
MetafilePlayback playEmf(const QByteArray& bytes, QImage& target, const QRect& rect);
