#pragma once
// The paper's level across a picture: a smooth colour surface fitted to the
// pixels that look like paper, so that a lighting gradient, vignetting or a
// soft shadow moves the level with it instead of turning into shapes.
//
// The surface is a quadratic in x and y, fitted to the mean colour of a
// coarse grid of cells, plus the smoothed leftovers of that fit where paper
// was seen nearby (a shadow); under a large shape, far from any paper, the
// quadratic alone carries on. Pixels far from the surface are dropped and
// the fit repeated, a few times.
#include <opencv2/core.hpp>

struct PaperModel {
    cv::Mat level;    // CV_32FC3: the paper's colour at each pixel
    cv::Mat paper;    // CV_8U: 255 where the last fit took the pixel as paper
    float noise = 1;  // one standard deviation of a paper pixel's distance from level
};

// image: CV_32FC3, any channel order.
PaperModel fitPaper(const cv::Mat& image);

// Each pixel's distance (Euclidean, over the three channels) from the level.
cv::Mat distanceFromPaper(const cv::Mat& image, const cv::Mat& level);

// The median of a CV_32F picture's values where mask (CV_8U) is set, taken
// over a quarter of them; 0 when there are none.
float medianWhere(const cv::Mat& values, const cv::Mat& mask);
