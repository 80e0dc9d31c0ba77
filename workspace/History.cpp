// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The one-slot history buffer: every command that changes the working image
// saves it here first, and the Edit menu's restore entry puts it back.
#include "app/Unit1.h"

namespace {

// Bounds and picture of source given to target, in the order top, left,
// width, height, then the picture.
void copyImageControl(TImage& target, const TImage& source)
{
    target.setTop(0);
    target.setLeft(0);
    target.setWidth(source.width());
    target.setHeight(source.height());
    target.assignPicture(source.picture());
}

} // namespace

void TForm1::rireki1()
{
    historyValid = true;
    jikkoufuka();
    copyImageControl(*Image3, *Image2);
}

void TForm1::rireki2()
{
    if (!historyValid)
        return;
    jikkoufuka();
    copyImageControl(*Image2, *Image3);
}

void TForm1::f1Click(QObject*) { rireki2(); }
