// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/ColourMargin.h"
#include "cli/analysis/Levels.h"
#include "cli/analysis/RectangleCount.h"
#include "counting/Thresholds.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Grey paper (200, 200, 200) with a dark ring (50, 50, 50) whose hole, at
// the centre of the picture, is paper: the window's centre pixel misses it.
TBitmap ringPicture()
{
    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(qRgb(200, 200, 200));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const int dx = x - 50, dy = y - 40, d2 = dx * dx + dy * dy;
            if (d2 >= 10 * 10 && d2 < 25 * 25)
                image.setPixel(x, y, qRgb(50, 50, 50));
        }
    return TBitmap(image);
}

int ringPixels()
{
    int n = 0;
    for (int dy = -40; dy < 40; ++dy)
        for (int dx = -50; dx < 50; ++dx)
            n += (dx * dx + dy * dy >= 100 && dx * dx + dy * dy < 625) ? 1 : 0;
    return n;
}

} // namespace

TEST(RobustLevels, BackgroundFromBorderObjectFromTheOtherClass)
{
    TBitmap bitmap = ringPicture();
    Surface surface(bitmap);
    const SelectionRect loose{10, 5, 90, 75};
    const RectangleLevels levels = rectangleLevels(surface, loose);
    EXPECT_EQ(levels.centre, 600); // the hole
    EXPECT_EQ(levels.corner, 600);
    EXPECT_EQ(levels.background, 600);
    EXPECT_EQ(levels.object, 150);
    ASSERT_TRUE(levels.split);
    EXPECT_GE(*levels.split, 150);
    EXPECT_LT(*levels.split, 600);
    EXPECT_EQ(levels.pixels, 80 * 70);
    EXPECT_TRUE(levels.paper.even());

    // 50 % of the way from 600 to 150, and the split: both count the ring exactly.
    for (const RobustLimit limit : {RobustLimit{5}, RobustLimit{}}) {
        TBitmap copy = ringPicture();
        Surface canvas(copy);
        const LevelBand band = robustBand(levels, limit);
        EXPECT_EQ(countBrightness(canvas, loose, band).dots, ringPixels());
    }
    EXPECT_DOUBLE_EQ(*robustLimitLevel(levels, RobustLimit{5}), 375.0);
    EXPECT_DOUBLE_EQ(*robustLimitLevel(levels, RobustLimit{1}), 600 - 45.000000670552254);
}

TEST(RobustLevels, AHeavilyBlurredEdgeIsLookedPastToTheShapesOwnLevel)
{
    // A dark square under a blur of 3.5 pixels: a first look just inside
    // its outline still lies on the blurred edge, and a limit halfway to
    // that level would count the square some pixels too wide. The square's
    // cover of each pixel under the blur, across and down:
    const auto cover = [](int at) {
        const auto rise = [](double d) { return 0.5 * (1 + std::erf(d / (3.5 * std::sqrt(2.0)))); };
        return rise(at + 0.5 - 90) - rise(at + 0.5 - 210);
    };
    QImage image(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            const int level = int(std::lround(210 - 180 * cover(x) * cover(y)));
            image.setPixel(x, y, qRgb(level, level, level));
        }
    TBitmap bitmap(image);
    Surface surface(bitmap);
    const SelectionRect loose{60, 60, 240, 240};
    const RectangleLevels levels = rectangleLevels(surface, loose);
    ASSERT_TRUE(levels.edge);
    EXPECT_NEAR(*levels.edge, 90, 6);
    RectangleRule robust;
    robust.levels = LevelRule::Robust;
    EXPECT_NEAR(countRectangle(surface, loose, robust, true, image.size()).dots, 120 * 120, 0.005 * 120 * 120);
}

TEST(RobustLevels, ObjectPixelsOnTheBorderAndOutsideDoNotMoveTheBackground)
{
    TBitmap bitmap = ringPicture();
    Surface surface(bitmap);
    // Cuts through the ring on its left; reaches beyond the picture's top and right.
    const SelectionRect cut{30, -20, 130, 75};
    EXPECT_TRUE(reachesOutside(cut, 100, 80));
    EXPECT_FALSE(reachesOutside({30, 0, 100, 80}, 100, 80));
    EXPECT_EQ(insidePart(cut, 100, 80), QRect(30, 0, 70, 75));
    const RectangleLevels levels = rectangleLevels(surface, cut);
    EXPECT_EQ(levels.pixels, 70 * 75);
    EXPECT_EQ(levels.background, 600);
    EXPECT_EQ(levels.object, 150);
    EXPECT_EQ(levels.corner, 765); // outside
    EXPECT_DOUBLE_EQ(levels.backgroundSpread, 0);

    const RectangleLevels nothing = rectangleLevels(surface, {200, 200, 300, 300});
    EXPECT_EQ(nothing.pixels, 0);
    EXPECT_FALSE(nothing.background);
    EXPECT_TRUE(robustBand(nothing, {}).isEmpty());
}

TEST(RobustLevels, BrighterObjectAndFlatRectangle)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(qRgb(20, 30, 40)); // level 90
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x)
            image.setPixel(x, y, qRgb(220, 210, 200)); // level 630
    TBitmap bitmap(image);
    Surface surface(bitmap);
    const RectangleLevels levels = rectangleLevels(surface, {0, 0, 40, 40});
    EXPECT_EQ(levels.background, 90);
    EXPECT_EQ(levels.object, 630);
    const LevelBand band = robustBand(levels, RobustLimit{9});
    EXPECT_EQ(band.highest, 765);
    EXPECT_EQ(band.lowest, 576); // 90 + 540 x 0.9 (0.899999976) = 575.99..., above it
    EXPECT_FALSE(rectangleLevels(surface, {12, 12, 20, 20}).object); // a single level
}

TEST(RobustLevels, TheLimitFollowsLightFallingOffAcrossTheRectangle)
{
    // Paper from 240 on the left to 160 on the right; across it a dark bar
    // whose blurred sides cover 7/8, 5/8, 3/8 and 1/8 of the rows beside its
    // core. Halfway between the paper there and the bar, each column counts
    // the core and the rows covered more than half: 7. The border's median
    // alone puts the limit too far from the darker paper on the right.
    const auto paper = [](int x) { return 240.0 - 80.0 * x / 399; };
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const double cover = x >= 50 && x < 350 ? std::clamp((5.5 - std::abs(y - 150)) / 4, 0.0, 1.0) : 0.0;
            const int level = int(std::lround(paper(x) + (10 - paper(x)) * cover));
            image.setPixel(x, y, qRgb(level, level, level));
        }
    // A blot across the top border leaves the paper's level there as it was.
    for (int y = 0; y < 20; ++y)
        for (int x = 180; x < 220; ++x)
            image.setPixel(x, y, qRgb(10, 10, 10));
    TBitmap bitmap(image);
    Surface surface(bitmap);
    const RectangleLevels levels = rectangleLevels(surface, {30, 10, 370, 200});
    ASSERT_FALSE(levels.paper.even());
    EXPECT_NEAR(levels.paper.at(200 - 30, 0), 3 * paper(200), 3);
    EXPECT_NEAR(levels.paper.at(300 - 30, 150 - 10), 3 * paper(300), 3);
    RectangleRule robust;
    robust.levels = LevelRule::Robust;
    const RectangleCount count = countRectangle(surface, {30, 100, 370, 200}, robust, false, image.size());
    EXPECT_EQ(count.dots, 7 * 300);
    EXPECT_FALSE(count.warnings.has(Warning::ObjectTouchesEdge));
}

TEST(RobustLevels, AShadowAlongOneSideIsPaperNotTheShape)
{
    // Paper at 200 but for a shadow falling to 133 along the right side,
    // counted at 30 % of the way from the paper to the bar: one limit for the
    // whole rectangle (from the border's median) counts the shadow's darker
    // part and says the shape reaches the border.
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool bar = x >= 50 && x < 250 && std::abs(y - 100) <= 3;
            const int level = bar ? 10 : x >= 250 ? 200 - 67 * (x - 250) / 49 : 200;
            image.setPixel(x, y, qRgb(level, level, level));
        }
    TBitmap bitmap(image);
    Surface surface(bitmap);
    RectangleRule robust;
    robust.levels = LevelRule::Robust;
    robust.thresholdTenths = 3;
    const RectangleCount count = countRectangle(surface, {0, 0, 300, 200}, robust, false, image.size());
    EXPECT_EQ(count.dots, 7 * 200);
    EXPECT_FALSE(count.warnings.has(Warning::ObjectTouchesEdge));
}

TEST(RobustLevels, WhereThePaperLiesAtTheBackgroundTheFollowedLimitCountsAsOneLimitDoes)
{
    // Paper at 600 on the left, 500 on the right: on the left side it lies
    // exactly at the background.
    const PaperAcross paper([](int x, int) { return x < 50 ? 600 : 500; }, 100, 40, 600, 300.0, true);
    ASSERT_FALSE(paper.even());
    // 70 % of the way from 600 to 610 (0.7 held as 0.699999988): level 607
    // lies above the limit, as robustBand counts it.
    const double limit = 600 + 10 * double(thresholdValue(7));
    const FollowedLimit lighter(paper, FollowedLimit::single(limit, true), 0.3F, 600, true);
    EXPECT_TRUE(lighter.counts(607, lighter.at(0, 20)));
    EXPECT_FALSE(lighter.counts(606, lighter.at(0, 20)));
    // Below a limit on a whole level: the level itself is not counted.
    const FollowedLimit darker(paper, FollowedLimit::single(590.0, false), 0.5F, 600, false);
    EXPECT_FALSE(darker.counts(590, darker.at(0, 20)));
    EXPECT_TRUE(darker.counts(589, darker.at(0, 20)));
    EXPECT_TRUE(darker.counts(539, darker.at(99, 20))); // halfway down the paper's 100 levels less
    EXPECT_FALSE(darker.counts(540, darker.at(99, 20)));
}

TEST(ColourMargin, ChannelMustLeadBothOthersByMoreThanTheMargin)
{
    const TColor greenish = rgbColour(100, 120, 110); // green leads by 20 and 10
    EXPECT_TRUE(dominatesBy(Channel::Green, greenish, 0));
    EXPECT_TRUE(dominatesBy(Channel::Green, greenish, 9));
    EXPECT_FALSE(dominatesBy(Channel::Green, greenish, 10));
    EXPECT_FALSE(dominatesBy(Channel::Red, greenish, 0));

    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(toQRgb(greenish));
    for (int x = 0; x < 10; ++x)
        image.setPixel(x, 0, qRgb(0, 200, 0));
    TBitmap bitmap(image);
    Surface surface(bitmap);
    EXPECT_EQ(dominantPixels(surface, {0, 0, 10, 10}, Channel::Green, 50), 10);
    EXPECT_EQ(countDominantBy(surface, {-5, -5, 10, 10}, Channel::Green, 50), 10);
    EXPECT_EQ(bitmap.image().pixel(3, 0), toQRgb(channelMark));
    EXPECT_EQ(bitmap.image().pixel(3, 1), toQRgb(greenish));
    EXPECT_EQ(countDominantBy(surface, {0, 0, 10, 10}, Channel::Green, 0), 90); // the window's rule
}

TEST(RectangleCount, WindowLevelsMissTheRingAndSayWhyRobustLevelsCountIt)
{
    const SelectionRect loose{10, 5, 90, 75};
    TBitmap windowBitmap = ringPicture();
    Surface window(windowBitmap);
    const RectangleCount byWindow = countRectangle(window, loose, RectangleRule{}, false, QSize(100, 80));
    EXPECT_EQ(byWindow.dots, 0); // centre and corner both on the paper
    EXPECT_EQ(byWindow.warnings.text(), "centre-on-background;levels-too-close;no-dots");

    TBitmap robustBitmap = ringPicture();
    Surface robust(robustBitmap);
    RectangleRule robustRule;
    robustRule.levels = LevelRule::Robust;
    const RectangleCount byRobust = countRectangle(robust, loose, robustRule, true, QSize(100, 80));
    EXPECT_EQ(byRobust.dots, ringPixels());
    EXPECT_EQ(byRobust.warnings.text(), "reference-small"); // as a reference of so few dots
    EXPECT_EQ(robustBitmap.image().pixel(50, 20), toQRgb(brightnessMark(rgbColour(50, 50, 50))));

    // A part of the picture from (40, 0): the rectangle reaches past the picture's right edge.
    TBitmap partBitmap = ringPicture();
    Surface part(partBitmap);
    RectangleRule red = robustRule;
    red.colour = Channel::Red;
    const RectangleCount cut = countRectangle(part, {30, 5, 60, 75}, red, false, QSize(90, 80), QPoint(40, 0));
    EXPECT_EQ(cut.dots, 0);
    EXPECT_EQ(cut.warnings.text(), "rectangle-outside;no-dots;colour-on-grey");
}
