// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A region counted on the picture itself: its pixels nearer its own colour
// than the paper's, each part of a shape of several colours against its own;
// a narrow one against the colour its middle line shows; what it shows beside
// what was counted; and a reference lying in the region taken out of it.
#include "cli/find/ReferenceFit.h"
#include "cli/find/Regions.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>
#include <vector>

// A region measured on the picture itself: the pixels nearer its own colour
// than the paper's, within the region (and one reduced pixel round it).
struct Measured {
    std::int64_t dots = 0;
    cv::Mat mask; // CV_8U over within
    cv::Rect within;
    cv::Rect box;                                 // of the counted pixels
    std::vector<std::vector<cv::Point>> contours; // through its edge pixels' centres, in the picture
    // Twice the count over the length of all its outlines, holes' too: a
    // line's or a ring's width, a disc's radius (0 for a single pixel).
    double width = 0;
    // In each reduced pixel of the region's box (CV_32F): the strongest share
    // of the colour counted against among the region's pixels there, and the
    // share of those pixels counted.
    cv::Mat strongest, counted;
    // Beside it, not counted, something shows less than half its colour but
    // more than its blurred edge spreads there: a paler part of it, or a
    // shadow or a stain beside it.
    bool faintBeside = false;
    // CV_8U over within, for a shape not thin: the pixels counted or showing
    // at least a quarter of its colour.
    cv::Mat reached;
    // CV_8U over within, for a shape not thin: each pixel weighed beside it
    // (not counted, in the region, not the reference's) as its share of the
    // colour times shownScale, and notShown at the others; with the blur
    // (sigma, pixels) its counted edge has there.
    cv::Mat shownBeside;
    double edgeBlur = 0;
    // The same for the paper round the region (the pixels of within no
    // region holds), made when asked (only a region parting into several
    // shapes needs it): its level may lie a little off near a shape (a
    // shadow's edge), and what it shows there is no part of the shape.
    std::function<cv::Mat()> paperBeside;
    cv::Mat leftOut; // CV_8U over within: the reference lying in the region, if it does
    // It touches that reference: where they meet its edge is the reference's,
    // and it may be the reference's shadow.
    bool againstReference = false;
};

inline constexpr std::uint8_t notShown = 255;
inline constexpr float shownScale = 250;

// The counted pixels' outlines, and the width they give.
void traceOutline(Measured& measured);

// What each pixel weighed beside a shape shows (Measured::shownBeside) beyond
// what the blurred edges of all its counted pixels spread there (CV_32F over
// within, 0 where not weighed): it sums to about 0 round a shape of one
// colour, however near another.
cv::Mat unexplainedBeside(const Measured& measured);
// Whether what a shape of dots pixels shows beside it beyond its blurred edge
// (colour, in pixels' shares) is enough to make it doubtful.
bool faintBeside(double colour, std::int64_t dots);

// A reference lying in a region: its fitted outline (picture coordinates),
// and how far round it its blurred edge reaches (pixels).
struct ReferenceInRegion {
    std::vector<cv::Point> outline;
    int margin = 0;
};

// The reference lying in a region, from its fit.
ReferenceInRegion referenceInRegion(const ShapeFit& fit);

// The region counted on the picture, without the reference where it lies in
// the region (its fitted outline, or empty); a shape narrower than thin
// pixels is counted as a whole (the blur takes too much of its middle to tell
// its parts apart by their colour).
Measured measureRegion(const Finding& found, int label, const cv::Vec3f& colour, double blur, double thin,
                       const ReferenceInRegion& reference);
