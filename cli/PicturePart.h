// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture at its own size, or the part of it a batch needs: only the rows
// and columns of the rectangles are drawn, and a JPEG decodes only the rows
// they cover (the rows above are skipped, the decoder stops below them).
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Picture.h"

#include <QPoint>
#include <QRect>
#include <QSize>

struct PicturePart {
    TBitmap pixels; // the part, at the picture's own scale
    QPoint offset;  // where its top-left pixel lies in the picture
};

// The part of picture inside box (in the picture's own pixels, clipped to
// it); an empty bitmap when box misses the picture. May throw PlanixError
// from the decoder.
PicturePart picturePart(const Picture& picture, const QRect& box);
