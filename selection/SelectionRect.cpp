// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "selection/SelectionRect.h"

SelectionRect normalisedSelection(std::int32_t pressX, std::int32_t pressY, std::int32_t releaseX,
                                  std::int32_t releaseY)
{
    SelectionRect rect;
    if (pressX < releaseX) {
        rect.left = pressX;
        rect.right = releaseX;
    } else {
        rect.left = releaseX;
        rect.right = pressX;
    }
    if (pressY < releaseY) {
        rect.top = pressY;
        rect.bottom = releaseY;
    } else {
        rect.top = releaseY;
        rect.bottom = pressY;
    }
    return rect;
}

QString positionReadout(int x, int y) { return QStringLiteral("X=%1,Y=%2").arg(x).arg(y); }

QString colourReadout(TColor colour)
{
    return QStringLiteral("青=%1 緑=%2 赤=%3").arg(blueOf(colour)).arg(greenOf(colour)).arg(redOf(colour));
}
