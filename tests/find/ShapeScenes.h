// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Sheets of paper with shapes of known area on them, lit unevenly and noisy,
// drawn with antialiasing so that edges fall between pixels.
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSize>

struct Shape {
    QPainterPath path;
    QColor colour;
};

// Paper (235, 230, 220) with shapes painted in order, blurred as a lens
// would (a Gaussian of sigma blur pixels), then the light falling off by
// dimming (a share, 0.2 = 20 %) from left to right, and a soft round shadow
// (darkening by shadow at its middle, nothing beyond a third of the picture's
// width from it) centred at shadowAt, then noise of up to +-noise levels in
// each channel.
QImage paperWith(QSize size, const std::vector<Shape>& shapes, double dimming = 0.2, int noise = 6, double shadow = 0,
                 QPointF shadowAt = {}, double blur = 0);

QPainterPath disc(QPointF centre, double radius);
QPainterPath ellipse(QPointF centre, double radiusX, double radiusY);
// A square of side side turned by degrees about its centre.
QPainterPath turnedSquare(QPointF centre, double side, double degrees);
