// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The pixel surface: outside reads and writes, pen modes, figures, drawing.
#include "surface/pixels/Surface.h"
#include "support/Pictures.h"

#include <gtest/gtest.h>

namespace {

TColor gradient(int x, int y) { return rgbColour(x * 7 + 3, y * 11 + 5, (x ^ y) * 13); }

TEST(Surface, OutsideReadsAllOnesAndWritesNothing)
{
    TBitmap bitmap = makeBitmap(5, 4, gradient);
    const QImage before = bitmap.image().copy();
    Surface s(bitmap);
    EXPECT_EQ(s.pixel(-1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(s.pixel(5, 4), 0xFFFFFFFFu);
    EXPECT_EQ(s.pixel(0, -1), 0xFFFFFFFFu);
    EXPECT_EQ(s.pixel(2, 1), gradient(2, 1));
    EXPECT_EQ(s.pixel(4, 3) >> 24, 0u);
    s.setPixel(-1, 0, 0x123456);
    s.setPixel(5, 4, 0x123456);
    s.setPixel(0, 4, 0x123456);
    EXPECT_TRUE(samePixels(before, bitmap.image()));
    s.setPixel(1, 1, 0x00123456);
    EXPECT_TRUE(sameColour(0x00123456, s.pixel(1, 1)));
}

TEST(Surface, SinglePixelWritesIgnoreThePenMode)
{
    TBitmap bitmap = filledBitmap(3, 3, 0x00FF00FF);
    Surface s(bitmap);
    s.setPenMode(pmXor);
    s.setPixel(1, 1, 0x000F0F0F);
    EXPECT_TRUE(sameColour(0x000F0F0F, s.pixel(1, 1)));
}

TEST(Surface, NewBitmapDrawingStateIsTheDefault)
{
    TBitmap bitmap = TBitmap::white(2, 2);
    EXPECT_EQ(bitmap.state().penColour, clBlack);
    EXPECT_EQ(bitmap.state().penWidth, 1);
    EXPECT_EQ(bitmap.state().penMode, pmCopy);
    EXPECT_EQ(bitmap.state().brushColour, clWhite);
    EXPECT_TRUE(sameColour(clWhite, Surface(bitmap).pixel(1, 1)));
}

// Outline along columns a and b-1 and rows c and d-1, whatever the corner order.
TEST(Surface, RectangleOutlineCoversTheHalfOpenBox)
{
    for (auto corners :
         {QRect(QPoint(2, 1), QPoint(7, 5)), QRect(QPoint(7, 5), QPoint(2, 1)), QRect(QPoint(2, 5), QPoint(7, 1))}) {
        TBitmap bitmap = filledBitmap(10, 8, clWhite);
        Surface s(bitmap);
        s.setPenMode(pmCopy);
        const QPoint p = corners.topLeft(), q = corners.bottomRight();
        s.rectangle(p.x(), p.y(), q.x(), q.y());
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inBox = x >= 2 && x <= 6 && y >= 1 && y <= 4;
                const bool onOutline = inBox && (x == 2 || x == 6 || y == 1 || y == 4);
                EXPECT_EQ(s.pixel(x, y), onOutline ? clBlack : clWhite) << x << "," << y;
            }
    }
}

TEST(Surface, RectangleWithSharedColumnOrRowDrawsNothing)
{
    TBitmap bitmap = makeBitmap(6, 6, gradient);
    const QImage before = bitmap.image().copy();
    Surface s(bitmap);
    s.rectangle(2, 1, 2, 5);
    s.rectangle(1, 3, 5, 3);
    s.setPenMode(pmNotXor);
    s.rectangle(4, 4, 4, 4);
    EXPECT_TRUE(samePixels(before, bitmap.image()));
}

TEST(Surface, NotXorRectangleTwiceWithSwappedCornersRestoresEveryPixel)
{
    TBitmap bitmap = makeBitmap(20, 15, gradient);
    const QImage before = bitmap.image().copy();
    Surface s(bitmap);
    s.setPenMode(pmNotXor);
    // Inside, across the right/bottom edge, across the left/top edge.
    for (QRect box : {QRect(QPoint(3, 2), QPoint(12, 9)), QRect(QPoint(10, 8), QPoint(40, 30)),
                      QRect(QPoint(-5, -4), QPoint(6, 5))}) {
        s.rectangle(box.left(), box.top(), box.right(), box.bottom());
        EXPECT_FALSE(samePixels(before, bitmap.image()));
        s.rectangle(box.right(), box.bottom(), box.left(), box.top());
        EXPECT_TRUE(samePixels(before, bitmap.image()));
    }
}

TEST(Surface, NotXorOutlineInvertsEachChannelAndKeepsTheInside)
{
    TBitmap bitmap = filledBitmap(6, 6, 0x00123456);
    Surface s(bitmap);
    s.setPenMode(pmNotXor);
    s.rectangle(0, 0, 6, 6);
    EXPECT_TRUE(sameColour(0x00EDCBA9, s.pixel(0, 0)));
    EXPECT_TRUE(sameColour(0x00EDCBA9, s.pixel(5, 3)));
    EXPECT_TRUE(sameColour(0x00123456, s.pixel(2, 2)));
}

TEST(Surface, PenModesOnOutlinesAndInteriors)
{
    struct Case {
        TPenMode mode;
        TColor pen, brush, pixel, outline, inside;
    };
    const Case cases[] = {
        {pmCopy, 0x00010203, 0x00A0B0C0, 0x00333333, 0x00010203, 0x00A0B0C0},
        {pmMerge, 0x000000F0, 0x00000F00, 0x00030303, 0x000303F3, 0x00030F03},
        {pmXor, 0x00FF0000, 0x000000FF, 0x00F0F0F0, 0x000FF0F0, 0x00F0F00F},
        {pmNotXor, 0x00FF0000, 0x000000FF, 0x00F0F0F0, 0x00F00F0F, 0x000F0FF0},
    };
    for (const Case& c : cases) {
        TBitmap bitmap = filledBitmap(5, 5, c.pixel);
        bitmap.state().penColour = c.pen;
        bitmap.state().brushColour = c.brush;
        Surface s(bitmap);
        s.setPenMode(c.mode);
        s.rectangle(0, 0, 5, 5);
        EXPECT_TRUE(sameColour(c.outline, s.pixel(0, 2))) << "mode " << c.mode;
        EXPECT_TRUE(sameColour(c.inside, s.pixel(2, 2))) << "mode " << c.mode;
    }
}

TEST(Surface, BlackPenUnderXorOrMergeLeavesOutlinePixels)
{
    for (TPenMode mode : {pmXor, pmMerge}) {
        TBitmap bitmap = makeBitmap(8, 8, gradient);
        bitmap.state().brushColour = clBlack;
        const QImage before = bitmap.image().copy();
        Surface s(bitmap);
        s.setPenMode(mode);
        s.rectangle(1, 1, 7, 7);
        s.moveTo(0, 0);
        s.lineTo(7, 5);
        EXPECT_TRUE(samePixels(before, bitmap.image()));
    }
}

TEST(Surface, LineExcludesItsEndPointAndMovesThePen)
{
    TBitmap bitmap = filledBitmap(10, 3, clWhite);
    Surface s(bitmap);
    s.moveTo(1, 1);
    s.lineTo(6, 1);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(s.pixel(x, 1), (x >= 1 && x <= 5) ? clBlack : clWhite) << x;
    EXPECT_EQ(s.penPos(), QPoint(6, 1));
}

TEST(Surface, EllipseAndRoundRectDrawnTwiceInNotXorRestore)
{
    TBitmap bitmap = makeBitmap(30, 20, gradient);
    const QImage before = bitmap.image().copy();
    Surface s(bitmap);
    s.setPenMode(pmNotXor);
    s.ellipse(2, 3, 25, 17);
    EXPECT_FALSE(samePixels(before, bitmap.image()));
    s.ellipse(25, 17, 2, 3);
    EXPECT_TRUE(samePixels(before, bitmap.image()));
    s.roundRect(20, 15, 3, 2, -8, 6);
    EXPECT_FALSE(samePixels(before, bitmap.image()));
    s.roundRect(20, 15, 3, 2, -8, 6);
    EXPECT_TRUE(samePixels(before, bitmap.image()));
}

TEST(Surface, StretchDrawSamplesTheNearestSourcePixel)
{
    const QSize sizes[][2] = {{{4, 3}, {10, 7}}, {{9, 8}, {4, 3}}}; // up, then down
    for (const auto& [from, to] : sizes) {
        SCOPED_TRACE(testing::Message() << from.width() << "x" << from.height() << " to " << to.width() << "x"
                                        << to.height());
        TBitmap target = filledBitmap(to.width(), to.height(), clWhite);
        Surface(target).stretchDraw(QRect(QPoint(0, 0), to),
                                    Picture(makeBitmap(from.width(), from.height(), gradient)));
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                ASSERT_TRUE(sameColour(gradient(x * from.width() / to.width(), y * from.height() / to.height()),
                                       Surface(target).pixel(x, y)));
    }
}

TEST(Surface, DrawAtOwnSizeIsClipped)
{
    const TBitmap stamp = makeBitmap(4, 4, gradient);
    TBitmap bitmap = filledBitmap(6, 5, clWhite);
    Surface s(bitmap);
    s.draw(3, 2, Picture(stamp));
    EXPECT_TRUE(sameColour(gradient(0, 0), s.pixel(3, 2)));
    EXPECT_TRUE(sameColour(gradient(2, 2), s.pixel(5, 4)));
    EXPECT_TRUE(sameColour(clWhite, s.pixel(2, 2)));
    s.draw(0, 0, Picture());
    EXPECT_TRUE(sameColour(clWhite, s.pixel(0, 0)));
}

TEST(Surface, CopyRectCopiesPixelsAndReadsOutsideAsWhite)
{
    TBitmap source = makeBitmap(5, 5, gradient);
    TBitmap target = filledBitmap(4, 4, clBlack);
    Surface t(target);
    t.copyRect(QRect(0, 0, 4, 4), Surface(source), QRect(3, 3, 4, 4));
    EXPECT_TRUE(sameColour(gradient(3, 3), t.pixel(0, 0)));
    EXPECT_TRUE(sameColour(gradient(4, 4), t.pixel(1, 1)));
    EXPECT_TRUE(sameColour(clWhite, t.pixel(2, 0)));
    EXPECT_TRUE(sameColour(clWhite, t.pixel(3, 3)));
}

TEST(Bitmap, ResizingKeepsPixelsInPlaceAndGainsWhite)
{
    TBitmap bitmap;
    EXPECT_EQ(bitmap.width(), 0);
    EXPECT_EQ(bitmap.height(), 0);
    bitmap.setWidth(3);
    EXPECT_EQ(bitmap.width(), 3);
    EXPECT_TRUE(bitmap.isEmpty());
    bitmap.setHeight(2);
    ASSERT_FALSE(bitmap.isEmpty());
    Surface(bitmap).setPixel(2, 1, 0x00010203);
    bitmap.setWidth(5);
    bitmap.setHeight(4);
    Surface s(bitmap);
    EXPECT_TRUE(sameColour(0x00010203, s.pixel(2, 1)));
    EXPECT_TRUE(sameColour(clWhite, s.pixel(4, 3)));
    bitmap.setWidth(2);
    EXPECT_EQ(Surface(bitmap).width(), 2);
}

// A 1024-pixel row is laid out with padding; pixels must not move with it.
TEST(Bitmap, WidePicturesKeepTheirPixelsThroughWritesAndCopies)
{
    TBitmap bitmap = makeBitmap(1024, 3, gradient);
    const TBitmap saved = bitmap;
    Surface s(bitmap);
    s.setPenMode(pmNotXor);
    s.rectangle(0, 0, 1024, 3);
    EXPECT_TRUE(sameColour(gradient(1023, 2) ^ 0x00FFFFFF, s.pixel(1023, 2)));
    EXPECT_TRUE(sameColour(gradient(500, 1), s.pixel(500, 1)));
    EXPECT_TRUE(sameColour(gradient(1023, 2), Surface(const_cast<TBitmap&>(saved)).pixel(1023, 2)));
    s.rectangle(1024, 3, 0, 0);
    EXPECT_TRUE(samePixels(saved.image(), bitmap.image()));
    bitmap.setWidth(1025);
    EXPECT_TRUE(sameColour(gradient(1023, 1), Surface(bitmap).pixel(1023, 1)));
    EXPECT_TRUE(sameColour(clWhite, Surface(bitmap).pixel(1024, 1)));
}

TEST(Picture, CopiesAreIndependent)
{
    Picture original(filledBitmap(3, 3, clWhite));
    Picture copy = original;
    Surface(*copy.bitmap()).setPixel(1, 1, clBlack);
    EXPECT_TRUE(sameColour(clWhite, Surface(*original.bitmap()).pixel(1, 1)));
    Picture graphicLess;
    graphicLess.asBitmap();
    EXPECT_EQ(graphicLess.kind(), PictureKind::Bitmap);
    EXPECT_EQ(graphicLess.width(), 0);
}

} // namespace
