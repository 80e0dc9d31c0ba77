// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/PicturePart.h"

PicturePart picturePart(const Picture& picture, const QRect& box)
{
    const QRect whole(0, 0, picture.width(), picture.height());
    const QRect part = box & whole;
    if (part.isEmpty())
        return {TBitmap::white(0, 0), QPoint()};
    PicturePart result{TBitmap::white(part.width(), part.height()), part.topLeft()};
    // The whole picture drawn 1:1 at minus the offset: only the part lands.
    picture.stretchDraw(result.pixels.writableImage(), whole.translated(-part.topLeft()));
    return result;
}
