// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/pixels/Surface.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

Surface::Surface(TBitmap& bitmap, TouchedFn touched) : target(&bitmap), touched(std::move(touched))
{
    target->ensureRgb32();
}

TColor Surface::pixel(int x, int y) const
{
    if (!inside(x, y))
        return outsideColour;
    return fromQRgb(constScanLine(y)[x]);
}

void Surface::setPixel(int x, int y, TColor colour)
{
    if (!inside(x, y))
        return;
    scanLine(y)[x] = toQRgb(colour);
    touch(QRect(x, y, 1, 1));
}

QRgb* Surface::scanLine(int y) { return reinterpret_cast<QRgb*>(target->writableImage().scanLine(y)); }

const QRgb* Surface::constScanLine(int y) const
{
    return reinterpret_cast<const QRgb*>(target->image().constScanLine(y));
}

void Surface::touch(const QRect& area)
{
    if (touched && !area.isEmpty())
        touched(area);
}

namespace {

// Applies the pen mode to count pixels starting at p, step pixels apart.
// Bitwise modes act bit by bit, so the pen converted to the pixel's channel
// order gives the same result as on colour values.
template <class Op>
void penRun(QRgb* p, int count, qsizetype step, Op op)
{
    for (int i = 0; i < count; ++i, p += step)
        *p = 0xFF000000u | (op(*p) & 0x00FFFFFFu);
}

void penRun(TPenMode mode, TColor colour, QRgb* p, int count, qsizetype step)
{
    const QRgb pen = toQRgb(colour);
    switch (mode) {
    case pmMerge: penRun(p, count, step, [pen](QRgb d) { return pen | d; }); break;
    case pmXor: penRun(p, count, step, [pen](QRgb d) { return pen ^ d; }); break;
    case pmNotXor: penRun(p, count, step, [pen](QRgb d) { return ~(pen ^ d); }); break;
    case pmCopy: penRun(p, count, step, [pen](QRgb) { return pen; }); break;
    }
}

} // namespace

void Surface::applyAt(int x, int y, TColor colour) { penRun(penMode(), colour, scanLine(y) + x, 1, 1); }

void Surface::horizontalRun(int x1, int x2, int y, TColor colour)
{
    if (y < 0 || y >= height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width() - 1);
    if (x1 > x2)
        return;
    penRun(penMode(), colour, scanLine(y) + x1, x2 - x1 + 1, 1);
    touch(QRect(QPoint(x1, y), QPoint(x2, y)));
}

void Surface::verticalRun(int x, int y1, int y2, TColor colour)
{
    if (x < 0 || x >= width())
        return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, height() - 1);
    if (y1 > y2)
        return;
    QImage& image = target->writableImage();
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    penRun(penMode(), colour, reinterpret_cast<QRgb*>(image.bits()) + y1 * stride + x, y2 - y1 + 1, stride);
    touch(QRect(QPoint(x, y1), QPoint(x, y2)));
}

void Surface::moveTo(int x, int y) { target->state().penPos = QPoint(x, y); }

void Surface::lineTo(int x, int y)
{
    // Bresenham from the pen position; the end point is not drawn.
    const QPoint from = penPos();
    int cx = from.x(), cy = from.y();
    const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
    int error = dx + dy;
    const TColor pen = target->state().penColour;
    QRect area;
    while (cx != x || cy != y) {
        if (inside(cx, cy)) {
            applyAt(cx, cy, pen);
            area |= QRect(cx, cy, 1, 1);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cx += sx;
        }
        if (twice <= dx) {
            error += dx;
            cy += sy;
        }
    }
    moveTo(x, y);
    touch(area);
}

void Surface::rectangle(int x1, int y1, int x2, int y2)
{
    const int a = std::min(x1, x2), b = std::max(x1, x2);
    const int c = std::min(y1, y2), d = std::max(y1, y2);
    if (a == b || c == d)
        return;
    const TColor pen = target->state().penColour;
    const TColor brush = target->state().brushColour;
    horizontalRun(a, b - 1, c, pen);
    if (d - 1 != c)
        horizontalRun(a, b - 1, d - 1, pen);
    verticalRun(a, c + 1, d - 2, pen);
    if (b - 1 != a)
        verticalRun(b - 1, c + 1, d - 2, pen);
    if (leavesPixelsUnchanged(penMode(), brush))
        return;
    for (int y = c + 1; y <= d - 2; ++y)
        horizontalRun(a + 1, b - 2, y, brush);
}

namespace {

QPainter::CompositionMode compositionOf(TPenMode mode)
{
    switch (mode) {
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case pmCopy: break;
    }
    return QPainter::CompositionMode_Source;
}

} // namespace

void Surface::paintShape(const std::function<void(QPainter&)>& shape, const QRect& box)
{
    QImage& image = target->writableImage();
    if (image.isNull())
        return;
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(compositionOf(penMode()));
        const DrawingState& s = target->state();
        painter.setPen(QPen(QColor::fromRgb(toQRgb(s.penColour)), s.penWidth));
        painter.setBrush(QColor::fromRgb(toQRgb(s.brushColour)));
        shape(painter);
    }
    touch(box.adjusted(-1, -1, 1, 1) & image.rect());
}

void Surface::ellipse(int x1, int y1, int x2, int y2)
{
    const QRect box(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (box.width() <= 0 || box.height() <= 0)
        return;
    paintShape([&](QPainter& p) { p.drawEllipse(box.adjusted(0, 0, -1, -1)); }, box);
}

void Surface::roundRect(int x1, int y1, int x2, int y2, int w, int h)
{
    const QRect box(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const qreal rx = std::abs(w) / 2.0, ry = std::abs(h) / 2.0;
    paintShape([&](QPainter& p) { p.drawRoundedRect(box.adjusted(0, 0, -1, -1), rx, ry); }, box);
}

void Surface::draw(int x, int y, const Picture& picture)
{
    stretchDraw(QRect(x, y, picture.width(), picture.height()), picture);
}

void Surface::stretchDraw(const QRect& rect, const Picture& picture)
{
    QImage& image = target->writableImage();
    if (image.isNull() || picture.isEmpty() || rect.isEmpty())
        return;
    picture.stretchDraw(image, rect);
    touch(rect & image.rect());
}

void Surface::copyRect(const QRect& targetRect, const Surface& source, const QRect& sourceRect)
{
    const int w = std::min(targetRect.width(), sourceRect.width());
    const int h = std::min(targetRect.height(), sourceRect.height());
    for (int row = 0; row < h; ++row) {
        const int ty = targetRect.top() + row;
        if (ty < 0 || ty >= height())
            continue;
        QRgb* out = scanLine(ty);
        for (int col = 0; col < w; ++col) {
            const int tx = targetRect.left() + col;
            if (tx < 0 || tx >= width())
                continue;
            const TColor c = source.pixel(sourceRect.left() + col, sourceRect.top() + row);
            out[tx] = toQRgb(c == outsideColour ? clWhite : c);
        }
    }
    touch(targetRect & QRect(0, 0, width(), height()));
}
