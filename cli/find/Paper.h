// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The paper's level across a picture: a smooth colour surface fitted to the
// pixels that are paper, so that a lighting gradient, vignetting or a soft
// shadow moves the level with it instead of turning into shapes.
//
// Paper is told from shapes by edges: a shape is ringed by a sharp change of
// colour, a shadow or light falling off changes slowly. The largest stretch
// of the picture free of edges (and any other large one reaching the
// picture's border that looks like it: the paper cut in two by a stalk) is
// paper. A large stretch running along a whole side of the picture that does
// not look like it lies beyond the sheet (a table): neither paper nor shape.
// The surface is a quadratic in x and y fitted
// to it, plus the quadratic's leftovers averaged over a grid of small cells
// and spread to the cells nearby (a shadow); under a large shape, far from
// any paper, the quadratic alone carries on. The fit is repeated a few
// times, leaving out paper pixels far from the last surface; the fits before
// the last look at every other pixel of every other row, which is plenty
// for a surface this smooth.
#include <opencv2/core.hpp>

struct PaperModel {
    cv::Mat level;    // CV_32FC3: the paper's colour at each pixel
    cv::Mat distance; // CV_32F: each pixel's distance (Euclidean, over the channels) from level; 0 beyond the sheet
    cv::Mat paper;    // CV_8U: 255 where the last fit took the pixel as paper
    float noise = 1;  // one standard deviation of a paper pixel's distance from level
};

// Which edge-free stretch is the paper: the largest, or the largest reaching
// the picture's border besides it (a shape covering more of the picture than
// the paper round it, whose inside is then the largest stretch).
enum class PaperStretch { Largest, LargestAround };

// image: CV_32FC3, any channel order.
PaperModel fitPaper(const cv::Mat& image, PaperStretch paperStretch = PaperStretch::Largest);

// The median of a CV_32F picture's values where mask (CV_8U) is set, taken
// over a sixteenth of them; 0 when there are none.
float medianWhere(const cv::Mat& values, const cv::Mat& mask);
