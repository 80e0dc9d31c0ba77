// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Drawing on a bitmap: single pixels, pen-mode figures, picture drawing and
// block copies. Every write reports the rectangles it touched, so the image
// control holding the bitmap repaints only those.
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Picture.h"

#include <QRect>
#include <functional>

class Surface {
public:
    using TouchedFn = std::function<void(const QRect&)>;

    explicit Surface(TBitmap& bitmap, TouchedFn touched = {});

    int width() const { return target->width(); }
    int height() const { return target->height(); }

    // Colour at (x, y); outside 0 <= x < W, 0 <= y < H: 0xFFFFFFFF.
    TColor pixel(int x, int y) const;
    // Writes exactly that colour (pen mode ignored); outside: nothing.
    void setPixel(int x, int y, TColor colour);

    TPenMode penMode() const { return target->state().penMode; }
    void setPenMode(TPenMode mode) { target->state().penMode = mode; }
    QPoint penPos() const { return target->state().penPos; }

    void moveTo(int x, int y);
    // Line from the pen position to (x, y), the end point excluded; the pen
    // position becomes (x, y).
    void lineTo(int x, int y);

    // Corners in any order. With a = min(x1, x2), b = max(x1, x2), c, d for y:
    //
    //        a         b-1  b
    //   c    #############         # outline: pen colour in the pen mode
    //        #...........#         . interior: brush colour in the pen mode
    //        #...........#
    //  d-1   #############
    //   d
    //
    // Every outline pixel is changed exactly once. When a = b or c = d nothing
    // is drawn.
    void rectangle(int x1, int y1, int x2, int y2);
    // Ellipse inscribed in the same box; pen outline, brush interior.
    void ellipse(int x1, int y1, int x2, int y2);
    // The rectangle with corners rounded by an ellipse w wide and h high;
    // negative corner sizes count by their magnitude.
    void roundRect(int x1, int y1, int x2, int y2, int w, int h);

    // Picture at its own size, top-left at (x, y), clipped.
    void draw(int x, int y, const Picture& picture);
    // Picture scaled to fill rect (left, top, right, bottom exclusive).
    void stretchDraw(const QRect& rect, const Picture& picture);
    // Plain copy of sourceRect of source into targetRect (same sizes); source
    // pixels outside the source surface read as white.
    void copyRect(const QRect& targetRect, const Surface& source, const QRect& sourceRect);

    // Raw 32-bit rows for kernels that scan many pixels; a kernel that writes
    // through them reports what it wrote with touch().
    QRgb* scanLine(int y);
    const QRgb* constScanLine(int y) const;
    void touch(const QRect& area);

    TBitmap& bitmap() { return *target; }

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
    void applyAt(int x, int y, TColor colour);
    void horizontalRun(int x1, int x2, int y, TColor colour); // x1..x2 inclusive
    void verticalRun(int x, int y1, int y2, TColor colour);   // y1..y2 inclusive
    void paintShape(const std::function<void(class QPainter&)>& shape, const QRect& box);

    TBitmap* target;
    TouchedFn touched;
};
