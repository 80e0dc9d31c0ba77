// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Dragging the measuring rectangle with real mouse events on the window.
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include "selection/SelectionRect.h"
#include "surface/ui/StatusBar.h"

#include <QAccessible>

namespace {

TColor pattern(int x, int y) { return rgbColour(x * 3, y * 5, (x + y) & 0xFF); }

class Selection : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        setWorkingBitmap(makeBitmap(200, 150, pattern));
        original = workingImage().copy();
    }
    QImage original;
};

TEST_F(Selection, ReleaseNormalisesAndKeepsTheBand)
{
    drag(120, 80, 40, 30);
    EXPECT_EQ(state().selLeft(), 40);
    EXPECT_EQ(state().selRight(), 120);
    EXPECT_EQ(state().selTop(), 30);
    EXPECT_EQ(state().selBottom(), 80);
    EXPECT_EQ(state().dragOrigin().x, 40);
    EXPECT_EQ(state().dragOrigin().y, 30);
    EXPECT_EQ(state().pressX(), 120);
    EXPECT_EQ(state().releaseY(), 30);
    EXPECT_TRUE(state().overlayShown());
    // The band runs along the outermost columns and rows of the selection.
    const QImage shown = workingImage();
    for (QPoint p : {QPoint(40, 30), QPoint(119, 79), QPoint(40, 79), QPoint(119, 30), QPoint(80, 30)})
        EXPECT_TRUE(sameColour(pattern(p.x(), p.y()) ^ 0x00FFFFFF, colourAt(shown, p.x(), p.y())));
    for (QPoint p : {QPoint(41, 31), QPoint(120, 80), QPoint(39, 30), QPoint(80, 50)})
        EXPECT_TRUE(sameColour(pattern(p.x(), p.y()), colourAt(shown, p.x(), p.y())));
    openRunMenu();
    EXPECT_TRUE(countingEnabled());
}

TEST_F(Selection, AClickOrAStrokeLeavesNoBand)
{
    press(50, 50);
    release(50, 50);
    EXPECT_EQ(state().selLeft(), state().selRight());
    EXPECT_FALSE(state().overlayShown());
    drag(60, 20, 60, 90); // a vertical stroke
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(original, workingImage()));
    openRunMenu();
    EXPECT_FALSE(countingEnabled());
}

TEST_F(Selection, OnePixelSelectionKeepsItsBand)
{
    drag(10, 10, 11, 11);
    EXPECT_TRUE(state().overlayShown());
    EXPECT_TRUE(sameColour(pattern(10, 10) ^ 0x00FFFFFF, colourAt(workingImage(), 10, 10)));
}

TEST_F(Selection, PositionsBeyondThePictureAreNotClamped)
{
    drag(30, 40, -25, 400);
    EXPECT_EQ(state().selLeft(), -25);
    EXPECT_EQ(state().selBottom(), 400);
    EXPECT_TRUE(state().overlayShown());
    form().jikkoufuka();
    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(Selection, EveryBandRemovalRestoresThePicture)
{
    press(100, 100);
    for (QPoint p : {QPoint(150, 120), QPoint(20, 10), QPoint(199, 149), QPoint(-5, 300), QPoint(101, 101)})
        moveTo(p.x(), p.y());
    release(60, 70);
    EXPECT_TRUE(state().overlayShown());
    form().jikkoufuka();
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(original, workingImage()));
    EXPECT_EQ(form().Image2->canvas().penMode(), pmMerge);
}

TEST_F(Selection, ReadoutsShowPositionAndColourBeforeTheBandMoves)
{
    form().Image2->canvas().setPixel(5, 7, 0x00123456);
    moveTo(5, 7, Qt::NoButton);
    EXPECT_EQ(form().StatusBar1->panelText(1), QStringLiteral("X=5,Y=7"));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("青=18 緑=52 赤=86"));
    EXPECT_FALSE(state().overlayShown());

    moveTo(-3, 500, Qt::NoButton);
    EXPECT_EQ(form().StatusBar1->panelText(1), QStringLiteral("X=-3,Y=500"));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("青=255 緑=255 赤=255"));

    // Over the outline of a shown band the inverted colour is read.
    drag(5, 7, 30, 30);
    moveTo(5, 7, Qt::NoButton);
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("青=237 緑=203 赤=169"));
}

TEST_F(Selection, TheColourReadoutIsTakenBeforeTheMovesBand)
{
    press(50, 50);
    // The new band's corner lands on the pixel under the mouse: the read-out
    // still shows that pixel as it was before this move.
    moveTo(20, 40);
    EXPECT_TRUE(sameColour(pattern(20, 40) ^ 0x00FFFFFF, colourAt(workingImage(), 20, 40)));
    EXPECT_EQ(form().StatusBar1->panelText(0), colourReadout(pattern(20, 40)));
    // The next move reads the band the last one drew.
    moveTo(20, 40);
    EXPECT_EQ(form().StatusBar1->panelText(0), colourReadout(pattern(20, 40) ^ 0x00FFFFFF));
}

TEST_F(Selection, AReleaseAwayFromTheLastMoveTakesTheBandAlong)
{
    press(100, 100);
    moveTo(150, 120);
    release(60, 70);
    ASSERT_TRUE(state().overlayShown());
    const QImage shown = workingImage();
    // The band runs along the selection 60..99 x 70..99, not the last move's box.
    for (QPoint p : {QPoint(60, 70), QPoint(99, 99), QPoint(60, 99), QPoint(99, 70)})
        EXPECT_TRUE(sameColour(pattern(p.x(), p.y()) ^ 0x00FFFFFF, colourAt(shown, p.x(), p.y())));
    for (QPoint p : {QPoint(149, 119), QPoint(120, 100), QPoint(100, 110)})
        EXPECT_TRUE(sameColour(pattern(p.x(), p.y()), colourAt(shown, p.x(), p.y())));
}

// Each figure between p and q, as the surface draws it in not-XOR mode.
TEST_F(Selection, FiguresAreDrawnBetweenTheTwoPoints)
{
    const auto surfaceFigure = [&](auto draw) {
        TBitmap copy(original.copy());
        Surface s(copy);
        s.setPenMode(pmNotXor);
        draw(s);
        return copy.image();
    };
    const auto overlay = [&](std::uint8_t kind, TPoint p, TPoint q) {
        setWorkingBitmap(TBitmap(original.copy()));
        state().shapeKind() = kind;
        state().drawOverlay(p, q, pmNotXor);
        return workingImage();
    };
    EXPECT_TRUE(samePixels(surfaceFigure([](Surface& s) {
                               s.moveTo(150, 120);
                               s.lineTo(12, 9);
                           }),
                           overlay(0, {150, 120}, {12, 9})));
    EXPECT_TRUE(
        samePixels(surfaceFigure([](Surface& s) { s.rectangle(12, 9, 150, 120); }), overlay(1, {150, 120}, {12, 9})));
    EXPECT_TRUE(
        samePixels(surfaceFigure([](Surface& s) { s.ellipse(12, 9, 150, 120); }), overlay(2, {150, 120}, {12, 9})));
    // Corner sizes: (p - q) halved toward zero, 138 -> 69 and 111 -> 55.
    const QImage rounded = surfaceFigure([](Surface& s) { s.roundRect(12, 9, 150, 120, 69, 55); });
    EXPECT_TRUE(samePixels(rounded, overlay(3, {150, 120}, {12, 9})));
    EXPECT_TRUE(samePixels(rounded, overlay(3, {12, 9}, {150, 120}))) << "negative corner sizes";
    EXPECT_FALSE(samePixels(rounded, surfaceFigure([](Surface& s) { s.roundRect(12, 9, 150, 120, 138, 111); })));
}

TEST_F(Selection, RightButtonPressRemovesTheBandAndStillSelects)
{
    drag(10, 10, 80, 60);
    ASSERT_TRUE(state().overlayShown());
    press(90, 95, Qt::RightButton);
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(original, workingImage()));
    moveTo(20, 30, Qt::RightButton);
    release(20, 30, Qt::RightButton);
    EXPECT_EQ(state().selLeft(), 20);
    EXPECT_EQ(state().selRight(), 90);
    EXPECT_EQ(state().selTop(), 30);
    EXPECT_EQ(state().selBottom(), 95);
    EXPECT_FALSE(state().overlayShown());
    openRunMenu();
    EXPECT_FALSE(countingEnabled());
}

TEST_F(Selection, ReadoutsReachAssistiveTechnology)
{
    const QList<TStatusPanel*> panels = form().StatusBar1->findChildren<TStatusPanel*>();
    ASSERT_EQ(panels.size(), 2);
    form().Image2->canvas().setPixel(5, 7, 0x00123456);
    for (QPoint at : {QPoint(5, 7), QPoint(6, 7)}) {
        moveTo(at.x(), at.y(), Qt::NoButton);
        for (int i : {0, 1}) {
            QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(panels[i]);
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->role(), QAccessible::StaticText);
            EXPECT_EQ(panel->text(QAccessible::Name), form().StatusBar1->panelText(i));
        }
    }
    EXPECT_EQ(panels[0]->text(), colourReadout(pattern(6, 7)));
}

TEST_F(Selection, ASecondButtonPressedMidDragLeavesNoTrace)
{
    drag(10, 10, 60, 50); // an earlier selection
    press(100, 90);
    moveTo(150, 130);
    EXPECT_TRUE(state().overlayShown());
    press(150, 130, Qt::RightButton); // while the left button is still held
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(samePixels(original, workingImage()));
    // The left button drags on past the right button's press and release.
    moveTo(120, 100, Qt::LeftButton | Qt::RightButton);
    release(120, 100, Qt::RightButton);
    moveTo(90, 70);
    release(90, 70);
    EXPECT_EQ(state().selLeft(), 90);
    EXPECT_EQ(state().selBottom(), 130);
    press(190, 140);
    release(190, 140);
    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(Selection, ACommandInTheMiddleOfADragLeavesNoTrace)
{
    drag(10, 10, 60, 50);
    press(100, 90);
    moveTo(150, 130);
    form().jikkoufuka(); // what every command does first
    EXPECT_TRUE(samePixels(original, workingImage()));
    moveTo(160, 140);          // the drag goes on
    form().Action3->trigger(); // a copy puts the band back as it was
    moveTo(170, 145);
    release(170, 145);
    EXPECT_EQ(state().selRight(), 170);
    press(5, 5);
    release(5, 5);
    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(Selection, BlankWorkingImageGetsAWhiteBitmapOnFirstMove)
{
    form().Image2->clearPicture();
    form().Image2->setGeometry(0, 0, 64, 48);
    moveTo(3, 3, Qt::NoButton);
    ASSERT_EQ(form().Image2->picture().kind(), PictureKind::Bitmap);
    EXPECT_EQ(form().Image2->picture().width(), 64);
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("青=255 緑=255 赤=255"));
}

TEST_F(Selection, EveryFigureDrawnTwiceRestoresAndLeavesMergeMode)
{
    for (std::uint8_t kind : {0, 1, 2, 3, 7}) {
        state().shapeKind() = kind;
        state().drawOverlay({150, 120}, {12, 9}, pmNotXor);
        EXPECT_EQ(form().Image2->canvas().penMode(), pmMerge);
        if (kind != 7) {
            EXPECT_FALSE(samePixels(original, workingImage())) << int(kind);
        }
        state().drawOverlay({150, 120}, {12, 9}, pmNotXor);
        EXPECT_TRUE(samePixels(original, workingImage())) << int(kind);
    }
}

} // namespace
