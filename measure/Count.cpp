// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "measure/Count.h"

namespace {

CountResult countByBrightness(Surface& canvas, const SelectionRect& rect, float threshold)
{
    CountResult result;
    const QPoint centre = centreOf(rect);
    result.centreLevel = levelOf(canvas.pixel(centre.x(), centre.y()));
    result.cornerLevel = levelOf(canvas.pixel(rect.left, rect.top));
    result.counted = countedLevels(result.centreLevel, result.cornerLevel, threshold);
    const BrightnessCount counted = countBrightness(canvas, rect, result.counted);
    result.dots = counted.dots;
    result.statusLevel = counted.lastLevel;
    return result;
}

CountResult countByChannel(Surface& canvas, const SelectionRect& rect, Channel channel)
{
    CountResult result;
    result.dots = countDominant(canvas, rect, channel);
    return result;
}

} // namespace

CountResult countDots(Surface& canvas, const SelectionRect& rect, CountRule rule, float threshold)
{
    switch (rule) {
    case CountRule::Brightness: return countByBrightness(canvas, rect, threshold);
    case CountRule::Blue: return countByChannel(canvas, rect, Channel::Blue);
    case CountRule::Green: return countByChannel(canvas, rect, Channel::Green);
    case CountRule::Red: return countByChannel(canvas, rect, Channel::Red);
    }
    return {};
}
