// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The paper's level across a rectangle, read from its border: a shadow or
// light falling off across the rectangle shows on its border as well, and
// the level between the sides follows it.
//
// Each side's level along it is the median of the side's pixels over a
// stretch an eighth of the side long (and at least 31 pixels), taken at up
// to 64 points along the side and drawn straight between them. Pixels on the object's side of
// halfway between the background and the object are left out, so that a
// shape reaching the border does not darken (or lighten) the paper there; a
// stretch holding none takes the nearest stretch's level. Between the sides
// the level is a Coons patch: at each pixel the two sides across from each
// other drawn straight between them, both ways, less the same drawn from the
// corners. A shadow lying inside the rectangle, reaching none of its sides,
// does not show.
#include <functional>
#include <vector>

class PaperAcross {
public:
    // Even paper: the background's level everywhere.
    PaperAcross() = default;
    // levelAt(x, y): the level of pixel (x, y) of the rectangle's part,
    // width x height (only its border is read). Pixels beyond halfWay (below
    // it when the object is darker) are the object's.
    PaperAcross(const std::function<int(int, int)>& levelAt, int width, int height, int background, double halfWay,
                bool objectDarker);

    // The border gives the background's level all round (no picture's
    // lighting is that even, but a drawn one is).
    bool even() const { return left.empty(); }
    // The paper's level at pixel (x, y) of the part; uneven paper only.
    float at(int x, int y) const { return at(rowOf(y), std::size_t(x)); }
    // The paper's level along row y of the part, into out (one per column);
    // uneven paper only.
    void row(int y, std::vector<float>& out) const;

private:
    // The patch, arranged so that a row costs a few operations a pixel:
    // level = (1 - v) topLessCorners + v bottomLessCorners + left
    //         + u (right - left), u and v the pixel's share across and down.
    struct Row {
        float v, left, leftToRight;
    };
    Row rowOf(int y) const
    {
        const float v = left.size() > 1 ? float(y) / float(left.size() - 1) : 0.F;
        return {v, left[std::size_t(y)], right[std::size_t(y)] - left[std::size_t(y)]};
    }
    float at(const Row& row, std::size_t x) const
    {
        return (1 - row.v) * topLessCorners[x] + row.v * bottomLessCorners[x] + row.left
               + columnShare[x] * row.leftToRight;
    }

    std::vector<float> columnShare, topLessCorners, bottomLessCorners; // by column
    std::vector<float> left, right;                                    // by row
};
