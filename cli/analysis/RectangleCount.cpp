// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/RectangleCount.h"

#include "cli/analysis/ColourMargin.h"
#include "counting/Thresholds.h"
#include "measure/Count.h"

namespace {

CountRule ruleOf(Channel channel)
{
    switch (channel) {
    case Channel::Blue: return CountRule::Blue;
    case Channel::Green: return CountRule::Green;
    case Channel::Red: return CountRule::Red;
    }
    return CountRule::Brightness;
}

LevelBand bandFor(const RectangleLevels& levels, const RectangleRule& rule)
{
    if (rule.levels == LevelRule::Robust)
        return robustBand(levels, RobustLimit{rule.thresholdTenths});
    return countedLevels(levels.centre, levels.corner, thresholdValue(rule.thresholdTenths.value_or(5)));
}

} // namespace

RectangleCount countRectangle(Surface& canvas, const SelectionRect& rect, const RectangleRule& rule, bool reference,
                              QSize picture, QPoint offset)
{
    RectangleCount result;
    CountFacts facts;
    facts.brightness = !rule.colour;
    facts.levelRule = rule.levels;
    facts.halfway = rule.thresholdTenths == 5;
    const SelectionRect inPicture{rect.left + offset.x(), rect.top + offset.y(), rect.right + offset.x(),
                                  rect.bottom + offset.y()};
    facts.outside = reachesOutside(inPicture, picture.width(), picture.height());
    const QRect part = insidePart(rect, canvas.width(), canvas.height());

    if (rule.colour) {
        const Channel channel = *rule.colour;
        const int margin = rule.colourMargin;
        facts.colourShare = clearColourShare(canvas, rect, channel);
        const BorderTally tally = borderTally(canvas, part, [&](TColor c) { return dominatesBy(channel, c, margin); });
        facts.borderDots = tally.counted;
        facts.borderPixels = tally.pixels;
        // Margin 0 is the window's colour command itself.
        result.dots = margin == 0 ? countDots(canvas, rect, ruleOf(channel), 0).dots
                                  : countDominantBy(canvas, rect, channel, margin);
    } else {
        result.levels = rectangleLevels(canvas, rect);
        facts.levels = result.levels;
        if (rule.levels == LevelRule::Window)
            facts.windowLimit = brightnessLimit(result.levels.centre, result.levels.corner,
                                                thresholdValue(rule.thresholdTenths.value_or(5)));
        const LevelBand band = bandFor(result.levels, rule);
        const BorderTally tally = borderTally(canvas, part, [&](TColor c) { return band.contains(levelOf(c)); });
        facts.borderDots = tally.counted;
        facts.borderPixels = tally.pixels;
        // The window's levels: the window's brightness command itself.
        result.dots =
            rule.levels == LevelRule::Window
                ? countDots(canvas, rect, CountRule::Brightness, thresholdValue(rule.thresholdTenths.value_or(5))).dots
                : countBrightness(canvas, rect, band).dots;
    }
    facts.dots = result.dots;
    result.warnings = reference ? referenceWarnings(facts) : countWarnings(facts);
    return result;
}
