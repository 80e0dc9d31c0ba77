// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture that is not a plain bitmap (JPEG, icon, metafile). Graphics are
// never written to, so copies may share one instance.
#include <QImage>
#include <QRect>
#include <memory>

enum class PictureKind { Empty, Bitmap, Jpeg, Icon, Metafile };

class Graphic {
public:
    virtual ~Graphic() = default;

    virtual PictureKind kind() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;

    // Draws the whole picture scaled to fill rect of target (32-bit RGB).
    // Bitmap-like pictures sample the nearest source pixel, never blending
    // (see stretchNearest); icons and metafiles are rendered. Pixels of rect
    // outside target are dropped. May throw PlanixError (a decoder failure).
    virtual void stretchDraw(QImage& target, const QRect& rect) const = 0;
};

using GraphicPtr = std::shared_ptr<const Graphic>;
