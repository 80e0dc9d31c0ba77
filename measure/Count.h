// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One count of the dots inside a rectangle of the working image, by one of
// the four rules of the "実行(&R)" menu. The count marks every counted dot in
// the surface's pixels (Kernels.h) and returns what it found; the caller
// decides where the numbers go (a calculator field, the status bar, a CSV row).
#include "counting/Kernels.h"
#include "selection/SelectionRect.h"
#include "surface/pixels/Surface.h"

#include <cstdint>
#include <optional>

// Brightness: between the levels of the rectangle's centre (the object) and
// its top-left corner (the background), by the threshold. Blue, Green, Red:
// the channel strictly greater than the other two.
enum class CountRule { Brightness, Blue, Green, Red };

struct CountResult {
    std::int32_t dots = 0;
    // Brightness only (0 and an empty band for the colour rules):
    int centreLevel = 0;            // level at centreOf(rect) before counting
    int cornerLevel = 0;            // level at (left, top) before counting
    LevelBand counted;              // the levels that counted
    std::optional<int> statusLevel; // level of the last pixel for the status
                                    // bar ("明るさ**=%d"); none for an empty
                                    // rectangle or a colour rule
};

// Counts and marks the dots of rect on canvas by rule. threshold is one of
// thresholdValue(1 .. 9) (Thresholds.h); only the brightness rule reads it.
// The canvas's pen mode is left as the caller set it.
CountResult countDots(Surface& canvas, const SelectionRect& rect, CountRule rule, float threshold);
