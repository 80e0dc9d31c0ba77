// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Counting dots: scans over a rectangle of a surface that count the pixels
// passing a test and mark each counted pixel in place.
//
// Which pixels a scan visits. The rectangle covers columns left .. right - 1
// and rows top .. bottom - 1 and may reach beyond the picture; only its part
// inside the picture is visited, row by row from the top, each row from the
// left. Positions outside the picture are neither counted nor marked, so a
// rectangle dragged far outside costs nothing.
//
//      left                  right
//   top  +-----------------------+
//        |  . . . . . . . . . . .|. . . .      . visited, in this order:
//        |  . . . . . . . . . . .|. . . .        (left, top), (left + 1, top), ...
//        +-----------------------+ picture edge
//               (outside: skipped)
//  bottom
//
// Each visited pixel is read once, tested, and written (if counted) before the
// next one is read, so marks never influence the count. A scan that marks
// anything reports the area it wrote to the surface once, at its end.
#include "selection/SelectionRect.h"
#include "surface/pixels/Surface.h"

#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Brightness level of a colour value: red + green + blue, 0 .. maxLevel,
// unweighted.
inline constexpr int maxLevel = 765;
constexpr int levelOf(TColor colour) { return static_cast<int>(redOf(colour) + greenOf(colour) + blueOf(colour)); }

// The point whose level the brightness count takes as the object: the
// rectangle's centre, each halving truncated toward zero (25 -> 12, -3 -> -1).
// Exact for any 32-bit coordinates.
QPoint centreOf(const SelectionRect& rect);

// The limit between background (corner) and object (centre) levels:
//   object brighter: corner + (centre - corner) * threshold, counted when level > limit;
//   object darker:   corner - (corner - centre) * threshold, counted when level < limit.
// Computed exactly in double precision (never in single precision): the level
// difference has at most 10 bits and the threshold 24, so product and sum
// are exact.
double brightnessLimit(int centreLevel, int cornerLevel, float threshold);

// The levels a brightness count counts, lowest .. highest inclusive; empty
// (lowest > highest) when the centre and corner levels are equal.
struct LevelBand {
    int lowest = 1;
    int highest = 0;

    constexpr bool contains(int level) const { return level >= lowest && level <= highest; }
    constexpr bool isEmpty() const { return lowest > highest; }
};
LevelBand countedLevels(int centreLevel, int cornerLevel, float threshold);

// A brightness-counted pixel: red 150, blue 150, its own green kept
// (0x00123456 -> 0x00963496).
constexpr TColor brightnessMark(TColor colour) { return 0x00960096u | (colour & 0x0000FF00u); }

struct BrightnessCount {
    std::int32_t dots = 0;
    // Level of the rectangle's last pixel (right - 1, bottom - 1) as it was
    // before marking (765 when that pixel lies outside the picture); none
    // when the rectangle is empty.
    std::optional<int> lastLevel;
};

// Counts and marks the pixels of rect whose level lies in counted.
BrightnessCount countBrightness(Surface& surface, const SelectionRect& rect, LevelBand counted);

// Counts and marks, as countBrightness does, the pixels of rect whose level
// lies beyond a limit of their own: above it when above is set, else below
// it. limitsOf(y, limits) gives the limits along row y of the picture, one
// for each pixel of the row inside the picture, left to right.
std::int32_t countBeyondLimits(Surface& surface, const SelectionRect& rect, bool above,
                               const std::function<void(int, std::vector<float>&)>& limitsOf);

// Every colour count marks with this grey, replacing the whole pixel.
constexpr TColor channelMark = 0x00646464;

enum class Channel { Red, Green, Blue };

// True when channel is strictly greater than each of the other two; ties and
// greys (also 0xFFFFFFFF, the colour outside a picture) never dominate.
constexpr bool dominates(Channel channel, TColor colour)
{
    const unsigned r = redOf(colour), g = greenOf(colour), b = blueOf(colour);
    switch (channel) {
    case Channel::Red: return b < r && g < r;
    case Channel::Green: return b < g && r < g;
    case Channel::Blue: return r < b && g < b;
    }
    return false;
}

// Counts the pixels of rect in which channel dominates and marks each with channelMark.
std::int32_t countDominant(Surface& surface, const SelectionRect& rect, Channel channel);
