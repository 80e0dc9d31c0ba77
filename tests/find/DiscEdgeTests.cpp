// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The robust count of a coin from the outline fitted to its edge: a light
// coin's lighter rim, narrower than a few blurs, counted with the coin (also
// where the light falls off steeply across its rectangle, or the rectangle
// lies close round it), or, where the rim is nearer the paper's colour than
// the paper's noise, a warning; a disc lighter than the paper counted true.
#include "ShapeScenes.h"

#include "cli/analysis/DiscEdge.h"
#include "cli/analysis/RectangleCount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

constexpr double radius = 50;
constexpr double coinDots = std::numbers::pi * radius * radius;

// A light coin with a rim 3 pixels wide, a little lighter than its middle
// (or as given), on paper with noise of up to +-noise levels a channel.
QImage lightCoin(double dimming, int noise = 3, QColor rim = QColor(212, 210, 206))
{
    return paperWith(QSize(400, 300),
                     {{disc({200, 150}, radius), rim}, {disc({200, 150}, radius - 3), QColor(170, 172, 178)}}, dimming,
                     noise, 0, {}, 1.0);
}

RectangleCount robustCount(const QImage& picture, int thresholdTenths = 5, SelectionRect rect = {130, 80, 270, 220})
{
    TBitmap bitmap(picture);
    Surface surface(bitmap);
    RectangleRule robust;
    robust.levels = LevelRule::Robust;
    robust.thresholdTenths = thresholdTenths;
    return countRectangle(surface, rect, robust, true, picture.size());
}

// A coin (of the radius above) on paper, under a shadow deep levels darker
// than the paper (each channel): cast aside by offset pixels, its edge
// softened over half that; or, where offset is 0, all round it, fading out
// over about soft pixels.
QImage shadowedCoin(double offset, double soft, int deep)
{
    const QPointF centre(200, 150), aside(0.7 * offset, 0.7 * offset);
    std::vector<Shape> shapes;
    const auto shade = [](double dark) { return QColor(int(235 - dark), int(230 - dark), int(220 - dark)); };
    for (double d = offset > 0 ? offset : 4 * soft; d > 0; d -= 0.5)
        shapes.push_back(offset > 0 ? Shape{disc(centre + aside, radius + d / 2), shade(deep * (1 - d / offset))}
                                    : Shape{disc(centre, radius + d), shade(deep * std::exp(-d / soft))});
    if (offset > 0)
        shapes.push_back({disc(centre + aside, radius), shade(deep)});
    shapes.push_back({disc(centre, radius), QColor(170, 172, 178)});
    return paperWith(QSize(400, 300), shapes, 0.05, 6, 0, {}, 1.0);
}

} // namespace

TEST(DiscEdge, ALightCoinsNarrowRimIsCountedOrItsShortCountIsSaid)
{
    const RectangleCount evenlyLit = robustCount(lightCoin(0.05));
    EXPECT_NEAR(evenlyLit.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(evenlyLit.warnings.has(Warning::EdgeNotCounted));
    EXPECT_FALSE(evenlyLit.warnings.has(Warning::ReferenceShadow));
    // Counted nearer the coin by choice, its blurred edge left out.
    EXPECT_FALSE(robustCount(lightCoin(0.05), 7).warnings.has(Warning::EdgeNotCounted));

    // Dragged close round the coin, as a loose rectangle on a large picture
    // is round its working image: the lines across its edge reach past the
    // rectangle's sides.
    const RectangleCount close = robustCount(lightCoin(0.05), 5, {147, 97, 253, 203});
    EXPECT_NEAR(close.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(close.warnings.has(Warning::EdgeNotCounted));

    // The light falling off steeply across the rectangle: the limit follows
    // the paper, and the rim is counted all round.
    const RectangleCount steepLight = robustCount(lightCoin(0.3));
    EXPECT_NEAR(steepLight.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(steepLight.warnings.has(Warning::EdgeNotCounted));

    // A rim nearer the paper's colour than its noise: it cannot be counted
    // without the paper, and the count falls short, and says so.
    const RectangleCount faintRim = robustCount(lightCoin(0.05, 14, QColor(220, 218, 214)));
    EXPECT_LT(faintRim.dots, 0.97 * coinDots);
    EXPECT_TRUE(faintRim.warnings.has(Warning::EdgeNotCounted));
}

TEST(DiscEdge, AWideRimAlmostThePapersColourLeftUncountedIsSaid)
{
    // The outer 14 pixels of the coin lie 8 levels off the paper: no limit
    // counts them without the paper, and the count says it falls short.
    // Then 10 pixels 14 levels off: their outer step lies at the ends of the
    // lines across the inner one, and no circle fits those.
    for (const auto& [rim, off] : {std::pair{14, 8}, std::pair{10, 14}}) {
        const QImage worn = paperWith(QSize(400, 300),
                                      {{disc({200, 150}, radius), QColor(235 - off, 230 - off, 220 - off)},
                                       {disc({200, 150}, radius - rim), QColor(170, 172, 178)}},
                                      0.05, 6, 0, {}, 1.0);
        const RectangleCount count = robustCount(worn);
        ASSERT_TRUE(count.levels.discArea.has_value()) << rim;
        EXPECT_NEAR(*count.levels.discArea, coinDots, 0.03 * coinDots) << rim;
        EXPECT_LT(count.dots, 0.75 * coinDots) << rim;
        EXPECT_TRUE(count.warnings.has(Warning::EdgeNotCounted)) << rim;
    }
    // A large coin with an 8 pixel rim 6 levels off the paper, in a
    // rectangle dragged 5 pixels round it: the rim is looked for as far as
    // the picture read round the rectangle reaches.
    const QImage large = paperWith(
        QSize(460, 420),
        {{disc({230, 210}, 150), QColor(229, 224, 214)}, {disc({230, 210}, 142), QColor(170, 172, 178)}}, 0.05, 6, 0,
        {}, 1.0);
    const RectangleCount close = robustCount(large, 5, {75, 55, 386, 366});
    ASSERT_TRUE(close.levels.discArea.has_value());
    EXPECT_NEAR(*close.levels.discArea, std::numbers::pi * 150 * 150, 0.01 * std::numbers::pi * 150 * 150);
    EXPECT_TRUE(close.warnings.has(Warning::EdgeNotCounted));
}

TEST(DiscEdge, AWideRimIsFoundOutsideTheOutlineHalfwayToTheMiddle)
{
    // A rim 9 pixels wide on a coin of radius 100, lighter than halfway to
    // its middle, under a blur of 2: the outline halfway to the middle
    // follows the rim's inner edge, and the coin's own edge lies well
    // outside it.
    const QImage picture = paperWith(
        QSize(240, 240),
        {{disc({120, 120}, 100), QColor(212, 210, 206)}, {disc({120, 120}, 91), QColor(170, 172, 178)}}, 0.02, 3, 0, {},
        2.0);
    cv::Mat levels(picture.height(), picture.width(), CV_16U);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            levels.at<std::uint16_t>(y, x) = std::uint16_t(qRed(pixel) + qGreen(pixel) + qBlue(pixel));
        }
    const auto edge = discEdge(
        levels, {levels, 1},
        [&] {
            return Surround{{levels, 1}, cv::Point(0, 0)};
        },
        PaperAcross(), 680, 520);
    ASSERT_TRUE(edge.has_value());
    const double area = std::numbers::pi * 100 * 100;
    EXPECT_NEAR(edge->area, area, 0.005 * area);
}

TEST(DiscEdge, ADiscLighterThanThePaperIsCountedTrue)
{
    const RectangleCount white = robustCount(
        paperWith(QSize(400, 300), {{disc({200, 150}, radius), QColor(250, 248, 245)}}, 0.05, 3, 0, {}, 1.0));
    EXPECT_NEAR(white.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(white.warnings.has(Warning::EdgeNotCounted));
}

TEST(DiscEdge, AShadowCountedWithTheCoinIsSaid)
{
    // Counted beyond the outline fitted to the coin's own edge (a shadow cast
    // aside); the edge much softer than the coin's own rise along most lines
    // (a shadow all round, fading out).
    for (const auto& [offset, soft, deep] : {std::tuple{16.0, 0.0, 25}, std::tuple{0.0, 4.0, 30}}) {
        const RectangleCount count = robustCount(shadowedCoin(offset, soft, deep));
        EXPECT_GT(count.dots, 1.02 * coinDots) << offset;
        EXPECT_TRUE(count.warnings.has(Warning::ReferenceShadow)) << offset;
    }
    // A coin photographed a little aslant is an ellipse: both areas shrink
    // alike, and that is no shadow.
    const QImage aslant = paperWith(
        QSize(400, 300), {{ellipse({200, 150}, radius, 0.96 * radius), QColor(170, 172, 178)}}, 0.05, 6, 0, {}, 1.0);
    EXPECT_FALSE(robustCount(aslant).warnings.has(Warning::ReferenceShadow));
}
