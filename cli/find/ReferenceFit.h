// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Fitting the reference's outline to sub-pixel precision. The region found on
// the picture gives a rough outline; along lines across that outline the edge
// is put where the contrast rises fastest (the middle of a blurred edge, the
// same wherever the paper and the shape's levels lie), the outermost such
// rise where there are several, so a lighter rim or highlights inside the
// shape do not pull it in. Where a rim of another level lies so close inside
// the edge that under blur the two rises merge into one, the lines are
// fitted as two blurred steps, and the edge is the outer step. A disc or a
// square is then fitted to those edge points, dropping the points far from
// it, and its area is the fitted outline's.
#include <opencv2/core.hpp>

#include <vector>

// The shape's contrast against the paper near it: 0 on paper, 1 at the
// shape's own colour, on a (blurred) patch of the picture.
struct ContrastPatch {
    cv::Mat values;   // CV_32F
    cv::Point origin; // of values' top-left pixel in the picture

    // Bilinear, at a point in picture coordinates; NaN outside the patch.
    float at(cv::Point2f point) const;
};

struct ShapeFit {
    bool fitted = false;
    double pixelArea = 0;
    // RMS distance of the kept edge points from the fitted outline, over the
    // shape's size (radius, or side): small for a clean disc or square.
    double score = 1;
    std::vector<cv::Point2f> outline; // a fine polygon round the disc, or the square's corners
};

// Could rough (a region's outline) be a disc, or a square, at all? Its fill of
// the fitted ellipse or rectangle, and the sides' proportions.
bool roughlyDisc(const std::vector<cv::Point2f>& rough);
bool roughlySquare(const std::vector<cv::Point2f>& rough);

// The fitted outline. reach: how far (pixels) the true edge may lie from the
// rough outline either way.
ShapeFit fitDisc(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach);
ShapeFit fitSquare(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach);
