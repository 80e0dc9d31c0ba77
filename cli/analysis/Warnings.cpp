// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/Warnings.h"

#include "cli/analysis/BorderDots.h"
#include "cli/analysis/ColourMargin.h"

#include <algorithm>
#include <cmath>

namespace {

// Levels closer than this (or than a few times the paper's noise) cannot be
// told apart reliably.
constexpr int closeLevels = 30;
constexpr double noiseMultiple = 6.0;
// A channel counts as clearly dominant by more than this many levels, and a
// rectangle as holding the colour when at least this share of it does.
constexpr int clearColourMargin = 16;
constexpr double colourShareNeeded = 0.01;

// The dots counted halfway falling short of a disc's outline fitted to its
// edge by more than this share: its rim is not counted (a limit nearer the
// disc leaves out more of its blurred edge by choice); going beyond it by
// more: something lying against it is counted.
constexpr double discOutlineMargin = 0.025;

bool discEdgeShort(const CountFacts& facts)
{
    const std::optional<double>& area = facts.levels.discArea;
    return facts.halfway && area && facts.dots < (1 - discOutlineMargin) * *area;
}

// The dots counted halfway going beyond a disc's outline fitted to its edge,
// or its edge showing a shadow's.
bool discShadowCounted(const CountFacts& facts)
{
    const std::optional<double>& area = facts.levels.discArea;
    return facts.levels.discShadow || (facts.halfway && area && facts.dots > (1 + discOutlineMargin) * *area);
}

bool tooClose(int a, int b, double spread)
{
    return std::abs(a - b) < std::max(double(closeLevels), noiseMultiple * spread);
}

} // namespace

QStringList Warnings::codes() const
{
    QStringList result;
    for (const WarningInfo& info : warningList())
        if (has(info.warning))
            result << QString::fromLatin1(info.code);
    return result;
}

const std::vector<WarningInfo>& warningList()
{
    static const std::vector<WarningInfo> list = {
        {Warning::PictureCutShort, "picture-cut-short",
         "the picture's file ends before its picture does (a copy or a download cut short): what it lacks is drawn "
         "as the decoder fills it (flat grey rows, or a coarser picture where the file is progressive), and a shape "
         "or rectangle reaching that is measured wrong"},
        {Warning::CentreOnBackground, "centre-on-background",
         "the rectangle's centre, which the window's rule takes as the object, looks like the background"},
        {Warning::CornerNotBackground, "corner-not-background",
         "the rectangle's top-left corner, which the window's rule takes as the background, differs from the "
         "rest of its border"},
        {Warning::EdgeNotCounted, "edge-not-counted",
         "the object is lighter or darker along its outline (a coin's rim) than at the centre, beyond the window's "
         "limit, or at --threshold 50 a disc's count falls more than 2.5 % short of the outline fitted to its edge: "
         "its edge is not counted, a reference's area comes out too small and every area too large"},
        {Warning::LevelsTooClose, "levels-too-close",
         "the object's and the background's levels are too close to tell apart"},
        {Warning::ObjectTouchesEdge, "object-touches-edge",
         "counted dots lie on the rectangle's border: the shape may be cut off"},
        {Warning::RectangleOutside, "rectangle-outside", "a rectangle lies partly or wholly outside the picture"},
        {Warning::NoDots, "no-dots", "a rectangle counted no dot"},
        {Warning::ReferenceSmall, "reference-small",
         "fewer than 3000 reference dots: the area is uncertain by a few percent or more"},
        {Warning::ColourOnGrey, "colour-on-grey",
         "a colour rule was used on a rectangle with hardly any of that colour"},
        {Warning::ObjectTouchesPictureEdge, "object-touches-picture-edge",
         "(--find) the object reaches the picture's edge: part of it may lie outside"},
        {Warning::ReferenceAmbiguous, "reference-ambiguous",
         "(--find) a second shape fitted the reference's shape as well as the one taken"},
        {Warning::ReferenceShadow, "reference-shadow",
         "on one side only the reference's edge is much softer or a second edge shows just inside it, or along "
         "half or more of its outline its edge is much softer than the sharpest rise just inside it, or (a "
         "reference rectangle) at --threshold 50 its count goes more than 2.5 % beyond the outline fitted to its "
         "edge, or (--find) its fitted outline is not round, or it was found only as the widest circle in a region "
         "it shares with a shape it touches, or only on a wider look for its rim, or only by the arc of its outline a "
         "circle fits, the rest lying beyond it, or it was widened to a rim "
         "almost the paper's colour found all round beyond its edge, or its rim lies so close inside its edge "
         "that under the blur the two make one rise, on a coin so small that the area is then uncertain by 2.5 % "
         "or more: a shadow, something else lying against it or the paper beyond a faint rim may have been taken "
         "for part of it (or the photograph was taken at a slant, or the edge placed on the rim's blurred outer "
         "side), and then the reference is most often too large and every area too small (a coin whose faint rim or "
         "rim highlights only look like a shadow, or whose faint rim was left out, comes out short instead)"},
        {Warning::ObjectThin, "object-thin",
         "(--find) the object is narrow (a blade of grass, a stalk lying apart): under 6 pixels wide, under 3.5 "
         "times the blur of the reference's edge, or under 12 pixels on a shrunk working image; blur or the "
         "working image's rounding may put its area far off: measure it with --full-resolution or from a closer "
         "photograph"},
        {Warning::ObjectFaintBeside, "object-faint-beside",
         "(--find) beside the object something stands out from the paper with less than half the object's colour "
         "(a paler tip or margin, or a shadow or a stain): it is not counted, and if it is part of the object the "
         "area is too small"},
        {Warning::ObjectTouchesReference, "object-touches-reference",
         "(--find) the object lies against the reference: where they meet, its edge is taken short of the "
         "reference's blurred edge, and it may be the reference's own shadow"},
        {Warning::NoObject, "no-object",
         "(--find) nothing but the reference stands out from the paper: the object may be too faint, or no larger "
         "than --min-area"},
    };
    return list;
}

double referenceUncertainty(std::int32_t referenceDots)
{
    if (referenceDots <= 0)
        return 1;
    // A disk of N dots has an outline of 2 sqrt(pi N) dots; half a dot of it, over N.
    return std::sqrt(3.14159265358979 / referenceDots);
}

Warnings countWarnings(const CountFacts& facts)
{
    Warnings warnings;
    if (facts.outside)
        warnings.add(Warning::RectangleOutside);
    if (facts.dots == 0)
        warnings.add(Warning::NoDots);
    if (dotsOnBorder(facts.borderDots, facts.borderPixels))
        warnings.add(Warning::ObjectTouchesEdge);
    if (!facts.brightness) {
        if (facts.colourShare && *facts.colourShare < colourShareNeeded)
            warnings.add(Warning::ColourOnGrey);
        return warnings;
    }

    const RectangleLevels& l = facts.levels;
    if (!l.background)
        return warnings; // nothing of the rectangle inside the picture
    const int background = *l.background;
    if (facts.levelRule == LevelRule::Robust) {
        if (!l.object || tooClose(*l.object, background, l.backgroundSpread))
            warnings.add(Warning::LevelsTooClose);
        if (discEdgeShort(facts))
            warnings.add(Warning::EdgeNotCounted);
        return warnings;
    }
    if (tooClose(l.centre, l.corner, l.backgroundSpread))
        warnings.add(Warning::LevelsTooClose);
    if (l.object) {
        // The centre within a third of the way from the border's background
        // to the object's class; the corner beyond two thirds of the way.
        const double contrast = std::abs(*l.object - background);
        if (std::abs(l.centre - background) < contrast / 3)
            warnings.add(Warning::CentreOnBackground);
        if (std::abs(l.corner - background) > contrast * 2 / 3)
            warnings.add(Warning::CornerNotBackground);
        // The object's level just inside its outline on the background's side
        // of the limit, or so near it that much of the outline falls short.
        const bool darker = *l.object < background;
        if (l.edge && facts.windowLimit) {
            const double beyond = darker ? *facts.windowLimit - *l.edge : *l.edge - *facts.windowLimit;
            if (beyond < std::abs(*l.edge - background) / 4.0)
                warnings.add(Warning::EdgeNotCounted);
        }
        if (discEdgeShort(facts))
            warnings.add(Warning::EdgeNotCounted);
    }
    return warnings;
}

Warnings referenceWarnings(const CountFacts& facts)
{
    Warnings warnings = countWarnings(facts);
    if (facts.dots > 0 && facts.dots < smallReferenceDots)
        warnings.add(Warning::ReferenceSmall);
    if (facts.brightness && discShadowCounted(facts))
        warnings.add(Warning::ReferenceShadow);
    return warnings;
}

BorderTally borderTally(const Surface& surface, const QRect& part, const std::function<bool(int, int, TColor)>& counted)
{
    BorderTally tally;
    if (part.isEmpty())
        return tally;
    const auto visit = [&](int x, int y) {
        ++tally.pixels;
        tally.counted += counted(x, y, fromQRgb(surface.constScanLine(y)[x])) ? 1 : 0;
    };
    for (int x = part.left(); x <= part.right(); ++x) {
        visit(x, part.top());
        if (part.height() > 1)
            visit(x, part.bottom());
    }
    for (int y = part.top() + 1; y < part.bottom(); ++y) {
        visit(part.left(), y);
        if (part.width() > 1)
            visit(part.right(), y);
    }
    return tally;
}

double clearColourShare(const Surface& surface, const SelectionRect& rect, Channel channel)
{
    const QRect part = insidePart(rect, surface.width(), surface.height());
    if (part.isEmpty())
        return 0;
    const double pixels = double(part.width()) * part.height();
    return double(dominantPixels(surface, rect, channel, clearColourMargin)) / pixels;
}

QString warningMeaning(const QString& code)
{
    for (const WarningInfo& info : warningList())
        if (code == QLatin1String(info.code)) {
            // The mode a whole warning belongs to goes; a mode naming one of
            // its cases stays.
            QString meaning = QString::fromLatin1(info.meaning);
            if (const QString mode = QStringLiteral("(--find) "); meaning.startsWith(mode))
                meaning.remove(0, mode.size());
            return meaning;
        }
    return {};
}

QString warningHelp()
{
    constexpr qsizetype width = 78;
    QString text;
    for (const WarningInfo& info : warningList()) {
        text += QStringLiteral("  %1\n").arg(QString::fromLatin1(info.code));
        QString line = QStringLiteral("     ");
        for (const QString& word : QString::fromLatin1(info.meaning).split(u' ')) {
            if (line.size() + 1 + word.size() > width) {
                text += line + u'\n';
                line = QStringLiteral("     ");
            }
            line += u' ' + word;
        }
        text += line + u'\n';
    }
    return text;
}

void WarningTally::add(const Warnings& warnings, std::optional<std::int32_t> referenceDots)
{
    if (warnings.isEmpty())
        return;
    ++pictures;
    const std::vector<WarningInfo>& list = warningList();
    for (std::size_t i = 0; i < list.size(); ++i)
        counts[i] += warnings.has(list[i].warning) ? 1 : 0;
    if (warnings.has(Warning::ReferenceSmall) && referenceDots)
        fewestReferenceDots = std::min(*referenceDots, fewestReferenceDots.value_or(*referenceDots));
}

QString WarningTally::summary(int measured) const
{
    if (pictures == 0)
        return {};
    QString text = QStringLiteral("planix-measure: %1 of %2 pictures carry warnings:\n").arg(pictures).arg(measured);
    const std::vector<WarningInfo>& list = warningList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (counts[i] == 0)
            continue;
        text += QStringLiteral("  %1: %2").arg(QString::fromLatin1(list[i].code)).arg(counts[i]);
        if (list[i].warning == Warning::ReferenceSmall && fewestReferenceDots)
            text += QStringLiteral(" (fewest reference dots %1: the area is uncertain by about %2 %)")
                        .arg(*fewestReferenceDots)
                        .arg(referenceUncertainty(*fewestReferenceDots) * 100, 0, 'f', 1);
        text += u'\n';
    }
    return text;
}
