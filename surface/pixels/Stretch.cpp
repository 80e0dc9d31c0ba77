#include "surface/pixels/Stretch.h"

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

void stretchRowNearest(const QRgb* sourceRow, int sourceWidth, QImage& target,
                       const QRect& rect, int targetY)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty() || targetY < visible.top() || targetY > visible.bottom())
        return;
    auto* out = reinterpret_cast<QRgb*>(target.scanLine(targetY));
    for (int x = visible.left(); x <= visible.right(); ++x)
        out[x] = 0xFF000000u | sourceRow[nearestSource(x - rect.left(), sourceWidth, rect.width())];
}

void stretchNearest(const QImage& source, QImage& target, const QRect& rect)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty() || source.isNull())
        return;
    const QImage rgb = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
    const std::vector<int> columns = sourceColumns(rgb.width(), rect, visible.left(), visible.right());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy = nearestSource(y - rect.top(), rgb.height(), rect.height());
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            out[visible.left() + i] = 0xFF000000u | in[columns[i]];
    }
}
