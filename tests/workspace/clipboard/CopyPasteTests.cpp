// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Copy and paste through the system clipboard, as the Edit menu runs them.
#include "ClipboardFixture.h"
#include "surface/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard& systemClipboard() { return *QGuiApplication::clipboard(); }

// What another program leaves on the clipboard.
void offerImage(const QImage& image) { systemClipboard().setImage(image); }

void offerMetafileOnly()
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/x-emf"), QByteArray("\x01\x00\x00\x00", 4));
    systemClipboard().setMimeData(data);
}

constexpr int pictureWidth = 300;
constexpr int pictureHeight = 200;

class CopyPaste : public ClipboardCommandsTest {
protected:
    void SetUp() override
    {
        ClipboardCommandsTest::SetUp();
        original = patternBitmap(pictureWidth, pictureHeight).image();
        setWorkingBitmap(TBitmap(original));
    }

    QImage original;
};

// --- copy ---

TEST_F(CopyPaste, CopyTakesExactlyTheRectangleOfTheDrag)
{
    drag(10, 20, 110, 70);
    copy();

    const QImage copied = systemClipboard().image();
    EXPECT_EQ(copied.size(), QSize(100, 50));
    EXPECT_TRUE(samePixels(pixelsOf(original, QRect(10, 20, 100, 50)), copied));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CopyPaste, CopyLeavesPictureHistoryAndBandAsTheyWere)
{
    drag(10, 20, 110, 70);
    const QImage withBand = workingImage().copy();
    ASSERT_FALSE(samePixels(original, withBand)); // the band is in the pixels

    copy();

    EXPECT_TRUE(samePixels(withBand, workingImage()));
    EXPECT_TRUE(state().overlayShown());
    EXPECT_FALSE(state().historyValid());
    EXPECT_TRUE(historyPicture().isEmpty());
    openEditMenu();
    EXPECT_TRUE(copyEnabled());
    openRunMenu();
    EXPECT_TRUE(countingEnabled());
}

TEST_F(CopyPaste, CopyLeavesASavedHistoryAlone)
{
    const QImage saved = stripesBitmap(40, 30).image();
    form().Image3->assignPicture(Picture(TBitmap(saved)));
    state().historyValid() = true;
    drag(10, 20, 110, 70);

    copy();
    restore();

    EXPECT_TRUE(samePixels(saved, workingImage())); // still the picture saved before the copy
}

TEST_F(CopyPaste, PartOfTheRectangleOutsideThePictureCopiesWhite)
{
    drag(250, 150, 350, 260);
    copy();

    const QImage copied = systemClipboard().image();
    ASSERT_EQ(copied.size(), QSize(100, 110));
    EXPECT_TRUE(sameColour(patternColour(299, 199), colourAt(copied, 49, 49)));
    EXPECT_TRUE(sameColour(clWhite, colourAt(copied, 50, 0)));
    EXPECT_TRUE(sameColour(clWhite, colourAt(copied, 0, 50)));
    EXPECT_TRUE(sameColour(clWhite, colourAt(copied, 99, 109)));
    EXPECT_TRUE(samePixels(pixelsOf(original, QRect(250, 150, 100, 110)), copied));
}

TEST_F(CopyPaste, CopyReplacesWhateverWasOnTheClipboard)
{
    offerMetafileOnly();
    drag(10, 20, 110, 70);
    copy();

    const QMimeData* data = systemClipboard().mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasFormat(QStringLiteral("image/x-emf")));
    EXPECT_TRUE(data->hasImage());
}

TEST_F(CopyPaste, WithoutABandCopyIsDisabledAndDoesNothing)
{
    const QImage before = stripesBitmap(8, 8).image();
    offerImage(before);

    openEditMenu();
    EXPECT_FALSE(copyEnabled());
    copy();

    EXPECT_TRUE(samePixels(before, systemClipboard().image()));
    EXPECT_TRUE(samePixels(original, workingImage()));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CopyPaste, AfterAPlainClickCopyIsDisabled)
{
    drag(10, 20, 110, 70);
    press(40, 40);
    release(40, 40);

    openEditMenu();

    EXPECT_FALSE(copyEnabled());
}

// --- the Edit menu ---

TEST_F(CopyPaste, EditMenuEnablesPasteOnlyWhenThereIsSomethingToPaste)
{
    openEditMenu();
    EXPECT_FALSE(pasteEnabled());

    offerImage(stripesBitmap(4, 4).image());
    openEditMenu();
    EXPECT_TRUE(pasteEnabled());

    systemClipboard().setText(QStringLiteral("text only"));
    openEditMenu();
    EXPECT_FALSE(pasteEnabled());
}

TEST_F(CopyPaste, EditMenuLeavesTheRestoreEntryAlone)
{
    form().f1->setEnabled(false);
    openEditMenu();
    EXPECT_FALSE(form().f1->isEnabled());

    form().f1->setEnabled(true);
    openEditMenu();
    EXPECT_TRUE(form().f1->isEnabled());
}

// --- paste ---

TEST_F(CopyPaste, CopyThenPasteGivesBackThePictureWithoutTheBand)
{
    drag(10, 20, 110, 70);
    copy();
    paste();

    EXPECT_TRUE(samePixels(original, workingImage()));
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(original, historyPicture().bitmap()->image())); // saved without the band
    openEditMenu();
    EXPECT_FALSE(copyEnabled());
    openRunMenu();
    EXPECT_FALSE(countingEnabled());
}

TEST_F(CopyPaste, PasteBeforeAnyPressLandsAtTheTopLeftCorner)
{
    const QImage pasted = stripesBitmap(30, 20).image();
    offerImage(pasted);

    paste();

    const QImage after = workingImage();
    EXPECT_EQ(after.size(), QSize(pictureWidth, pictureHeight));
    EXPECT_TRUE(samePixels(pasted, pixelsOf(after, QRect(0, 0, 30, 20))));
    EXPECT_TRUE(sameColour(patternColour(30, 0), colourAt(after, 30, 0)));
    EXPECT_TRUE(sameColour(patternColour(0, 20), colourAt(after, 0, 20)));
}

TEST_F(CopyPaste, LoaderImageHoldsThePastedBitmapAtItsOwnSize)
{
    const QImage pasted = stripesBitmap(30, 20).image();
    offerImage(pasted);

    paste();

    ASSERT_NE(loaderPicture().bitmap(), nullptr);
    EXPECT_TRUE(samePixels(pasted, loaderPicture().bitmap()->image()));
    EXPECT_EQ(form().Image1->size(), QSize(30, 20));
}

TEST_F(CopyPaste, PasteAfterAPlainClickLandsAtTheClickedPoint)
{
    const QImage pasted = stripesBitmap(30, 20).image();
    offerImage(pasted);
    press(200, 150);
    release(200, 150);

    paste();

    const QImage after = workingImage();
    EXPECT_TRUE(samePixels(pasted, pixelsOf(after, QRect(200, 150, 30, 20))));
    EXPECT_TRUE(sameColour(patternColour(199, 150), colourAt(after, 199, 150)));
    EXPECT_TRUE(sameColour(patternColour(200, 149), colourAt(after, 200, 149)));
    EXPECT_TRUE(sameColour(patternColour(230, 170), colourAt(after, 230, 170)));
}

TEST_F(CopyPaste, PasteUsesTheLastRectangleEvenWhenItsBandIsGone)
{
    drag(120, 90, 60, 40); // rectangle from (60, 40)
    offerImage(stripesBitmap(20, 20).image());
    paste(); // removes the band
    ASSERT_FALSE(state().overlayShown());
    const QImage second = patternBitmap(10, 10).image();
    offerImage(second);

    paste();

    EXPECT_TRUE(samePixels(second, pixelsOf(workingImage(), QRect(60, 40, 10, 10))));
    EXPECT_TRUE(samePixels(pixelsOf(stripesBitmap(20, 20).image(), QRect(10, 0, 10, 20)),
                           pixelsOf(workingImage(), QRect(70, 40, 10, 20))));
}

TEST_F(CopyPaste, AWideBitmapIsCutAtTheRightEdge)
{
    const QImage pasted = stripesBitmap(120, 40).image();
    offerImage(pasted);
    press(250, 10);
    release(250, 10);
    const QSize controlSize = form().Image2->size();

    paste();

    const QImage after = workingImage();
    EXPECT_EQ(after.size(), QSize(pictureWidth, pictureHeight));
    EXPECT_EQ(form().Image2->size(), controlSize);
    EXPECT_TRUE(samePixels(pixelsOf(pasted, QRect(0, 0, 50, 40)), pixelsOf(after, QRect(250, 10, 50, 40))));
    EXPECT_TRUE(sameColour(patternColour(249, 10), colourAt(after, 249, 10)));
}

TEST_F(CopyPaste, PasteThenRestoreGivesBackThePictureBeforeThePaste)
{
    drag(10, 20, 110, 70);
    offerImage(stripesBitmap(60, 60).image());
    paste();
    ASSERT_FALSE(samePixels(original, workingImage()));

    restore();

    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(CopyPaste, NothingOnTheClipboardPasteChangesNothing)
{
    drag(10, 20, 110, 70);
    const QImage withBand = workingImage().copy();

    openEditMenu();
    EXPECT_FALSE(pasteEnabled());
    paste();

    EXPECT_TRUE(samePixels(withBand, workingImage()));
    EXPECT_TRUE(state().overlayShown());
    EXPECT_FALSE(state().historyValid());
    EXPECT_TRUE(loaderPicture().isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CopyPaste, AMetafileOnlyEnablesPasteThatThenFails)
{
    form().Image1->assignPicture(Picture(stripesBitmap(5, 5)));
    drag(10, 20, 110, 70);
    offerMetafileOnly();

    openEditMenu();
    EXPECT_TRUE(pasteEnabled());
    paste();

    EXPECT_EQ(errors, QStringList{QStringLiteral("未対応のクリップボード データです.")}); // as the box shows it
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(original, workingImage()));
    ASSERT_NE(loaderPicture().bitmap(), nullptr);
    EXPECT_TRUE(loaderPicture().bitmap()->isEmpty());
}

// --- a working image that holds no picture ---

class EmptyWorkingImage : public ClipboardCommandsTest { };

TEST_F(EmptyWorkingImage, PasteDrawsOntoAWhiteBitmapOfTheImagesSize)
{
    form().Image2->setGeometry(0, 0, 120, 80);
    ASSERT_TRUE(form().Image2->picture().isEmpty());
    const QImage pasted = stripesBitmap(30, 20).image();
    offerImage(pasted);

    paste();

    const QImage after = workingImage();
    ASSERT_EQ(after.size(), QSize(120, 80));
    EXPECT_TRUE(samePixels(pasted, pixelsOf(after, QRect(0, 0, 30, 20))));
    EXPECT_TRUE(sameColour(clWhite, colourAt(after, 30, 0)));
    EXPECT_TRUE(sameColour(clWhite, colourAt(after, 119, 79)));
}

TEST_F(EmptyWorkingImage, PasteThenRestoreEmptiesItAgain)
{
    offerImage(stripesBitmap(30, 20).image());
    paste();
    restore();

    EXPECT_TRUE(form().Image2->picture().isEmpty());
}

TEST_F(EmptyWorkingImage, CopyIsDisabledEvenWithTheBandFlagSet)
{
    state().overlayShown() = true;
    openEditMenu();
    EXPECT_FALSE(copyEnabled());

    copy();
    EXPECT_FALSE(clipboard().hasFormat(CF_BITMAP));
    EXPECT_TRUE(form().Image2->picture().isEmpty());
}

} // namespace
