// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Picture builders and pixel assertions shared by the tests.
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Colour.h"

#include <QImage>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

// A 32-bit bitmap whose pixel (x, y) is colourAt(x, y).
TBitmap makeBitmap(int width, int height, const std::function<TColor(int, int)>& colourAt);
TBitmap filledBitmap(int width, int height, TColor colour);

// Colour value at (x, y) of an image, 0xFFFFFFFF outside.
TColor colourAt(const QImage& image, int x, int y);

// Compares two colour values and prints both in hex on failure.
::testing::AssertionResult sameColour(TColor expected, TColor actual);

// Every pixel equal; on failure names the first differing one.
::testing::AssertionResult samePixels(const QImage& expected, const QImage& actual);

// A test picture under tests/data (bmpsuite/, refimages/).
QString testDataPath(const QString& relative);

// A fresh empty directory for one test; removed with the returned guard.
QString temporaryDirectory();
