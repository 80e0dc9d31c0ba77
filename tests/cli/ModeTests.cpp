// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The measuring modes of planix-measure on a picture whose answers are known:
// a 2048 x 1536 sheet (fitted to exactly half) with a dark square, a green
// patch and a patch only faintly green.
#include "Scenes.h"

#include "cli/Measure.h"
#include "cli/analysis/Levels.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class Modes : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage image(2048, 1536, QImage::Format_RGB32);
        image.fill(qRgb(200, 200, 200));
        const auto patch = [&](int left, int top, int side, QRgb colour) {
            for (int y = top; y < top + side; ++y)
                for (int x = left; x < left + side; ++x)
                    image.setPixel(x, y, colour);
        };
        patch(100, 100, 80, qRgb(40, 40, 40));       // 6400 dots, 1600 fitted
        patch(600, 600, 100, qRgb(90, 140, 90));     // 10000, 2500 fitted
        patch(1000, 1000, 100, qRgb(120, 130, 120)); // green by 10 only
        file = dir.filePath(QStringLiteral("sheet.bmp"));
        ASSERT_TRUE(image.save(file, "BMP"));
        settings.object = {40, 40, 100, 100}; // working pixels around the square
        settings.referenceArea = 1;
    }

    Measurement measured(bool wholePicture = false) const { return measurePicture(file, settings, wholePicture); }

    QTemporaryDir dir;
    QString file;
    MeasureSettings settings;
};

TEST_F(Modes, FullResolutionAndPictureUnits)
{
    const Measurement fitted = measured();
    EXPECT_EQ(fitted.objectDots, 1600);
    EXPECT_EQ(fitted.countedSize, QSize(1024, 768));
    EXPECT_TRUE(fitted.warnings.isEmpty()) << fitted.warnings.text().toStdString();

    settings.fullResolution = true; // the same working rectangle, counted on the picture itself
    const Measurement full = measured();
    EXPECT_EQ(full.objectDots, 6400);
    EXPECT_EQ(full.countedSize, QSize(2048, 1536));
    EXPECT_EQ(full.workingImage.width(), 120 + 2 * surroundReach())
        << "only the rectangle's part and the picture round it that its levels may read are drawn";
    EXPECT_EQ(measured(true).workingImage.width(), 2048) << "the whole picture, for the marked picture";

    settings.pictureUnits = true;
    settings.object = {80, 80, 200, 200};
    EXPECT_EQ(measured().objectDots, 6400);
    settings.fullResolution = false; // picture pixels carried to the working image
    EXPECT_EQ(measured().objectDots, 1600);
    settings.object = {1900, 1400, 2100, 1600};
    EXPECT_EQ(measured().warnings.text(), "levels-too-close;rectangle-outside;no-dots");
}

TEST_F(Modes, RobustLevelsRulesPerRectangleAndColourMargin)
{
    settings.levels = LevelRule::Robust;
    settings.autoThreshold = true;
    EXPECT_EQ(measured().objectDots, 1600);

    settings.object = {290, 290, 360, 360}; // around the green patch
    settings.reference = SelectionRect{40, 40, 100, 100};
    settings.rule = CountRule::Green;
    const Measurement mixed = measured();
    EXPECT_EQ(mixed.objectDots, 2500);
    EXPECT_EQ(mixed.referenceDots, 1600) << "the reference by brightness";
    EXPECT_EQ(mixed.warnings.text(), "reference-small");

    settings.reference.reset();
    settings.object = {490, 490, 560, 560}; // around the faint patch
    EXPECT_EQ(measured().objectDots, 2500);
    settings.colourMargin = 20;
    EXPECT_EQ(measured().objectDots, 0);
    EXPECT_EQ(measured().warnings.text(), "no-dots;colour-on-grey");
}

} // namespace
