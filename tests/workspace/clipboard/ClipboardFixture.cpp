// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "ClipboardFixture.h"

#include "surface/ui/ErrorBox.h"

#include <QClipboard>
#include <QGuiApplication>

TColor patternColour(int x, int y) { return rgbColour(x & 0xFF, y & 0xFF, 0x40 | (x >> 8) << 2 | (y >> 8)); }

TBitmap patternBitmap(int width, int height) { return makeBitmap(width, height, patternColour); }

TBitmap stripesBitmap(int width, int height)
{
    return makeBitmap(width, height,
                      [](int x, int y) { return rgbColour(0xF0 - x % 7, 0x10 + y % 11, 0x80 + (x + y) % 5); });
}

QImage pixelsOf(const QImage& image, const QRect& area)
{
    QImage part(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const TColor c = colourAt(image, area.left() + x, area.top() + y);
            part.setPixel(x, y, toQRgb(c == outsideColour ? clWhite : c));
        }
    return part;
}

void ClipboardCommandsTest::SetUp()
{
    Form1Test::SetUp();
    QGuiApplication::clipboard()->clear();
}

void ClipboardCommandsTest::openEditMenu() { emit form().Edit1->aboutToShow(); }

void ClipboardCommandsTest::copy()
{
    runGuarded([this] { form().Action3Execute(form().Action3); });
}

void ClipboardCommandsTest::paste()
{
    runGuarded([this] { form().Action4Execute(form().Action4); });
}

void ClipboardCommandsTest::restore()
{
    runGuarded([this] { form().f1Click(form().f1); });
}
