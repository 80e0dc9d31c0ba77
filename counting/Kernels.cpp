// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "counting/Kernels.h"

#include <algorithm>
#include <cmath>

namespace {

bool visitsNothing(const SelectionRect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// The part of rect inside the surface (empty when they do not meet).
QRect insidePart(const Surface& surface, const SelectionRect& rect)
{
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, surface.width());
    const int bottom = std::min(rect.bottom, surface.height());
    if (left >= right || top >= bottom)
        return {};
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Runs markRow(row, count) over the rows of area, top to bottom; markRow
// marks and counts the pixels of one row. Reports area once if anything was
// marked.
template <class MarkRow>
std::int32_t scanRows(Surface& surface, const QRect& area, MarkRow markRow)
{
    std::int32_t dots = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        dots += markRow(surface.scanLine(y) + area.left(), area.width());
    if (dots > 0)
        surface.touch(area);
    return dots;
}

// The loops below write every pixel back (unchanged unless counted) and add
// the test's result instead of branching, so the compiler can vectorise them.

std::int32_t markBrightRow(QRgb* row, int count, LevelBand band)
{
    const unsigned lowest = static_cast<unsigned>(band.lowest);
    const unsigned span = static_cast<unsigned>(band.highest - band.lowest);
    std::int32_t dots = 0;
    for (int i = 0; i < count; ++i) {
        const QRgb pixel = row[i];
        const unsigned level = static_cast<unsigned>(levelOf(fromQRgb(pixel)));
        const bool counted = level - lowest <= span; // lowest <= level <= highest
        row[i] = counted ? toQRgb(brightnessMark(fromQRgb(pixel))) : pixel;
        dots += counted;
    }
    return dots;
}

std::int32_t markBeyondRow(QRgb* row, int count, bool above, const float* limits)
{
    std::int32_t dots = 0;
    for (int i = 0; i < count; ++i) {
        const QRgb pixel = row[i];
        const auto level = static_cast<float>(levelOf(fromQRgb(pixel)));
        const bool counted = above ? level > limits[i] : level < limits[i];
        row[i] = counted ? toQRgb(brightnessMark(fromQRgb(pixel))) : pixel;
        dots += counted;
    }
    return dots;
}

template <Channel channel>
std::int32_t markDominantRow(QRgb* row, int count)
{
    std::int32_t dots = 0;
    for (int i = 0; i < count; ++i) {
        const QRgb pixel = row[i];
        const bool counted = dominates(channel, fromQRgb(pixel));
        row[i] = counted ? toQRgb(channelMark) : pixel;
        dots += counted;
    }
    return dots;
}

template <Channel channel>
std::int32_t countDominantIn(Surface& surface, const QRect& area)
{
    return scanRows(surface, area, markDominantRow<channel>);
}

} // namespace

QPoint centreOf(const SelectionRect& rect)
{
    const auto half = [](std::int64_t a, std::int64_t b) { return static_cast<int>((a + b) / 2); };
    return QPoint(half(rect.left, rect.right), half(rect.top, rect.bottom));
}

double brightnessLimit(int centreLevel, int cornerLevel, float threshold)
{
    const double fraction = threshold;
    if (centreLevel > cornerLevel)
        return cornerLevel + (centreLevel - cornerLevel) * fraction;
    return cornerLevel - (cornerLevel - centreLevel) * fraction;
}

LevelBand countedLevels(int centreLevel, int cornerLevel, float threshold)
{
    if (centreLevel == cornerLevel)
        return {};
    const double limit = brightnessLimit(centreLevel, cornerLevel, threshold);
    if (centreLevel > cornerLevel)
        return {static_cast<int>(std::floor(limit)) + 1, maxLevel}; // level > limit
    return {0, static_cast<int>(std::ceil(limit)) - 1};             // level < limit
}

BrightnessCount countBrightness(Surface& surface, const SelectionRect& rect, LevelBand counted)
{
    BrightnessCount result;
    if (visitsNothing(rect))
        return result;
    // The last pixel is visited last, so no mark precedes this read.
    result.lastLevel = levelOf(surface.pixel(rect.right - 1, rect.bottom - 1));
    if (counted.isEmpty())
        return result;
    result.dots = scanRows(surface, insidePart(surface, rect),
                           [counted](QRgb* row, int count) { return markBrightRow(row, count, counted); });
    return result;
}

std::int32_t countBeyondLimits(Surface& surface, const SelectionRect& rect, bool above,
                               const std::function<void(int, std::vector<float>&)>& limitsOf)
{
    if (visitsNothing(rect))
        return 0;
    const QRect area = insidePart(surface, rect);
    std::vector<float> limits;
    int y = area.top(); // scanRows goes top to bottom
    return scanRows(surface, area, [&](QRgb* row, int count) {
        limitsOf(y++, limits);
        return markBeyondRow(row, count, above, limits.data());
    });
}

std::int32_t countDominant(Surface& surface, const SelectionRect& rect, Channel channel)
{
    if (visitsNothing(rect))
        return 0;
    const QRect area = insidePart(surface, rect);
    switch (channel) {
    case Channel::Red: return countDominantIn<Channel::Red>(surface, area);
    case Channel::Green: return countDominantIn<Channel::Green>(surface, area);
    case Channel::Blue: return countDominantIn<Channel::Blue>(surface, area);
    }
    return 0;
}
