// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/pixels/Stretch.h"

#include <algorithm>
#include <vector>

namespace {

// Source column of every visible target column of rect.
std::vector<int> sourceColumns(int sourceWidth, const QRect& rect, int firstX, int lastX)
{
    std::vector<int> columns;
    columns.reserve(lastX - firstX + 1);
    for (int x = firstX; x <= lastX; ++x)
        columns.push_back(nearestSource(x - rect.left(), sourceWidth, rect.width()));
    return columns;
}

} // namespace

void stretchRowNearest(const QRgb* sourceRow, int sourceWidth, QImage& target, const QRect& rect, int targetY)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty() || targetY < visible.top() || targetY > visible.bottom())
        return;
    auto* out = reinterpret_cast<QRgb*>(target.scanLine(targetY));
    for (int x = visible.left(); x <= visible.right(); ++x)
        out[x] = 0xFF000000u | sourceRow[nearestSource(x - rect.left(), sourceWidth, rect.width())];
}

namespace {

// The source's rows as 32-bit RGB values, each converted only when a target
// row samples it, so that a large picture in another format is never
// converted whole.
class SourceRows {
public:
    explicit SourceRows(const QImage& source) : source(source)
    {
        const QImage::Format format = source.format();
        direct = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
        if (!direct)
            buffer.resize(std::size_t(source.width()));
        if (format == QImage::Format_Indexed8)
            colours = source.colorTable();
    }

    const QRgb* row(int y)
    {
        if (direct)
            return reinterpret_cast<const QRgb*>(source.constScanLine(y));
        if (y == converted)
            return buffer.data();
        const uchar* in = source.constScanLine(y);
        const int width = source.width();
        switch (source.format()) {
        case QImage::Format_BGR888:
            for (int x = 0; x < width; ++x)
                buffer[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
            break;
        case QImage::Format_Indexed8:
            for (int x = 0; x < width; ++x)
                buffer[x] = in[x] < colours.size() ? colours[in[x]] : 0;
            break;
        default: {
            const QImage line = source.copy(0, y, width, 1).convertToFormat(QImage::Format_RGB32);
            std::copy_n(reinterpret_cast<const QRgb*>(line.constScanLine(0)), width, buffer.begin());
        }
        }
        converted = y;
        return buffer.data();
    }

private:
    const QImage& source;
    bool direct = false;
    QList<QRgb> colours;
    std::vector<QRgb> buffer;
    int converted = -1;
};

} // namespace

void stretchNearest(const QImage& source, QImage& target, const QRect& rect)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty() || source.isNull())
        return;
    SourceRows rows(source);
    const std::vector<int> columns = sourceColumns(source.width(), rect, visible.left(), visible.right());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy = nearestSource(y - rect.top(), source.height(), rect.height());
        const QRgb* in = rows.row(sy);
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            out[visible.left() + i] = 0xFF000000u | in[columns[i]];
    }
}
