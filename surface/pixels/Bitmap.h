// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A bitmap: pixels plus the drawing state that comes fresh with each new bitmap.
#include "surface/pixels/Colour.h"
#include "surface/pixels/PenMode.h"

#include <QImage>
#include <QPoint>

struct DrawingState {
    TColor penColour = clBlack;
    int penWidth = 1;
    TPenMode penMode = pmCopy;
    TColor brushColour = clWhite;
    QPoint penPos;
};

class TBitmap {
public:
    TBitmap() = default;             // 0 x 0
    explicit TBitmap(QImage pixels); // adopts any format; an indexed image keeps its palette

    // A white bitmap of the given size in the surface format.
    static TBitmap white(int width, int height);

    int width() const { return logicalWidth; }
    int height() const { return logicalHeight; }
    bool isEmpty() const { return pixels.isNull(); }

    // Resizing keeps every pixel in place; area gained is white.
    void setWidth(int width);
    void setHeight(int height);

    // Read-only view in whatever format the bitmap holds (indexed stays indexed).
    const QImage& image() const { return pixels; }
    // Converts an indexed or other bitmap to 32-bit RGB; pixels stay shared.
    void ensureRgb32();
    // Writable pixels, always 32-bit RGB, owned by this bitmap alone (pixels
    // shared with a copy are copied first), rows laid out for column walks.
    QImage& writableImage();

    DrawingState& state() { return drawing; }
    const DrawingState& state() const { return drawing; }

private:
    void resizeTo(int width, int height);

    // A side of 0 leaves no pixels, but the other side is still remembered.
    int logicalWidth = 0;
    int logicalHeight = 0;
    QImage pixels;
    DrawingState drawing;
};
