// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/Warnings.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

CountFacts windowFacts(int centre, int corner, int background, int object)
{
    CountFacts facts;
    facts.levels.centre = centre;
    facts.levels.corner = corner;
    facts.levels.background = background;
    facts.levels.object = object;
    facts.levels.backgroundSpread = 4;
    facts.dots = 5000;
    facts.borderPixels = 3000;
    return facts;
}

} // namespace

TEST(Warnings, WindowRuleLevels)
{
    EXPECT_TRUE(countWarnings(windowFacts(150, 600, 600, 150)).isEmpty());
    EXPECT_EQ(countWarnings(windowFacts(590, 600, 600, 150)).text(), "centre-on-background;levels-too-close");
    EXPECT_EQ(countWarnings(windowFacts(451, 600, 600, 150)).text(), "centre-on-background"); // within a third
    EXPECT_TRUE(countWarnings(windowFacts(450, 300, 600, 150)).isEmpty());
    EXPECT_EQ(countWarnings(windowFacts(150, 299, 600, 150)).text(), "corner-not-background"); // beyond two thirds

    CountFacts rim = windowFacts(150, 600, 600, 150); // a coin whose rim is lighter than its middle
    rim.windowLimit = 375;
    rim.levels.edge = 400;
    EXPECT_EQ(countWarnings(rim).text(), "edge-not-counted");
    rim.levels.edge = 350; // counted, but within a quarter of its contrast of the limit
    EXPECT_EQ(countWarnings(rim).text(), "edge-not-counted");
    rim.levels.edge = 300;
    EXPECT_TRUE(countWarnings(rim).isEmpty());

    CountFacts robust = windowFacts(590, 300, 600, 150);
    robust.levelRule = LevelRule::Robust;
    EXPECT_TRUE(countWarnings(robust).isEmpty()); // it uses neither pixel
    robust.levels.object = 580;
    EXPECT_EQ(countWarnings(robust).text(), "levels-too-close");
    robust.levels.backgroundSpread = 1; // closeness is at least 30 levels, or 6 x the noise
    robust.levels.object = 569;
    EXPECT_TRUE(countWarnings(robust).isEmpty());
}

TEST(Warnings, CountsBordersAndRectangles)
{
    CountFacts facts = windowFacts(150, 600, 600, 150);
    facts.borderDots = 3;
    EXPECT_EQ(countWarnings(facts).text(), "object-touches-edge");
    facts.borderPixels = 5000; // needs one per thousand border pixels
    EXPECT_TRUE(countWarnings(facts).isEmpty());
    facts.outside = true;
    facts.dots = 0;
    EXPECT_EQ(countWarnings(facts).text(), "rectangle-outside;no-dots");

    CountFacts reference = windowFacts(150, 600, 600, 150);
    reference.dots = 2999;
    EXPECT_EQ(referenceWarnings(reference).text(), "reference-small");
    reference.dots = 3000;
    EXPECT_TRUE(referenceWarnings(reference).isEmpty());
    EXPECT_NEAR(referenceUncertainty(3000), 0.032, 0.001);

    CountFacts colour;
    colour.brightness = false;
    colour.dots = 10;
    colour.colourShare = 0.005;
    EXPECT_EQ(countWarnings(colour).text(), "colour-on-grey");
    colour.colourShare = 0.2;
    EXPECT_TRUE(countWarnings(colour).isEmpty());
}

TEST(Warnings, EveryCodeIsListedOnceWithItsMeaningAndInTheManPage)
{
    QFile manPage(QStringLiteral(PLANIX_MAN_PAGE));
    ASSERT_TRUE(manPage.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manPage.readAll());
    QStringList codes;
    Warnings all;
    for (const WarningInfo& info : warningList()) {
        codes << QString::fromLatin1(info.code);
        EXPECT_GT(std::strlen(info.meaning), 20u);
        EXPECT_TRUE(
            page.contains(QStringLiteral("\n.B %1\n").arg(QString(codes.back()).replace(u'-', QStringLiteral("\\-")))))
            << info.code;
        all.add(info.warning);
    }
    EXPECT_EQ(codes.removeDuplicates(), 0);
    EXPECT_EQ(all.codes(), codes);
}

TEST(Warnings, BorderTallyAndColourShare)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    image.setPixel(0, 0, qRgb(0, 0, 255));
    image.setPixel(19, 5, qRgb(0, 0, 255));
    image.setPixel(5, 5, qRgb(0, 0, 255)); // inside, not on the border
    TBitmap bitmap(image);
    Surface surface(bitmap);
    const auto blue = [](int, int, TColor c) { return dominates(Channel::Blue, c); };
    const BorderTally tally = borderTally(surface, QRect(0, 0, 20, 10), blue);
    EXPECT_EQ(tally.pixels, 2 * 20 + 2 * 8);
    EXPECT_EQ(tally.counted, 2);
    EXPECT_EQ(borderTally(surface, QRect(5, 5, 1, 1), blue).pixels, 1);
    EXPECT_DOUBLE_EQ(clearColourShare(surface, {0, 0, 20, 10}, Channel::Blue), 3.0 / 200);
    EXPECT_DOUBLE_EQ(clearColourShare(surface, {0, 0, 20, 10}, Channel::Red), 0);
}

TEST(Warnings, SummaryCountsPicturesPerCode)
{
    WarningTally tally;
    EXPECT_TRUE(tally.summary(3).isEmpty());
    Warnings first, second;
    first.add(Warning::NoDots);
    first.add(Warning::ReferenceSmall);
    second.add(Warning::ReferenceSmall);
    tally.add(first, 2500);
    tally.add(second, 1600);
    tally.add(Warnings(), 9000);
    EXPECT_EQ(tally.summary(3),
              "planix-measure: 2 of 3 pictures carry warnings:\n"
              "  no-dots: 1\n"
              "  reference-small: 2 (fewest reference dots 1600: the area is uncertain by about 4.4 %)\n");
    EXPECT_TRUE(warningHelp().contains("  object-touches-edge\n      counted dots lie on the rectangle's border"));
    // A meaning drops the mode its whole warning belongs to, and keeps the
    // mode one of its cases belongs to.
    EXPECT_TRUE(warningMeaning("object-thin").startsWith("the object is narrow"));
    EXPECT_TRUE(warningMeaning("reference-shadow").contains("or (--find) its fitted outline is not round"));
}
