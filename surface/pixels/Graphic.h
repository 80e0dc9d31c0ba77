// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture that is not a plain bitmap (JPEG, icon, metafile). Graphics are
// never written to, so copies may share one instance.
#include <QImage>
#include <QRect>
#include <functional>
#include <memory>

enum class PictureKind { Empty, Bitmap, Jpeg, Icon, Metafile };

// Told of each row of a target as soon as it is drawn, top to bottom.
using RowDrawn = std::function<void(int row)>;

// Tells drawn (if any) of every row of rect inside target, top to bottom.
inline void tellRowsDrawn(const QImage& target, const QRect& rect, const RowDrawn& drawn)
{
    if (!drawn)
        return;
    const QRect visible = rect & target.rect();
    for (int y = visible.top(); y <= visible.bottom(); ++y)
        drawn(y);
}

class Graphic {
public:
    virtual ~Graphic() = default;

    virtual PictureKind kind() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Whether the file ends before the picture's data does: what it lacks
    // is drawn as the decoder fills it (a JPEG's flat grey rows).
    virtual bool cutShort() const { return false; }

    // Draws the whole picture scaled to fill rect of target (32-bit RGB).
    // Bitmap-like pictures sample the nearest source pixel, never blending
    // (see stretchNearest); icons and metafiles are rendered. Pixels of rect
    // outside target are dropped. May throw PlanixError (a decoder failure).
    virtual void stretchDraw(QImage& target, const QRect& rect) const = 0;

    // The same, telling drawn of each target row once it is drawn: a JPEG
    // as it decodes, row after row, while the row is still in the cache;
    // the others once the whole picture is drawn.
    virtual void stretchDrawRows(QImage& target, const QRect& rect, const RowDrawn& drawn) const
    {
        stretchDraw(target, rect);
        tellRowsDrawn(target, rect, drawn);
    }
};

using GraphicPtr = std::shared_ptr<const Graphic>;
