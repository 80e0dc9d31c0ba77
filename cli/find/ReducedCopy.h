// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The copy of a picture that shapes are looked for on: reduced by a whole
// step in both directions to about 700 pixels along its long side (noise
// averages out there, and the paper's fit is cheap), each pixel the mean of a
// step x step block; a remainder of fewer than step columns or rows is left
// out. It can be built row by row while the picture is being drawn, so that
// each row of a large picture is read while it is still in the cache.
#include <QImage>

#include <cstdint>
#include <vector>

class ReducedCopy {
public:
    ReducedCopy(int pictureWidth, int pictureHeight);

    int step() const { return stepSize; }
    int width() const { return columns; }
    int height() const { return rows; }
    int pictureWidth() const { return ownWidth; }
    int pictureHeight() const { return ownHeight; }

    // Takes the picture's next row (32-bit: blue, green, red, unused), top
    // to bottom.
    void addRow(const std::uint8_t* row);
    // Every row of the picture taken.
    bool complete() const { return added == ownHeight; }

    // Blue, green and red means, row after row.
    const std::vector<float>& pixels() const { return means; }

private:
    void addRowToSums(const std::uint8_t* row);
    void finishRow(int row);

    int ownWidth, ownHeight, stepSize, columns, rows;
    int added = 0;
    std::vector<std::uint16_t> sums; // of the rows of the block row under way
    std::vector<float> means;
};

// The copy of a whole picture (32-bit RGB) at once.
ReducedCopy reducedCopyOf(const QImage& picture);
