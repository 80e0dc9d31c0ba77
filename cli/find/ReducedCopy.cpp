// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReducedCopy.h"

#include <algorithm>

namespace {

constexpr int findingLongSide = 700;

int stepFor(int width, int height)
{
    const int longSide = std::max(width, height);
    // 16 bits hold the sum of up to 257 levels of 255: a step stays far
    // below that (a JPEG is at most 65 535 pixels across).
    return std::clamp((longSide + findingLongSide - 1) / findingLongSide, 1, 128);
}

} // namespace

ReducedCopy::ReducedCopy(int pictureWidth, int pictureHeight)
    : ownWidth(std::max(pictureWidth, 0)), ownHeight(std::max(pictureHeight, 0)),
      stepSize(stepFor(ownWidth, ownHeight)), columns(ownWidth / stepSize), rows(ownHeight / stepSize),
      sums(std::size_t(columns) * std::size_t(stepSize) * 4), means(std::size_t(columns) * std::size_t(rows) * 3)
{
}

void ReducedCopy::addRow(const std::uint8_t* row)
{
    if (added >= ownHeight)
        return;
    const int y = added++;
    if (y >= rows * stepSize)
        return; // the remainder
    if (stepSize == 1) {
        float* out = means.data() + std::size_t(y) * std::size_t(columns) * 3;
        for (int x = 0; x < columns; ++x)
            for (int c = 0; c < 3; ++c)
                out[x * 3 + c] = float(row[x * 4 + c]);
        return;
    }
    if (y % stepSize == 0)
        std::fill(sums.begin(), sums.end(), std::uint16_t(0));
    addRowToSums(row);
    if (y % stepSize == stepSize - 1)
        finishRow(y / stepSize);
}

void ReducedCopy::addRowToSums(const std::uint8_t* row)
{
    std::uint16_t* sum = sums.data();
    for (std::size_t i = 0; i < sums.size(); ++i)
        sum[i] = std::uint16_t(sum[i] + row[i]);
}

void ReducedCopy::finishRow(int row)
{
    const float scale = 1.F / float(stepSize * stepSize);
    float* out = means.data() + std::size_t(row) * std::size_t(columns) * 3;
    for (int x = 0; x < columns; ++x) {
        std::uint32_t b = 0, g = 0, r = 0;
        for (int dx = 0; dx < stepSize; ++dx) {
            const std::size_t at = std::size_t(x * stepSize + dx) * 4;
            b += sums[at];
            g += sums[at + 1];
            r += sums[at + 2];
        }
        out[x * 3] = float(b) * scale;
        out[x * 3 + 1] = float(g) * scale;
        out[x * 3 + 2] = float(r) * scale;
    }
}

ReducedCopy reducedCopyOf(const QImage& picture)
{
    ReducedCopy reduced(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        reduced.addRow(picture.constScanLine(y));
    return reduced;
}
