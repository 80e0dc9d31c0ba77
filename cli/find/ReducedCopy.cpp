// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReducedCopy.h"

#include <algorithm>
#include <array>

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
    const std::uint16_t* block = sums.data();
    for (int x = 0; x < columns; ++x, out += 3) {
        // All four channels at once: the loop runs over whole vectors.
        std::array<std::uint32_t, 4> total{};
        for (int dx = 0; dx < stepSize; ++dx, block += 4)
            for (std::size_t c = 0; c < 4; ++c)
                total[c] += block[c];
        for (std::size_t c = 0; c < 3; ++c)
            out[c] = float(total[c]) * scale;
    }
}

ReducedCopy reducedCopyOf(const QImage& picture)
{
    ReducedCopy reduced(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        reduced.addRow(picture.constScanLine(y));
    return reduced;
}
