// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "Scenes.h"

#include "calc/DecimalText.h"

#include <QDir>
#include <QFile>
#include <random>

namespace {

QRgb noisy(std::mt19937& random, int red, int green, int blue, int spread)
{
    std::uniform_int_distribution<int> noise(-spread, spread);
    const auto channel = [&](int value) { return std::clamp(value + noise(random), 0, 255); };
    return qRgb(channel(red), channel(green), channel(blue));
}

bool insideEllipse(double x, double y, double centreX, double centreY, double radiusX, double radiusY)
{
    const double dx = (x - centreX) / radiusX, dy = (y - centreY) / radiusY;
    return dx * dx + dy * dy <= 1;
}

} // namespace

QImage measuringScene(QSize size, unsigned seed)
{
    std::mt19937 random(seed);
    const double w = size.width(), h = size.height();
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            if (insideEllipse(x, y, 0.3 * w, 0.45 * h, 0.18 * w, 0.28 * h))
                row[x] = noisy(random, 45, 115, 35, 25);
            else if (insideEllipse(x, y, 0.75 * w, 0.4 * h, 0.08 * w, 0.08 * w))
                row[x] = noisy(random, 95, 105, 140, 20);
            else if (x > 0.6 * w && y > 0.8 * h && y < 0.9 * h)
                row[x] = noisy(random, 200, 45, 40, 20);
            else
                row[x] = noisy(random, 235, 230, 220, 12);
        }
    }
    return image;
}

QString savedScene(const QString& dir, const QString& name, QSize size, const char* format, unsigned seed)
{
    const QString path = QDir(dir).filePath(name);
    if (!measuringScene(size, seed).save(path, format))
        return {};
    return path;
}

QString savedFile(const QString& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QString savedClaimingSize(const QString& dir, const QString& name, int side)
{
    QFile small(savedScene(dir, QStringLiteral("small-") + name, QSize(64, 48), "JPG"));
    if (!small.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = small.readAll();
    const qsizetype frame = bytes.indexOf(QByteArrayView("\xFF\xC0", 2));
    if (frame < 0)
        return {};
    for (const qsizetype at : {frame + 5, frame + 7}) { // height, width
        bytes[at] = char(side >> 8);
        bytes[at + 1] = char(side & 0xFF);
    }
    return savedFile(dir, name, bytes);
}

MeasureSettings settingsFor(SelectionRect object, std::optional<SelectionRect> reference, CountRule rule,
                            int thresholdTenths)
{
    MeasureSettings settings;
    settings.object = object;
    settings.reference = reference;
    settings.referenceArea = textToNumber(QStringLiteral("3.14"));
    settings.rule = settings.referenceRule = rule;
    settings.thresholdTenths = thresholdTenths;
    return settings;
}
