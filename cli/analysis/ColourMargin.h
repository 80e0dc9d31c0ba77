// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colour counts with a margin: a pixel counts for a colour when that channel
// exceeds each of the other two by more than margin levels. Margin 0 is the
// window's rule (strictly greater), counted by the window's own scan.
#include "counting/Kernels.h"

#include <cstdint>

constexpr bool dominatesBy(Channel channel, TColor colour, int margin)
{
    const int r = int(redOf(colour)), g = int(greenOf(colour)), b = int(blueOf(colour));
    switch (channel) {
    case Channel::Red: return r - g > margin && r - b > margin;
    case Channel::Green: return g - r > margin && g - b > margin;
    case Channel::Blue: return b - r > margin && b - g > margin;
    }
    return false;
}

// Counts the pixels of rect (its part inside the picture) in which channel
// dominates by more than margin (0 .. 255) and marks each with channelMark.
std::int32_t countDominantBy(Surface& surface, const SelectionRect& rect, Channel channel, int margin);

// Pixels of rect inside the picture in which channel dominates by more than margin, unmarked.
std::int64_t dominantPixels(const Surface& surface, const SelectionRect& rect, Channel channel, int margin);
