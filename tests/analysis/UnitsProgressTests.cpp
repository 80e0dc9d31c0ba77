// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Progress.h"
#include "cli/PicturePart.h"
#include "cli/Units.h"
#include "surface/readers/PictureFile.h"
#include "measure/Fit.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

namespace {

// The working columns whose source column (floor(x * from / to)) lies in first .. last - 1.
std::pair<int, int> coveredRange(int first, int last, int from, int to)
{
    int low = 1 << 30, high = -(1 << 30);
    for (int x = -3000; x < 8000; ++x) {
        const int source = int(std::floor(double(x) * from / to));
        if (source >= first && source < last) {
            low = std::min(low, x);
            high = std::max(high, x + 1);
        }
    }
    return {low, high};
}

} // namespace

TEST(PictureUnits, RectanglesCoverExactlyTheWorkingPixelsTakenFromThem)
{
    for (const QSize picture : {QSize(4000, 3000), QSize(1600, 1200), QSize(3264, 2448), QSize(1300, 1000)}) {
        const QSize working = fittedSize(picture.width(), picture.height());
        for (const auto& [left, right] : {std::pair{0, 4000}, {391, 392}, {-5, 17}, {1000, 1003}, {777, 1299}}) {
            const SelectionRect rect = toWorkingUnits({left, left, right, right}, picture, working);
            const auto [low, high] = coveredRange(left, right, picture.width(), working.width());
            if (low > high) { // no working column takes from them
                EXPECT_EQ(rect.left, rect.right) << left << ".." << right;
                continue;
            }
            EXPECT_EQ(rect.left, low) << picture.width() << ": " << left << ".." << right;
            EXPECT_EQ(rect.right, high) << picture.width() << ": " << left << ".." << right;
            EXPECT_EQ(rect.top, coveredRange(left, right, picture.height(), working.height()).first);
        }
    }
    const SelectionRect same = toWorkingUnits({3, 4, 50, 60}, QSize(800, 600), QSize(800, 600));
    EXPECT_EQ(same.right, 50);
    EXPECT_EQ(same.bottom, 60);
}

TEST(Progress, QuietForTheFirstSecondThenOneLinePerPicture)
{
    ProgressMeter meter(40);
    EXPECT_TRUE(meter.update(3, 0.9).isEmpty());
    EXPECT_EQ(meter.update(12, 4.0), "planix-measure: 12 of 40 pictures, 3.0 per second, 10 s left");
    EXPECT_TRUE(meter.update(12, 4.5).isEmpty());
    EXPECT_EQ(meter.update(40, 8.0), "planix-measure: 40 of 40 pictures, 5.0 per second");
    EXPECT_EQ(progressLine(0, 5, 2.0), "planix-measure: 0 of 5 pictures");
}

TEST(PicturePart, OnlyTheBoxAtThePicturesOwnScale)
{
    QTemporaryDir dir;
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            image.setPixel(x, y, qRgb(x % 256, y, (x * 7 + y) % 256));
    for (const char* format : {"BMP", "JPG"}) {
        const QString file = dir.filePath(QStringLiteral("p.") + QString::fromLatin1(format).toLower());
        ASSERT_TRUE(image.save(file, format, 100));
        const Picture picture = readPictureFile(file);
        TBitmap whole = TBitmap::white(300, 200);
        picture.stretchDraw(whole.writableImage(), QRect(0, 0, 300, 200));

        const PicturePart part = picturePart(picture, QRect(QPoint(250, -20), QPoint(349, 59)));
        EXPECT_EQ(part.offset, QPoint(250, 0));
        ASSERT_EQ(part.pixels.width(), 50);
        ASSERT_EQ(part.pixels.height(), 60);
        EXPECT_EQ(part.pixels.image().copy(), whole.image().copy(250, 0, 50, 60)) << format;
        EXPECT_TRUE(picturePart(picture, QRect(400, 0, 10, 10)).pixels.isEmpty());
    }
}
