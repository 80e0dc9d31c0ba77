// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The selection rectangle and the mouse read-outs.
#include "surface/pixels/Colour.h"

#include <QString>
#include <cstdint>

// Columns left .. right - 1 and rows top .. bottom - 1; never clamped to the picture.
struct SelectionRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool isEmpty() const { return left == right || top == bottom; }
};

// The rectangle between a press and a release, left <= right and top <= bottom.
SelectionRect normalisedSelection(std::int32_t pressX, std::int32_t pressY, std::int32_t releaseX,
                                  std::int32_t releaseY);

// Halving that truncates toward zero and keeps the sign (-3 -> -1).
constexpr std::int32_t halvedTowardZero(std::int32_t value) { return value / 2; }

// "X=5,Y=7"
QString positionReadout(int x, int y);
// "青=18 緑=52 赤=86": blue, green, red of the colour value.
QString colourReadout(TColor colour);
