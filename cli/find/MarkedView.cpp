// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/MarkedView.h"

#include "cli/find/NumberPlates.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>

namespace {

const QColor objectColour(255, 0, 160);
const QColor referenceColour(0, 150, 255);
const QColor haloColour(255, 255, 255);

// Digits 0-9 on a 3 x 5 grid, one row per 3 bits, top row first.
constexpr std::array<std::array<int, 5>, 10> digitRows = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

QSize plateSize(int number, int cell) { return {int(QString::number(number).size()) * 4 * cell + cell, 7 * cell}; }

// number written on plate, each grid cell cell x cell pixels, in colour on
// white.
void drawNumber(QPainter& painter, int number, const QRect& plate, int cell, const QColor& colour)
{
    const QString digits = QString::number(number);
    painter.fillRect(plate, haloColour);
    for (int i = 0; i < digits.size(); ++i) {
        const auto& rows = digitRows[std::size_t(digits[i].digitValue())];
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (rows[std::size_t(row)] & (4 >> column))
                    painter.fillRect(plate.left() + cell * (1 + 4 * i + column), plate.top() + cell * (1 + row), cell,
                                     cell, colour);
    }
}

} // namespace

QImage markedView(const QImage& picture, const FindResult& found)
{
    QImage marked = picture.convertToFormat(QImage::Format_RGB32);
    const int longSide = std::max(marked.width(), marked.height());
    const int line = std::max(1, longSide / 500);
    const int cell = std::max(2, longSide / 300);
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing, line > 1);
    painter.setBrush(Qt::NoBrush);

    painter.setPen(QPen(referenceColour, line));
    painter.drawPolygon(found.reference.outline);

    painter.setPen(QPen(objectColour, line));
    for (const FoundObject& object : found.objects)
        for (const QPolygon& outline : object.outline)
            painter.drawPolygon(outline);
    std::vector<QSize> sizes;
    for (const FoundObject& object : found.objects)
        sizes.push_back(plateSize(object.number, cell));
    const std::vector<QRect> plates = numberPlates(found.objects, sizes, marked.size());
    for (std::size_t i = 0; i < plates.size(); ++i)
        drawNumber(painter, found.objects[i].number, plates[i], cell, objectColour);
    return marked;
}
