// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The body every reader fuzzer shares: read arbitrary bytes with one reader
// and draw what it gives, reduced, enlarged and partly off the target, so
// that every decoded pixel is read. The only acceptable failure is the
// program's own error.
#include "surface/pixels/Picture.h"
#include "base/PlanixError.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>

// A picture declaring more than maxDrawnPixels is read but not drawn.
template <class Reader>
int readAndDraw(const std::uint8_t* data, std::size_t size, Reader read, std::int64_t maxDrawnPixels = INT64_MAX)
{
    const auto bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = read(bytes);
        if (std::int64_t{picture.width()} * picture.height() > maxDrawnPixels)
            return 0;
        QImage target(48, 32, QImage::Format_RGB32);
        target.fill(Qt::white);
        picture.stretchDraw(target, QRect(0, 0, 17, 9));
        picture.stretchDraw(target, QRect(-5, -3, 96, 70));
    } catch (const PlanixError&) {
    }
    return 0;
}
