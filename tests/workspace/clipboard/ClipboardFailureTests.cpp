// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// What copy, paste and the Edit menu leave behind when the clipboard fails.
#include "ClipboardFixture.h"
#include "FakeClipboard.h"

namespace {

// The messages as the error box shows them.
const QString cannotOpen = QStringLiteral("クリップボードを開くことができません.");
const QString unsupported = QStringLiteral("未対応のクリップボード データです.");

class ClipboardFailure : public ClipboardCommandsTest {
protected:
    void SetUp() override
    {
        ClipboardCommandsTest::SetUp();
        original = patternBitmap(200, 150).image();
        setWorkingBitmap(TBitmap(original));
        drag(10, 20, 110, 70);
        withBand = workingImage().copy();
    }

    FakeClipboard board;
    ScopedClipboard useBoard{board};
    QImage original;
    QImage withBand;
};

TEST_F(ClipboardFailure, EditMenuThatCannotLookKeepsBothEntriesAsTheyWere)
{
    board.heldMetafile = true;
    board.heldOpenElsewhere = true;
    for (bool before : {false, true}) {
        form().Copy1->setEnabled(before);
        form().Paste1->setEnabled(before);
        errors.clear();

        openEditMenu();

        EXPECT_EQ(errors, QStringList{cannotOpen});
        EXPECT_EQ(copyEnabled(), before);
        EXPECT_EQ(pasteEnabled(), before);
    }
}

TEST_F(ClipboardFailure, EditMenuSeesABitmapWithoutOpeningTheClipboard)
{
    board.heldBitmap = stripesBitmap(4, 4);
    board.heldOpenElsewhere = true;

    openEditMenu();

    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(pasteEnabled());
    EXPECT_TRUE(copyEnabled());
}

TEST_F(ClipboardFailure, CopyThatCannotOpenLeavesTheBandErased)
{
    board.heldBitmap = stripesBitmap(4, 4);
    board.heldOpenElsewhere = true;

    copy();

    EXPECT_EQ(errors, QStringList{cannotOpen});
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(original, workingImage()));
    ASSERT_TRUE(board.heldBitmap.has_value());
    EXPECT_TRUE(samePixels(stripesBitmap(4, 4).image(), board.heldBitmap->image()));
}

TEST_F(ClipboardFailure, PasteThatCannotTestTheFormatsChangesNothing)
{
    board.heldMetafile = true;
    board.heldOpenElsewhere = true;

    paste();

    EXPECT_EQ(errors, QStringList{cannotOpen});
    EXPECT_TRUE(state().overlayShown());
    EXPECT_TRUE(samePixels(withBand, workingImage()));
    EXPECT_FALSE(state().historyValid());
    EXPECT_TRUE(loaderPicture().isEmpty());
}

TEST_F(ClipboardFailure, PasteThatCannotTakeTheBitmapLeavesTheHistorySaved)
{
    board.heldBitmap = stripesBitmap(4, 4);
    board.heldOpenElsewhere = true;
    form().Image1->assignPicture(Picture(stripesBitmap(7, 7)));

    paste();

    EXPECT_EQ(errors, QStringList{cannotOpen});
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(original, historyPicture().bitmap()->image()));
    EXPECT_TRUE(samePixels(original, workingImage()));
    ASSERT_NE(loaderPicture().bitmap(), nullptr);
    EXPECT_TRUE(loaderPicture().bitmap()->isEmpty());
}

TEST_F(ClipboardFailure, PasteOfAMetafileLeavesTheHistorySavedAndTheLoaderEmpty)
{
    board.heldMetafile = true;

    paste();

    EXPECT_EQ(errors, QStringList{unsupported});
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(original, workingImage()));
    ASSERT_NE(loaderPicture().bitmap(), nullptr);
    EXPECT_TRUE(loaderPicture().bitmap()->isEmpty());
}

} // namespace
