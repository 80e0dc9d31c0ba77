// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Pictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <vector>

TBitmap makeBitmap(int width, int height, const std::function<TColor(int, int)>& colourAt)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, toQRgb(colourAt(x, y)));
    return TBitmap(image);
}

TBitmap filledBitmap(int width, int height, TColor colour)
{
    return makeBitmap(width, height, [colour](int, int) { return colour; });
}

TColor colourAt(const QImage& image, int x, int y)
{
    if (!image.valid(x, y))
        return outsideColour;
    return fromQRgb(image.pixel(x, y));
}

namespace {

std::string hexColour(TColor colour)
{
    return "0x" + QString::number(colour, 16).rightJustified(8, u'0').toStdString();
}

} // namespace

::testing::AssertionResult sameColour(TColor expected, TColor actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected colour " << hexColour(expected) << ", got " << hexColour(actual);
}

::testing::AssertionResult samePixels(const QImage& expected, const QImage& actual)
{
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const TColor e = colourAt(expected, x, y), a = colourAt(actual, x, y);
            if (e != a)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << "): expected " << hexColour(e) << ", got " << hexColour(a);
        }
    return ::testing::AssertionSuccess();
}

QString testDataPath(const QString& relative) { return QDir(QStringLiteral(PLANIX_TEST_DATA)).filePath(relative); }

QString temporaryDirectory()
{
    // Kept until the test program ends; each call gives a new directory.
    static std::vector<std::unique_ptr<QTemporaryDir>> directories;
    directories.push_back(std::make_unique<QTemporaryDir>());
    return directories.back()->path();
}
