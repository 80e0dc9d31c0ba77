// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The robust count of a coin from the outline fitted to its edge: a light
// coin's lighter rim, narrower than a few blurs, counted with the coin, or,
// where the light falls off too steeply across its rectangle to count it
// without the paper, a warning; a disc lighter than the paper counted true.
#include "ShapeScenes.h"

#include "cli/analysis/RectangleCount.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double radius = 50;
constexpr double coinDots = std::numbers::pi * radius * radius;

// A light coin with a rim 3 pixels wide, a little lighter than its middle.
QImage lightCoin(double dimming)
{
    return paperWith(
        QSize(400, 300),
        {{disc({200, 150}, radius), QColor(212, 210, 206)}, {disc({200, 150}, radius - 3), QColor(170, 172, 178)}},
        dimming, 3, 0, {}, 1.0);
}

RectangleCount robustCount(const QImage& picture, int thresholdTenths = 5)
{
    TBitmap bitmap(picture);
    Surface surface(bitmap);
    RectangleRule robust;
    robust.levels = LevelRule::Robust;
    robust.thresholdTenths = thresholdTenths;
    return countRectangle(surface, {130, 80, 270, 220}, robust, true, picture.size());
}

} // namespace

TEST(DiscEdge, ALightCoinsNarrowRimIsCountedOrItsShortCountIsSaid)
{
    const RectangleCount evenlyLit = robustCount(lightCoin(0.05));
    EXPECT_NEAR(evenlyLit.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(evenlyLit.warnings.has(Warning::EdgeNotCounted));
    // Counted nearer the coin by choice, its blurred edge left out.
    EXPECT_FALSE(robustCount(lightCoin(0.05), 7).warnings.has(Warning::EdgeNotCounted));

    const RectangleCount steepLight = robustCount(lightCoin(0.3));
    EXPECT_LT(steepLight.dots, 0.97 * coinDots);
    EXPECT_TRUE(steepLight.warnings.has(Warning::EdgeNotCounted));
}

TEST(DiscEdge, ADiscLighterThanThePaperIsCountedTrue)
{
    const RectangleCount white = robustCount(
        paperWith(QSize(400, 300), {{disc({200, 150}, radius), QColor(250, 248, 245)}}, 0.05, 3, 0, {}, 1.0));
    EXPECT_NEAR(white.dots, coinDots, 0.01 * coinDots);
    EXPECT_FALSE(white.warnings.has(Warning::EdgeNotCounted));
}
