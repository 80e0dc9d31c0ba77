// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Fitting the reference's outline to sub-pixel precision. The region found on
// the picture gives a rough outline; lines across it give edge points (see
// EdgeProfile.h). A disc or a square is then fitted to those edge points,
// dropping the points far from it, and its area is the fitted outline's.
#include "cli/find/EdgeProfile.h"

#include <opencv2/core.hpp>

#include <vector>

struct ShapeFit {
    bool fitted = false;
    double pixelArea = 0;
    // RMS distance of the kept edge points from the fitted outline, over the
    // shape's size (radius, or side): small for a clean disc or square.
    double score = 1;
    std::vector<cv::Point2f> outline; // a fine polygon round the disc, or the square's corners
    double blur = 0;                  // of its edge: one standard deviation, pixels
    // A disc's fitted outline may hold more than the shape: its edge points
    // are not round, or on one side only its edge is much softer or a second
    // edge shows just inside it, or along at least half its lines its edge
    // is much softer than the sharpest rise across it (a shadow or something else lying against
    // it taken in), or its rim was found only on a wider look.
    bool outlineDoubtful = false;
    // The same but for the wider look: the edge points or the lines
    // themselves put the outline in doubt.
    bool shapeDoubtful = false;
    // Of those, what the lines across the edge show where a shadow lies
    // against a disc (a softer or second edge on one side, or the edge much
    // softer than the sharpest rise along half of them), leaving out an
    // outline merely not round (a photograph taken at a slant).
    bool edgeLikeShadow = false;
    // A disc's rim lies so close inside its edge that under the blur the two
    // make one rise, on a disc so small that where along that rise the edge
    // is put changes its area by a few percent.
    bool rimBlurredIntoEdge = false;
};

// Could rough (a region's outline) be a disc, or a square, at all? Its fill of
// the fitted ellipse or rectangle, and the sides' proportions. grain: the
// size (pixels) of the pixels of the copy the outline was traced on.
bool roughlyDisc(const std::vector<cv::Point2f>& rough);
bool roughlySquare(const std::vector<cv::Point2f>& rough, double grain);

// The circle of an outline's area about its centre (radius 0 for none).
struct AreaCircle {
    cv::Point2d centre;
    double radius = 0;
};
AreaCircle circleOfArea(const std::vector<cv::Point2f>& outline);

// How far an outline's points lie from the circle of its area: RMS, over its
// radius (1 for an outline with no area).
double offRound(const std::vector<cv::Point2f>& outline);

// Which of a disc's edge points its circle is fitted through:
//   All              all of them, those far off the circle dropped;
//   LeavingOutASide  where a shadow or something lying against the disc
//                    takes in a part of its outline: a fit through all the
//                    points settles between disc and shadow and drops too
//                    few of them, so the circle is first fitted to each arc
//                    holding the share of the points a fit needs, and the
//                    one closest to its arc's points (the disc's own arc)
//                    taken on; the points left out must lie beyond it. Its
//                    outline is in doubt and its edge shows a shadow's.
enum class DiscPoints { All, LeavingOutASide };

// The fitted outline. reach: how far (pixels) the true edge may lie from the
// rough outline either way. A disc's rim is looked for as search says (see
// EdgeProfile.h); one found only on a wider look leaves the outline in doubt.
ShapeFit fitDisc(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach,
                 RimSearch search = RimSearch::AroundSteepest, DiscPoints points = DiscPoints::All);
ShapeFit fitSquare(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach);
