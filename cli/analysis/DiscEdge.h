// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A coin's outline fitted to its edge, and the level its count is set
// against from that outline. A light coin's lighter rim is often narrower than a few blurs: no
// pixel shows the rim's own level past the blur, and a limit halfway to the
// level deeper inside leaves the rim on the paper's side, a few per cent of
// the coin. Where a rectangle's shape is a clean disc, its edge is fitted as
// the batch tool's finding fits a reference (two blurred steps where a rim
// shows), and the edge level is the one whose halfway limit counts as many
// pixels about the disc as its fitted outline holds, or as nearly so as the
// paper round it allows.

#include "cli/analysis/PaperAcross.h"

#include <opencv2/core/mat.hpp>

#include <functional>
#include <optional>

struct DiscEdge {
    double area = 0; // pixels inside the fitted outline
    // The level halfway to which the limit counts about as many pixels about
    // the disc as that: as nearly as it can without counting the paper round
    // it (its noise, light falling off across the rectangle, a shadow). None
    // where the count comes nearest with a limit on the object's side of the
    // one halfway to the object's level, and where the rim was found only on
    // a wider look (the area then only tells whether the count falls short).
    std::optional<int> level;
    // The edge shows what a shadow or something lying against the disc
    // leaves: softer or doubled on one side, or much softer than the
    // sharpest rise across it along half the lines. The area is then in
    // doubt too, and no level is set.
    bool shadow = false;
};

// A rectangle's levels averaged in blocks of blocks x blocks pixels (1: its
// own).
struct AveragedLevels {
    cv::Mat levels;
    int blocks = 1;
};

// The levels round a rectangle, averaged in the same blocks: the lines across
// a disc's edge reach past the rectangle's sides where it is dragged close
// round the disc (a loose rectangle on the picture is a close one on its
// working image). origin: its top-left pixel in the rectangle's averaged
// pixels (never positive).
struct Surround {
    AveragedLevels levels;
    cv::Point origin;
};

// levels: the rectangle's levels (CV_16U, red + green + blue), and reduced:
// the same averaged down where the rectangle is large (the disc is fitted
// there, at a fraction of the cost, and counted on levels); surround: the
// levels round it, asked for only where the shape is a disc; paper,
// background and object as RectangleLevels has them (the level is set for a
// limit that follows the paper). None where the shape counted halfway
// to the object is no disc, its edge fits no circle closely even with its
// rim looked for wider, or its fitted outline is not round.
std::optional<DiscEdge> discEdge(const cv::Mat& levels, const AveragedLevels& reduced,
                                 const std::function<Surround()>& surround, const PaperAcross& paper, int background,
                                 int object);
