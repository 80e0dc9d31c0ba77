// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The regions standing out from the paper's level on a picture's reduced
// copy (8-connected, grown by a reduced pixel so that a shape's blurred rim is
// theirs), and what their pixels say: where each lies on the copy and on the
// picture, its own colour against the paper, and a pixel's share of it.
#include "cli/find/Paper.h"
#include "cli/find/ReducedCopy.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

// The smoothing (sigma, pixels) on the picture itself before a pixel is
// weighed against its region's colour.
inline constexpr double pictureSmoothing = 1.0;

// The picture and its reduced copy, where regions are found.
struct Finding {
    cv::Mat picture;               // CV_8UC4 (B, G, R, unused), the caller's pixels
    cv::Mat reduced;               // CV_32FC3
    double scaleX = 1, scaleY = 1; // picture pixels per reduced pixel
    PaperModel paper;
    cv::Mat inverseLevel; // CV_32FC3: 1 / the paper's level, channel by channel
    cv::Mat labels;       // CV_32S regions on the reduced copy, 0 for paper
    cv::Mat stats;
    cv::Mat standOut;           // CV_32F: smoothed distance from the paper
    float standOutLimit = 0;    // beyond which a pixel stands out
    std::vector<bool> enclosed; // by label: lying in a hole of another region
    std::vector<int> columnOf;  // reduced column of each picture column
};

// Regions are found on the reduced copy; each is then measured on the picture
// itself (CV_8UC4, the caller's pixels), with the paper taken as paperStretch
// says.
Finding findRegions(const cv::Mat& picture, const ReducedCopy& reduced, PaperStretch paperStretch);

// The row of the reduced copy that picture row y falls in.
int rowOf(const Finding& found, int y);
// The region's box on the reduced copy.
cv::Rect regionBox(const Finding& found, int label);

// The region's box on the picture, grown by margin picture pixels and kept
// inside it.
cv::Rect pictureBox(const Finding& found, cv::Rect reduced, int margin);
// The reduced pixels a box of the picture covers, and one more round them.
cv::Rect reducedBox(const Finding& found, cv::Rect box);
// A pixel's difference from the paper as a share of the paper's level, channel
// by channel: light that falls off, or a shadow, darkens a shape as much as
// the paper under it, so the share stays the same.
cv::Vec3f shareOfPaper(const cv::Vec3f& pixel, const cv::Vec3f& inverseLevel);
// The region's own colour against the paper: the median difference over the
// half of its standing-out pixels that stands out most (the blurred rim, the
// ring the region was grown by, and highlights left aside; for a speck of a
// few pixels that ring would otherwise be most of it). Only pixels that stand
// out themselves count, not those that only do once smoothed: beside a line
// one pixel thin, the smoothing stands out almost as much as on it. The
// reduced pixels of leaveOut (the reference lying in the region) are left
// out.
std::optional<cv::Vec3f> regionColour(const Finding& found, int label, cv::Rect leaveOut = {});
// The picture smoothed over box (from a slightly larger patch, so its own
// border is not smoothed against nothing), of the given depth (CV_8U or
// CV_32F, four channels).
cv::Mat smoothedPatch(const cv::Mat& picture, cv::Rect box, int depth, double sigma = pictureSmoothing);

// The weight that turns a difference from the paper into its share of the
// region's colour: 0 on paper, 1 at the colour.
inline cv::Vec3f contrastWeights(const cv::Vec3f& colour) { return colour / colour.dot(colour); }

// A pixel's share of the region's colour (weighed by contrastWeights), with
// the paper's level at it (as 1 / level).
template <typename Pixel>
inline float shareOfColour(const Pixel& p, const cv::Vec3f& inverse, const cv::Vec3f& weights)
{
    return (float(p[0]) * inverse[0] - 1) * weights[0] + (float(p[1]) * inverse[1] - 1) * weights[1]
           + (float(p[2]) * inverse[2] - 1) * weights[2];
}
