// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/pixels/Picture.h"

#include "surface/pixels/Stretch.h"

PictureKind Picture::kind() const
{
    if (heldBitmap)
        return PictureKind::Bitmap;
    if (heldGraphic)
        return heldGraphic->kind();
    return PictureKind::Empty;
}

int Picture::width() const
{
    if (heldBitmap)
        return heldBitmap->width();
    return heldGraphic ? heldGraphic->width() : 0;
}

int Picture::height() const
{
    if (heldBitmap)
        return heldBitmap->height();
    return heldGraphic ? heldGraphic->height() : 0;
}

void Picture::clear()
{
    heldBitmap.reset();
    heldGraphic.reset();
}

TBitmap& Picture::asBitmap()
{
    if (!heldBitmap) {
        heldGraphic.reset();
        heldBitmap.emplace();
    }
    return *heldBitmap;
}

void Picture::stretchDraw(QImage& target, const QRect& rect) const { stretchDrawRows(target, rect, {}); }

void Picture::stretchDrawRows(QImage& target, const QRect& rect, const RowDrawn& drawn) const
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    if (heldBitmap && !heldBitmap->isEmpty()) {
        stretchNearest(heldBitmap->image(), target, rect);
    } else if (heldGraphic && heldGraphic->width() > 0 && heldGraphic->height() > 0) {
        heldGraphic->stretchDrawRows(target, rect, drawn);
        return;
    }
    tellRowsDrawn(target, rect, drawn);
}
