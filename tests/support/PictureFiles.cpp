// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/PictureFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TColor patternColour(int x, int y) { return rgbColour(x & 0xFF, y & 0xFF, ((x >> 8) << 4 | (y >> 8)) & 0xFF); }

QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, toQRgb(patternColour(x, y)));
    return image;
}

QString savedPicture(const QString& dir, const QString& name, const QImage& image, const char* format)
{
    const QString path = QDir(dir).filePath(name);
    EXPECT_TRUE(image.save(path, format, 95)) << path.toStdString();
    return path;
}

QString savedBytes(const QString& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QImage nearestSampled(const QImage& image, int width, int height)
{
    QImage sampled(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            sampled.setPixel(
                x, y, image.pixel(int(qint64(x) * image.width() / width), int(qint64(y) * image.height() / height)));
    return sampled;
}
