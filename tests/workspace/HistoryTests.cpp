// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The one-slot history buffer and the restore command.
#include "support/PictureFiles.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"

namespace {

class History : public Form1Test {
protected:
    void open(const QString& path)
    {
        dialog().answer = path;
        form().Action1->trigger();
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }

    // A count-like change: marks a block of the working image.
    void markPixels()
    {
        Surface canvas = form().Image2->canvas();
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 30; ++x)
                canvas.setPixel(x, y, rgbColour(255, 0, 0));
    }

    QString dir = temporaryDirectory();
};

TEST_F(History, RestoreBeforeAnySaveDoesNothing)
{
    setWorkingBitmap(makeBitmap(100, 80, patternColour));
    drag(10, 10, 50, 40);
    const QImage before = workingImage().copy();
    form().f1->trigger();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(samePixels(before, workingImage()));
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 100, 80));
    EXPECT_TRUE(state().overlayShown()); // not even the band is touched
    EXPECT_FALSE(state().historyValid());
}

TEST_F(History, OpenTwiceThenRestoreBringsTheFirstBackFitted)
{
    const QImage first = patternImage(1300, 1000);
    open(savedPicture(dir, QStringLiteral("first.bmp"), first));
    open(savedPicture(dir, QStringLiteral("second.bmp"), patternImage(50, 40)));
    EXPECT_EQ(form().Image2->size(), QSize(50, 40));
    form().f1->trigger();
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 999, 768));
    EXPECT_TRUE(samePixels(nearestSampled(first, 999, 768), workingImage()));
    // Restoring again gives the same; the slot is not used up.
    form().f1->trigger();
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 999, 768));
    EXPECT_TRUE(samePixels(nearestSampled(first, 999, 768), workingImage()));
}

TEST_F(History, RestoreAfterTheFirstOpenGivesBackTheEmptyWorkingImage)
{
    const QSize shownSize = form().Image2->size();
    ASSERT_TRUE(form().Image2->picture().isEmpty());
    open(savedPicture(dir, QStringLiteral("first.bmp"), patternImage(64, 48)));
    form().f1->trigger();
    EXPECT_TRUE(form().Image2->picture().isEmpty());
    EXPECT_EQ(form().Image2->geometry(), QRect(QPoint(0, 0), shownSize));
}

TEST_F(History, RestoreRemovesAShownBandWithoutTrace)
{
    const QImage first = patternImage(200, 150);
    open(savedPicture(dir, QStringLiteral("first.bmp"), first));
    open(savedPicture(dir, QStringLiteral("second.bmp"), patternImage(220, 160)));
    drag(15, 25, 180, 140);
    ASSERT_TRUE(state().overlayShown());
    form().f1->trigger();
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(first, workingImage()));
    // A new band over the restored picture comes off cleanly too.
    drag(5, 5, 100, 100);
    form().jikkoufuka();
    EXPECT_TRUE(samePixels(first, workingImage()));
}

TEST_F(History, AChangeThenRestoreGivesTheUnmarkedPicture)
{
    const QImage picture = patternImage(120, 90);
    setWorkingBitmap(TBitmap(picture));
    drag(5, 5, 60, 60);
    form().rireki1();
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(picture, form().Image3->picture().bitmap()->image())); // saved without the band
    markPixels();
    EXPECT_FALSE(samePixels(picture, workingImage()));
    form().f1->trigger();
    EXPECT_TRUE(samePixels(picture, workingImage()));
}

TEST_F(History, TwoChangesThenRestoreGivesThePictureAfterTheFirst)
{
    setWorkingBitmap(makeBitmap(120, 90, patternColour));
    form().rireki1();
    markPixels();
    const QImage afterFirst = workingImage().copy();
    form().rireki1();
    form().Image2->canvas().setPixel(100, 80, clBlack);
    form().f1->trigger();
    EXPECT_TRUE(samePixels(afterFirst, workingImage()));
}

TEST_F(History, TheSavedCopyIsIndependent)
{
    setWorkingBitmap(makeBitmap(60, 40, patternColour));
    form().rireki1();
    form().Image2->canvas().setPixel(1, 1, clBlack);
    EXPECT_TRUE(sameColour(patternColour(1, 1), colourAt(form().Image3->picture().bitmap()->image(), 1, 1)));
    form().rireki2();
    form().Image2->canvas().setPixel(2, 2, clBlack);
    EXPECT_TRUE(sameColour(patternColour(2, 2), colourAt(form().Image3->picture().bitmap()->image(), 2, 2)));
    EXPECT_EQ(form().Image3->pos(), QPoint(0, 0));
}

} // namespace
