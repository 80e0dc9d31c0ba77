// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A main window with a working picture, and the Edit menu's commands run as
// the window runs them (inside the error guard, errors recorded).
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include <QImage>
#include <QRect>

// A picture whose every pixel differs from its neighbours, so that a shifted
// or mirrored copy shows.
TColor patternColour(int x, int y);
TBitmap patternBitmap(int width, int height);
// A second pattern, for pictures pasted over the first.
TBitmap stripesBitmap(int width, int height);

// The pixels of image inside area; pixels of area outside image read white.
QImage pixelsOf(const QImage& image, const QRect& area);

// Each test starts with an empty system clipboard.
class ClipboardCommandsTest : public Form1Test {
protected:
    void SetUp() override;

    void openEditMenu();
    void copy();
    void paste();
    void restore();

    bool copyEnabled() { return form().Copy1->isEnabled(); }
    bool pasteEnabled() { return form().Paste1->isEnabled(); }
    const Picture& loaderPicture() { return form().Image1->picture(); }
    const Picture& historyPicture() { return form().Image3->picture(); }
};
