// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShapeScenes.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <random>

QImage paperWith(QSize size, const std::vector<Shape>& shapes, double dimming, int noise, double shadow,
                 QPointF shadowAt)
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
