// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Dragging the measuring rectangle over the working image. The band is drawn
// straight into the picture's pixels in not-XOR mode, so drawing it again
// removes it and restores every pixel.
#include "app/Unit1.h"

#include "selection/SelectionRect.h"

void TForm1::Image2MouseDown(QObject*, TMouseButton, TShiftState, int X, int Y)
{
    jikkoufuka();
    dragOrigin = {X, Y};
    pressX = X;
    pressY = Y;
    dragCurrent = dragOrigin;
}

void TForm1::Image2MouseMove(QObject*, TShiftState Shift, int X, int Y)
{
    StatusBar1->setPanelText(1, positionReadout(X, Y));
    StatusBar1->setPanelText(0, colourReadout(Image2->canvas().pixel(X, Y)));
    if (!Shift.contains(ssLeft))
        return;
    // The band runs from the press point to the mouse. The previous one is
    // removed as it was drawn, and only while it is still on the picture: a
    // second button or a command may have removed it, or moved the fixed
    // corner, since the last move.
    shapeKind = shapeRectangle;
    const TPoint pressPoint{pressX, pressY};
    if (overlayShown)
        drawOverlay(pressPoint, dragCurrent, pmNotXor);
    dragCurrent = {X, Y};
    drawOverlay(pressPoint, dragCurrent, pmNotXor);
    jikkou();
}

void TForm1::Image2MouseUp(QObject*, TMouseButton, TShiftState, int X, int Y)
{
    // A release away from the last move's position takes the band along, so
    // the band always lies on the selection that removing it will redraw.
    if (overlayShown && (dragCurrent.x != X || dragCurrent.y != Y)) {
        drawOverlay({pressX, pressY}, dragCurrent, pmNotXor);
        dragCurrent = {X, Y};
        drawOverlay({pressX, pressY}, dragCurrent, pmNotXor);
    }
    releaseX = X;
    releaseY = Y;
    const SelectionRect rect = normalisedSelection(pressX, pressY, releaseX, releaseY);
    selLeft = rect.left;
    selTop = rect.top;
    selRight = rect.right;
    selBottom = rect.bottom;
    dragOrigin = {selLeft, selTop};
    if (rect.isEmpty())
        jikkoufuka();
}

void TForm1::jikkou() { overlayShown = true; }

// Removes the band as it was drawn: from the press point to the last corner
// the mouse took it to. Once a drag has ended this is the selection itself;
// in the middle of a drag (a second button pressed, a command reached from
// the keyboard) it is the band on screen, not the previous selection.
void TForm1::jikkoufuka()
{
    if (!overlayShown)
        return;
    drawOverlay({pressX, pressY}, dragCurrent, pmNotXor);
    overlayShown = false;
}

void TForm1::drawOverlay(TPoint first, TPoint second, TPenMode mode)
{
    Surface canvas = Image2->canvas();
    canvas.setPenMode(mode);
    switch (shapeKind) {
    case shapeLine:
        canvas.moveTo(first.x, first.y);
        canvas.lineTo(second.x, second.y);
        break;
    case shapeRectangle: canvas.rectangle(first.x, first.y, second.x, second.y); break;
    case shapeEllipse: canvas.ellipse(first.x, first.y, second.x, second.y); break;
    case shapeRoundRect:
        canvas.roundRect(first.x, first.y, second.x, second.y, halvedTowardZero(first.x - second.x),
                         halvedTowardZero(first.y - second.y));
        break;
    default: break;
    }
    canvas.setPenMode(pmMerge);
}
