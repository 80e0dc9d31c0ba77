// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Copy and paste through the system clipboard. Copy puts the pixels inside the
// measuring rectangle on the clipboard and leaves the band shown; paste draws
// the clipboard's bitmap at the rectangle's top-left corner, at its own size.
#include "app/Unit1.h"

#include "surface/ui/Clipboard.h"

namespace {

// Whether the clipboard holds anything paste accepts: a bitmap, or else any
// picture format (a metafile is accepted here but cannot be pasted).
bool clipboardOffersPicture()
{
    ClipboardService& board = clipboard();
    return board.hasFormat(CF_BITMAP) || board.hasFormat(CF_PICTURE);
}

// The rectangle with left and top inclusive, right and bottom exclusive.
QRect rectFromEdges(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

// The image's picture becomes a bitmap filled with the clipboard's bitmap.
// When the clipboard yields none, the image is left holding an empty bitmap.
void fillWithClipboardBitmap(TImage& image)
{
    image.pictureAsBitmap() = TBitmap();
    image.assignPicture(Picture(clipboard().bitmap()));
}

} // namespace

void TForm1::Edit1Click(QObject*)
{
    Paste1->setEnabled(clipboardOffersPicture());
    Copy1->setEnabled(!Image2->picture().isEmpty() && overlayShown);
}

void TForm1::Action3Execute(QObject*)
{
    if (Image2->picture().isEmpty() || !overlayShown)
        return;
    jikkoufuka();
    {
        TBitmap selection;
        const std::int32_t w = selRight - selLeft;
        const std::int32_t h = selBottom - selTop;
        const QRect source = rectFromEdges(selLeft, selTop, selRight, selBottom);
        const QRect destination = rectFromEdges(0, 0, w, h);
        selection.setWidth(w);
        selection.setHeight(h);
        Surface(selection).copyRect(destination, Image2->canvas(), source);
        clipboard().setBitmap(selection);
    }
    // The band goes back as it was, so that removing it later (from the
    // press point to its last corner) takes it away again, also when the
    // copy came in the middle of a drag.
    drawOverlay({pressX, pressY}, dragCurrent, pmNotXor);
    jikkou();
}

void TForm1::Action4Execute(QObject*)
{
    if (!clipboardOffersPicture())
        return;
    if (overlayShown)
        jikkoufuka();
    rireki1();
    fillWithClipboardBitmap(*Image1);
    Image2->canvas().draw(selLeft, selTop, Image1->picture());
}
