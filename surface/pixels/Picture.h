// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What an image control holds: nothing, a bitmap, or a graphic (JPEG, icon,
// metafile). Copying a Picture gives an independent copy: bitmaps share their
// pixels only until one of them is written.
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Graphic.h"

#include <optional>

class Picture {
public:
    Picture() = default;
    explicit Picture(TBitmap bitmap) : heldBitmap(std::move(bitmap)) { }
    explicit Picture(GraphicPtr graphic) : heldGraphic(std::move(graphic)) { }

    PictureKind kind() const;
    bool isEmpty() const { return kind() == PictureKind::Empty; }
    int width() const;
    int height() const;
    // Whether the file ended before the picture's data did (see Graphic).
    bool cutShort() const { return heldGraphic && heldGraphic->cutShort(); }

    // Null unless the picture is a bitmap.
    TBitmap* bitmap() { return heldBitmap ? &*heldBitmap : nullptr; }
    const TBitmap* bitmap() const { return heldBitmap ? &*heldBitmap : nullptr; }
    const Graphic* graphic() const { return heldGraphic.get(); }

    void clear();
    // A picture that is not a bitmap is discarded and replaced by an empty
    // (0 x 0) bitmap, which is returned.
    TBitmap& asBitmap();

    // Draws the whole picture scaled to fill rect of target (32-bit RGB);
    // an empty picture draws nothing.
    void stretchDraw(QImage& target, const QRect& rect) const;
    // The same, telling drawn of each target row once it is drawn (see
    // Graphic::stretchDrawRows).
    void stretchDrawRows(QImage& target, const QRect& rect, const RowDrawn& drawn) const;

private:
    std::optional<TBitmap> heldBitmap;
    GraphicPtr heldGraphic;
};
