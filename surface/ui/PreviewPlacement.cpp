// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/PreviewPlacement.h"

#include <cstdint>

namespace {

int proportional(int side, int scaledTo, int of)
{
    return static_cast<int>(static_cast<std::int64_t>(side) * scaledTo / of);
}

} // namespace

QRect previewPlacement(QSize picture, QSize pane)
{
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h <= 0)
        return QRect();
    if (w <= pane.width() && h <= pane.height())
        return QRect((pane.width() - w) / 2, (pane.height() - h) / 2, w, h);
    if (w > h)
        return QRect(0, 0, pane.width(), proportional(h, pane.width(), w));
    return QRect(0, 0, proportional(w, pane.height(), h), pane.height());
}

QSize previewWindowSize(QSize picture, QSize screen)
{
    const std::int64_t w = picture.width(), h = picture.height();
    const std::int64_t sw = screen.width(), sh = screen.height();
    if (w <= sw && h <= sh)
        return picture;
    auto atLeastOne = [](std::int64_t side) { return static_cast<int>(side < 1 ? 1 : side); };
    if (w * sh >= h * sw) // the width is what the screen limits
        return QSize(int(sw), atLeastOne(h * sw / w));
    return QSize(atLeastOne(w * sh / h), int(sh));
}
