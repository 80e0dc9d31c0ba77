// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/PaperAcross.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int pointsPerSide = 64;
// A stretch reaches this share of the side, and at least this many pixels,
// either way from its point.
constexpr int sideShareReached = 16;
constexpr int shortestReach = 15;

// The levels along one side, first pixel first: a row, or a column.
std::vector<int> sideOf(const std::function<int(int, int)>& levelAt, int length, bool row, int at)
{
    std::vector<int> side(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        side[std::size_t(i)] = row ? levelAt(i, at) : levelAt(at, i);
    return side;
}

// The median of the paper's pixels of side[first, last); none when it holds none.
std::optional<int> paperMedian(const std::vector<int>& side, int first, int last, double halfWay, bool objectDarker)
{
    std::vector<int> paper;
    for (int i = first; i < last; ++i) {
        const int level = side[std::size_t(i)];
        if (objectDarker ? level > halfWay : level < halfWay)
            paper.push_back(level);
    }
    if (paper.empty())
        return std::nullopt;
    const auto middle = paper.begin() + std::ptrdiff_t(paper.size() / 2);
    std::nth_element(paper.begin(), middle, paper.end());
    return *middle;
}

// The paper's level at each pixel of a side (see PaperAcross.h).
std::vector<double> sideLevels(const std::vector<int>& side, int background, double halfWay, bool objectDarker)
{
    const int length = int(side.size());
    const int points = std::min(pointsPerSide, length);
    const int reach = std::max(shortestReach, length / sideShareReached);
    std::vector<double> centre(static_cast<std::size_t>(points)), level(static_cast<std::size_t>(points));
    std::vector<std::optional<int>> found(static_cast<std::size_t>(points));
    for (int k = 0; k < points; ++k) {
        centre[std::size_t(k)] = (k + 0.5) * length / points - 0.5;
        const int middle = int(centre[std::size_t(k)] + 0.5);
        found[std::size_t(k)] = paperMedian(side, std::max(0, middle - reach), std::min(length, middle + reach + 1),
                                            halfWay, objectDarker);
    }
    // A stretch of the object alone takes the nearest stretch's level.
    for (int k = 0; k < points; ++k) {
        std::optional<int> nearest;
        for (int d = 0; d < points && !nearest; ++d) {
            if (k - d >= 0 && found[std::size_t(k - d)])
                nearest = found[std::size_t(k - d)];
            else if (k + d < points && found[std::size_t(k + d)])
                nearest = found[std::size_t(k + d)];
        }
        level[std::size_t(k)] = nearest.value_or(background);
    }
    std::vector<double> along(static_cast<std::size_t>(length));
    for (int i = 0, k = 0; i < length; ++i) {
        while (k + 1 < points && centre[std::size_t(k + 1)] <= i)
            ++k;
        if (k + 1 >= points || i <= centre[0]) {
            along[std::size_t(i)] = level[std::size_t(i <= centre[0] ? 0 : k)];
            continue;
        }
        const double t = (i - centre[std::size_t(k)]) / (centre[std::size_t(k + 1)] - centre[std::size_t(k)]);
        along[std::size_t(i)] = level[std::size_t(k)] + (level[std::size_t(k + 1)] - level[std::size_t(k)]) * t;
    }
    return along;
}

bool allAt(const std::vector<double>& levels, int background)
{
    return std::all_of(levels.begin(), levels.end(), [background](double level) { return level == background; });
}

double share(int i, int length) { return length > 1 ? double(i) / (length - 1) : 0; }

} // namespace

PaperAcross::PaperAcross(const std::function<int(int, int)>& levelAt, int width, int height, int background,
                         double halfWay, bool objectDarker)
{
    if (width < 3 || height < 3)
        return;
    const auto side = [&](bool row, int at) {
        return sideLevels(sideOf(levelAt, row ? width : height, row, at), background, halfWay, objectDarker);
    };
    std::vector<double> t = side(true, 0), b = side(true, height - 1);
    std::vector<double> l = side(false, 0), r = side(false, width - 1);
    if (allAt(t, background) && allAt(b, background) && allAt(l, background) && allAt(r, background))
        return; // even
    const double topLeft = (t.front() + l.front()) / 2, topRight = (t.back() + r.front()) / 2;
    const double bottomLeft = (b.front() + l.back()) / 2, bottomRight = (b.back() + r.back()) / 2;
    for (int x = 0; x < width; ++x) {
        const double u = share(x, width);
        columnShare.push_back(float(u));
        topLessCorners.push_back(float(t[std::size_t(x)] - ((1 - u) * topLeft + u * topRight)));
        bottomLessCorners.push_back(float(b[std::size_t(x)] - ((1 - u) * bottomLeft + u * bottomRight)));
    }
    left.assign(l.begin(), l.end());
    right.assign(r.begin(), r.end());
}

void PaperAcross::row(int y, std::vector<float>& out) const
{
    const Row across = rowOf(y);
    out.resize(columnShare.size());
    for (std::size_t x = 0; x < out.size(); ++x)
        out[x] = at(across, x);
}
