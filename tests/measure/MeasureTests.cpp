// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The measuring path on its own: a count reports what it found, the area rule
// stops at a zero reference, a loaded picture is kept beside its fitting.
#include "counting/Thresholds.h"
#include "measure/Area.h"
#include "measure/Count.h"
#include "measure/WorkingImage.h"
#include "support/PictureFiles.h"
#include "support/Pictures.h"

namespace {

// A bright 4 x 4 square (level 600) on a dark ground (level 30) in the
// middle of a 12 x 10 bitmap.
TColor square(int x, int y)
{
    const bool inside = x >= 4 && x < 8 && y >= 3 && y < 7;
    return inside ? rgbColour(200, 200, 200) : rgbColour(10, 10, 10);
}

TEST(Count, BrightnessReturnsItsLevelsBandAndStatusLevel)
{
    TBitmap bitmap = makeBitmap(12, 10, square);
    Surface canvas(bitmap);
    const SelectionRect rect{1, 1, 11, 9}; // centre (6, 5) in the square
    const CountResult result = countDots(canvas, rect, CountRule::Brightness, thresholdValue(5));
    EXPECT_EQ(result.dots, 16);
    EXPECT_EQ(result.centreLevel, 600);
    EXPECT_EQ(result.cornerLevel, 30);
    EXPECT_TRUE(result.counted.contains(316)); // above 30 + (600 - 30) / 2
    EXPECT_FALSE(result.counted.contains(315));
    EXPECT_EQ(result.statusLevel, std::optional<int>(30)) << "the last pixel's level before marking";
    EXPECT_TRUE(sameColour(brightnessMark(square(5, 5)), canvas.pixel(5, 5)));

    const CountResult empty = countDots(canvas, {3, 3, 3, 8}, CountRule::Brightness, thresholdValue(5));
    EXPECT_EQ(empty.dots, 0);
    EXPECT_FALSE(empty.statusLevel);
}

TEST(Count, ColourRulesCountTheirChannelOnly)
{
    TBitmap bitmap = makeBitmap(6, 2, [](int x, int) { return x < 2 ? rgbColour(0, 0, 90) : rgbColour(90, 0, 0); });
    Surface canvas(bitmap);
    const CountResult blue = countDots(canvas, {0, 0, 6, 2}, CountRule::Blue, 0.5f);
    EXPECT_EQ(blue.dots, 4);
    EXPECT_FALSE(blue.statusLevel);
    EXPECT_EQ(countDots(canvas, {0, 0, 6, 2}, CountRule::Red, 0.5f).dots, 8);
    EXPECT_EQ(countDots(canvas, {0, 0, 6, 2}, CountRule::Green, 0.5f).dots, 0);
}

TEST(Area, RuleOfThreeRoundedOrNoneForAZeroReference)
{
    EXPECT_EQ(ruleOfThreeArea(1234, 3.14L, 567), 683.0L / 100); // 6.8338...
    EXPECT_EQ(ruleOfThreeArea(1, 1, 3), 33.0L / 100);
    EXPECT_FALSE(ruleOfThreeArea(100, 3.14L, 0));
}

TEST(WorkingImage, TheReadPictureIsKeptBesideItsFitting)
{
    const QString file = savedPicture(temporaryDirectory(), QStringLiteral("wide.bmp"), patternImage(2048, 20));
    const LoadedPicture loaded = loadPicture(file);
    EXPECT_EQ(loaded.picture.width(), 2048);
    EXPECT_EQ(loaded.working.width(), 1024);
    EXPECT_EQ(loaded.working.height(), 10);
    EXPECT_TRUE(sameColour(patternColour(2, 2), colourAt(loaded.working.image(), 1, 1)));
}

} // namespace
