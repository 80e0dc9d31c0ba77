// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The counting scans and the brightness limit, straight on bitmaps.
#include "counting/Kernels.h"
#include "counting/Thresholds.h"
#include "support/Pictures.h"

#include <vector>

namespace {

TEST(BrightnessLimit, ExactBandOfCountedLevels)
{
    EXPECT_EQ(brightnessLimit(400, 100, 0.5f), 250.0);
    EXPECT_EQ(brightnessLimit(110, 100, thresholdValue(7)), 100.0 + 10.0 * static_cast<double>(thresholdValue(7)));
    const LevelBand brighter = countedLevels(400, 100, 0.5f); // level > 250
    EXPECT_FALSE(brighter.contains(250));
    EXPECT_TRUE(brighter.contains(251));
    EXPECT_TRUE(brighter.contains(765)); // beyond the object's level too
    EXPECT_TRUE(countedLevels(110, 100, thresholdValue(7)).contains(107));
    EXPECT_FALSE(countedLevels(110, 100, thresholdValue(3)).contains(103));
    const LevelBand darker = countedLevels(100, 110, thresholdValue(7)); // level < 103.0000001
    EXPECT_TRUE(darker.contains(103));
    EXPECT_FALSE(darker.contains(104));
    EXPECT_TRUE(darker.contains(0));
    EXPECT_TRUE(countedLevels(300, 300, 0.5f).isEmpty());
    EXPECT_FALSE(countedLevels(300, 300, 0.5f).contains(300));
}

TEST(Centre, HalvesTruncateTowardZero)
{
    EXPECT_EQ(centreOf({10, 4, 21, 5}), QPoint(15, 4));
    EXPECT_EQ(centreOf({-4, -3, 1, 0}), QPoint(-1, -1));
    EXPECT_EQ(centreOf({-2'000'000'000, 2'000'000'000, 2'000'000'000, 2'000'000'001}), QPoint(0, 2'000'000'000));
}

TEST(Marks, GreyAndTiesNeverDominate)
{
    for (Channel c : {Channel::Red, Channel::Green, Channel::Blue}) {
        EXPECT_FALSE(dominates(c, channelMark));
        EXPECT_FALSE(dominates(c, outsideColour));
    }
    EXPECT_TRUE(dominates(Channel::Red, rgbColour(201, 200, 200)));
    EXPECT_FALSE(dominates(Channel::Red, rgbColour(200, 200, 199)));
}

class Scan : public ::testing::Test {
protected:
    // Level 30 + x + y; red dominates everywhere.
    static TColor ramp(int x, int y) { return rgbColour(x + y + 20, 10, 0); }
    TBitmap bitmap = makeBitmap(30, 20, ramp);
    std::vector<QRect> touched;
    Surface surface{bitmap, [this](const QRect& r) { touched.push_back(r); }};
};

TEST_F(Scan, BrightnessMarksCountedPixelsAndReportsOnce)
{
    // Levels 30 + x + y; counted when above 60: x + y > 30 within columns 10..24, rows 5..19.
    const BrightnessCount result = countBrightness(surface, {10, 5, 25, 20}, {61, 765});
    int expected = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool counted = x >= 10 && x < 25 && y >= 5 && x + y > 30;
            expected += counted;
            EXPECT_TRUE(sameColour(counted ? brightnessMark(ramp(x, y)) : ramp(x, y), surface.pixel(x, y)))
                << x << "," << y;
        }
    EXPECT_EQ(result.dots, expected);
    EXPECT_EQ(result.lastLevel, levelOf(ramp(24, 19)));
    ASSERT_EQ(touched.size(), 1u);
    EXPECT_TRUE(touched[0].contains(QRect(10, 5, 15, 15)));
}

TEST_F(Scan, OnlyPixelsInsideThePictureCount)
{
    const BrightnessCount bright = countBrightness(surface, {25, -8, 90, 3}, {0, 765});
    EXPECT_EQ(bright.dots, 5 * 3);
    EXPECT_EQ(bright.lastLevel, 765); // (89, 2) lies outside
    EXPECT_EQ(countDominant(surface, {-100, 15, 3, 400}, Channel::Red), 3 * 5);
    EXPECT_EQ(countDominant(surface, {-2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000}, Channel::Red),
              30 * 20 - 15 - 15);
    EXPECT_EQ(countDominant(surface, {40, 0, 60, 20}, Channel::Red), 0);
}

TEST_F(Scan, EmptyRectangleVisitsNothing)
{
    const BrightnessCount none = countBrightness(surface, {5, 5, 5, 10}, {0, 765});
    EXPECT_EQ(none.dots, 0);
    EXPECT_FALSE(none.lastLevel.has_value());
    EXPECT_EQ(countDominant(surface, {5, 9, 8, 9}, Channel::Red), 0);
    EXPECT_TRUE(touched.empty());
    EXPECT_TRUE(sameColour(ramp(5, 5), surface.pixel(5, 5)));
}

TEST_F(Scan, EmptyBandChangesNoPixel)
{
    const BrightnessCount result = countBrightness(surface, {0, 0, 30, 20}, LevelBand{});
    EXPECT_EQ(result.dots, 0);
    EXPECT_EQ(result.lastLevel, levelOf(ramp(29, 19)));
    EXPECT_TRUE(samePixels(makeBitmap(30, 20, ramp).image(), bitmap.image()));
}

TEST_F(Scan, DominantChannelMarksGrey)
{
    TBitmap mixed = makeBitmap(4, 1, [](int x, int) {
        const TColor colours[] = {rgbColour(10, 20, 200), rgbColour(10, 200, 200), rgbColour(150, 200, 150),
                                  rgbColour(200, 10, 10)};
        return colours[x];
    });
    Surface s(mixed);
    EXPECT_EQ(countDominant(s, {0, 0, 4, 1}, Channel::Blue), 1);
    EXPECT_TRUE(sameColour(channelMark, s.pixel(0, 0)));
    EXPECT_TRUE(sameColour(rgbColour(10, 200, 200), s.pixel(1, 0)));
    EXPECT_EQ(countDominant(s, {0, 0, 4, 1}, Channel::Green), 1);
    EXPECT_TRUE(sameColour(channelMark, s.pixel(2, 0)));
    EXPECT_EQ(countDominant(s, {0, 0, 4, 1}, Channel::Red), 1);
    EXPECT_EQ(countDominant(s, {0, 0, 4, 1}, Channel::Red), 0); // all marked grey now
}

} // namespace
