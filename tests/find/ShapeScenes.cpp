// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShapeScenes.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// image blurred by a Gaussian of sigma pixels, rows then columns (the picture
// taken as continuing its border beyond it).
QImage blurred(const QImage& image, double sigma)
{
    const int reach = int(std::ceil(3 * sigma));
    std::vector<double> weights;
    for (int d = -reach; d <= reach; ++d)
        weights.push_back(std::exp(-0.5 * d * d / (sigma * sigma)));
    double total = 0;
    for (const double w : weights)
        total += w;
    const int width = image.width(), height = image.height();
    std::vector<double> planes[2] = {std::vector<double>(std::size_t(3 * width * height)),
                                     std::vector<double>(std::size_t(3 * width * height))};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const std::size_t at = std::size_t(3 * (y * width + x));
            planes[0][at] = qRed(pixel);
            planes[0][at + 1] = qGreen(pixel);
            planes[0][at + 2] = qBlue(pixel);
        }
    for (const bool alongRows : {true, false}) {
        const std::vector<double>& from = planes[alongRows ? 0 : 1];
        std::vector<double>& to = planes[alongRows ? 1 : 0];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    double sum = 0;
                    for (int d = -reach; d <= reach; ++d) {
                        const int sx = alongRows ? std::clamp(x + d, 0, width - 1) : x;
                        const int sy = alongRows ? y : std::clamp(y + d, 0, height - 1);
                        sum += weights[std::size_t(d + reach)] * from[std::size_t(3 * (sy * width + sx) + c)];
                    }
                    to[std::size_t(3 * (y * width + x) + c)] = sum / total;
                }
    }
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t at = std::size_t(3 * (y * width + x));
            out.setPixel(x, y,
                         qRgb(int(std::lround(planes[0][at])), int(std::lround(planes[0][at + 1])),
                              int(std::lround(planes[0][at + 2]))));
        }
    return out;
}

} // namespace

QImage paperWith(QSize size, const std::vector<Shape>& shapes, double dimming, int noise, double shadow,
                 QPointF shadowAt, double blur)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(235, 230, 220));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (const Shape& shape : shapes)
            painter.fillPath(shape.path, shape.colour);
    }
    if (blur > 0)
        image = blurred(image, blur);
    std::mt19937 random(1);
    const double reach = size.width() / 3.0;
    std::uniform_int_distribution<int> jitter(-noise, noise);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double t = std::clamp(1 - std::hypot(x - shadowAt.x(), y - shadowAt.y()) / reach, 0.0, 1.0);
            const double light = (1 - dimming * x / size.width()) * (1 - shadow * t * t * (3 - 2 * t));
            const auto channel = [&](int value) { return std::clamp(int(value * light) + jitter(random), 0, 255); };
            row[x] = qRgb(channel(qRed(row[x])), channel(qGreen(row[x])), channel(qBlue(row[x])));
        }
    }
    return image;
}

QPainterPath disc(QPointF centre, double radius) { return ellipse(centre, radius, radius); }

QPainterPath ellipse(QPointF centre, double radiusX, double radiusY)
{
    QPainterPath path;
    path.addEllipse(centre, radiusX, radiusY);
    return path;
}

QPainterPath turnedSquare(QPointF centre, double side, double degrees)
{
    QPainterPath path;
    path.addRect(QRectF(-side / 2, -side / 2, side, side));
    return QTransform().translate(centre.x(), centre.y()).rotate(degrees).map(path);
}
