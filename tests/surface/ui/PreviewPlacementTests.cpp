// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Where the open dialog's preview pane draws a picture, the size of the
// large preview, and the dialog's filter.
#include "surface/ui/OpenPictureDialog.h"
#include "surface/ui/PreviewPlacement.h"

#include <gtest/gtest.h>

namespace {

const QSize pane(150, 120);

TEST(PreviewPlacement, APictureThatFitsIsCentredAtItsOwnSize)
{
    EXPECT_EQ(previewPlacement({50, 40}, pane), QRect(50, 40, 50, 40));
    EXPECT_EQ(previewPlacement({51, 41}, pane), QRect(49, 39, 51, 41)); // odd remainders truncate
    EXPECT_EQ(previewPlacement({150, 120}, pane), QRect(0, 0, 150, 120));
    EXPECT_EQ(previewPlacement({1, 120}, pane), QRect(74, 0, 1, 120));
}

TEST(PreviewPlacement, ALargerPictureScalesFromTheTopLeft)
{
    // Wider than high: the pane's width, height in proportion (truncated).
    EXPECT_EQ(previewPlacement({300, 200}, pane), QRect(0, 0, 150, 100));
    EXPECT_EQ(previewPlacement({151, 10}, pane), QRect(0, 0, 150, 9));
    // Wider than high yet still too high for the pane: the width rule holds.
    EXPECT_EQ(previewPlacement({160, 150}, pane), QRect(0, 0, 150, 140));
    // Higher than wide, and square: the pane's height.
    EXPECT_EQ(previewPlacement({100, 400}, pane), QRect(0, 0, 30, 120));
    EXPECT_EQ(previewPlacement({200, 200}, pane), QRect(0, 0, 120, 120));
    EXPECT_EQ(previewPlacement({130, 130}, pane), QRect(0, 0, 120, 120));
}

TEST(PreviewPlacement, AnEmptyPictureHasNoPlace)
{
    EXPECT_TRUE(previewPlacement({0, 0}, pane).isEmpty());
    EXPECT_TRUE(previewPlacement({5000, 0}, pane).isEmpty());
}

TEST(PreviewWindowSize, ThePicturesOwnSizeUnlessTheScreenIsSmaller)
{
    const QSize screen(1280, 1000);
    EXPECT_EQ(previewWindowSize({227, 149}, screen), QSize(227, 149));
    EXPECT_EQ(previewWindowSize({1280, 1000}, screen), QSize(1280, 1000));
    // Too wide: the screen's width, the height in proportion.
    EXPECT_EQ(previewWindowSize({3000, 2000}, screen), QSize(1280, 853));
    EXPECT_EQ(previewWindowSize({1281, 10}, screen), QSize(1280, 9));
    // Too high: the screen's height.
    EXPECT_EQ(previewWindowSize({1000, 4000}, screen), QSize(250, 1000));
    // Both too large, the height limiting more.
    EXPECT_EQ(previewWindowSize({2000, 2000}, screen), QSize(1000, 1000));
    // A file that lies about its size gets no window larger than the screen.
    EXPECT_EQ(previewWindowSize({65500, 65500}, screen), QSize(1000, 1000));
    EXPECT_EQ(previewWindowSize({65500, 1}, screen), QSize(1280, 1));
}

TEST(DialogFilter, ShowsItsCaptionAndMatchesItsPatterns)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("すべてのファイル (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;")),
              QStringList{QStringLiteral("すべてのファイル (*.jpg;*.jpeg;*.bmp) (*.jpg *.jpeg *.bmp)")});
    EXPECT_EQ(qtNameFilters(QStringLiteral("A|*.a|B|*.b;*.c")),
              (QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b *.c)")}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}

} // namespace
