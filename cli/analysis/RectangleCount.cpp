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
        const BorderTally tally = borderTally(canvas, part,
                                              [&](int, int, TColor c) { return dominatesBy(channel, c, margin); });
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
        const std::optional<FollowedLimit> limit = rule.levels == LevelRule::Robust
                                                       ? followedLimit(result.levels, RobustLimit{rule.thresholdTenths})
                                                       : std::nullopt;
        const BorderTally tally = borderTally(canvas, part, [&](int x, int y, TColor c) {
            return limit ? limit->counts(levelOf(c), limit->at(x - part.left(), y - part.top()))
                         : band.contains(levelOf(c));
        });
        facts.borderDots = tally.counted;
        facts.borderPixels = tally.pixels;
        if (rule.levels == LevelRule::Window) // the window's brightness command itself
            result.dots =
                countDots(canvas, rect, CountRule::Brightness, thresholdValue(rule.thresholdTenths.value_or(5))).dots;
        else if (limit)
            result.dots = countBeyondLimits(canvas, rect, limit->above(), [&](int y, std::vector<float>& limits) {
                limit->row(y - part.top(), limits);
            });
        else
            result.dots = countBrightness(canvas, rect, band).dots;
    }
    facts.dots = result.dots;
    result.warnings = reference ? referenceWarnings(facts) : countWarnings(facts);
    return result;
}
