// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/ColourMargin.h"

#include "cli/analysis/Levels.h"

std::int32_t countDominantBy(Surface& surface, const SelectionRect& rect, Channel channel, int margin)
{
    if (margin <= 0)
        return countDominant(surface, rect, channel);
    const QRect part = insidePart(rect, surface.width(), surface.height());
    std::int32_t dots = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        QRgb* row = surface.scanLine(y);
        for (int x = part.left(); x <= part.right(); ++x) {
            if (dominatesBy(channel, fromQRgb(row[x]), margin)) {
                row[x] = toQRgb(channelMark);
                ++dots;
            }
        }
    }
    if (dots > 0)
        surface.touch(part);
    return dots;
}

std::int64_t dominantPixels(const Surface& surface, const SelectionRect& rect, Channel channel, int margin)
{
    const QRect part = insidePart(rect, surface.width(), surface.height());
    std::int64_t pixels = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const QRgb* row = surface.constScanLine(y);
        for (int x = part.left(); x <= part.right(); ++x)
            pixels += dominatesBy(channel, fromQRgb(row[x]), margin) ? 1 : 0;
    }
    return pixels;
}
