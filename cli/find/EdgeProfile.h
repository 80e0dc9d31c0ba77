// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where an outline's edge lies along lines across it. Along each line the
// edge is put where the contrast rises fastest (the middle of a blurred edge,
// the same wherever the paper and the shape's levels lie), the outermost such
// rise where there are several, so a lighter rim or highlights inside the
// shape do not pull it in. Where a rim of another level lies so close inside
// the edge that under blur the two rises merge into one, the lines are
// fitted as two blurred steps, and the edge is the outer step.
#include <opencv2/core.hpp>

#include <optional>
#include <vector>

// The shape's contrast against the paper near it: 0 on paper, 1 at the
// shape's own colour, on a (blurred) patch of the picture.
struct ContrastPatch {
    cv::Mat values;   // CV_32F
    cv::Point origin; // of values' top-left pixel in the picture

    // Bilinear, at a point in picture coordinates; NaN outside the patch.
    float at(cv::Point2f point) const;
};

// Each level along a line is the mean of samples this many pixels either
// side of it, one pixel apart: noise averages out, and the edge is not
// widened as smoothing would.
inline constexpr int acrossSamples = 3;

// Where the contrast rises fastest along a line, and how wide that rise is
// at half its height (both in pixels from the line's outer end).
struct Rise {
    float at = 0, width = 0;
};

// One line across the outline: its levels, and its steepest rise.
struct Crossing {
    std::vector<float> levels;
    Rise rise;
};

// The line from outside inward (a unit vector), length pixels long; none
// where it leaves the patch or shows no edge.
std::optional<Crossing> crossingAlong(const ContrastPatch& patch, cv::Point2f outside, cv::Point2f inward,
                                      float length);

// How a rim is looked for along the lines:
//   AroundSteepest  its two steps round a line's steepest rise, the outer one
//                   at most a rim's width and a pixel further out
//   Wider           the outer step up to two blurs further out still, and
//                   the inner step must matter too (a highlight on the rim's
//                   inner edge puts the steepest rise further in)
//   FurtherIn       as Wider, the two steps also looked for further inward
//                   (along a line where a wide rim's outer step rises most,
//                   its inner step lies beyond the stretch round that rise)
enum class RimSearch { AroundSteepest, Wider, FurtherIn };

// A rim all round an outline, as the lines across it show it: the blur of
// its steps (one standard deviation) and how far inside the edge its own step
// lies, both in pixels.
struct Rim {
    double blur = 0, width = 0;
};

// The edge along each of an outline's lines, in pixels from its outer end
// (none where the line shows no edge), and the rim whose outer step it is,
// where the lines show one. The lines are judged together: a rim must show
// round most of the outline to be taken for one.
struct Edges {
    std::vector<std::optional<float>> along;
    std::optional<Rim> rim;
};
Edges edgesOf(const std::vector<std::optional<Crossing>>& crossings, RimSearch search = RimSearch::AroundSteepest);

// The most the contrast rises over `over` pixels anywhere from `from` to `to`
// pixels inside an edge at edge (inward: a unit vector); none where the line
// leaves the patch.
std::optional<float> riseInside(const ContrastPatch& patch, cv::Point2f edge, cv::Point2f inward, float from, float to,
                                float over);

// How wide (pixels) the rise through an edge found along a line is, and the
// line's steepest rise, each where it rises at least half as fast as at its
// middle; none where the level does not rise at the edge.
struct RiseWidths {
    float edge = 0, sharpest = 0;
};
std::optional<RiseWidths> riseWidths(const Crossing& crossing, float edge);

// The edge's blur (one standard deviation, pixels), from how wide the lines'
// steepest rises are at half their height; 0 without any.
double blurOf(const std::vector<std::optional<Crossing>>& crossings);
