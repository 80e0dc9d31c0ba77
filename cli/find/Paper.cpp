// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/Paper.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

float medianWhere(const cv::Mat& values, const cv::Mat& mask)
{
    // Every other pixel of every other row is plenty for a median of so many.
    std::vector<float> kept;
    kept.reserve(std::size_t(values.total() / 4));
    for (int y = 0; y < values.rows; y += 2) {
        const auto* value = values.ptr<float>(y);
        const auto* keep = mask.ptr<std::uint8_t>(y);
        for (int x = y / 2 % 2; x < values.cols; x += 2)
            if (keep[x])
                kept.push_back(value[x]);
    }
    if (kept.empty())
        return 0;
    const auto middle = kept.begin() + std::ptrdiff_t(kept.size() / 2);
    std::nth_element(kept.begin(), middle, kept.end());
    return *middle;
}

namespace {

constexpr int fits = 3;
constexpr int fittingLongSide = 600;
constexpr int cellsAlongLongSide = 80;
// A cell whose paper covers less than this share gives no mean of its own.
constexpr float leastPaperShare = 0.25F;
// An edge: grey changing by this many times the picture's typical change per
// pixel, and by at least this many levels per pixel. A soft shadow or the
// light falling off changes far more slowly.
constexpr float edgeTimesTypical = 6;
constexpr float edgeLevels = 2;

float scaled(float position, int length) { return length > 1 ? 2 * position / float(length - 1) - 1 : 0; }

// The six terms of a quadratic at (u, v), both scaled into -1 .. 1 over the
// picture's pixel centres.
std::array<double, 6> quadraticTerms(double u, double v) { return {1, u, v, u * u, u * v, v * v}; }

// Least-squares quadratic through the paper's pixels (every other one of
// every other row); the coefficients as a 6 x 3 matrix, one column per
// channel.
cv::Mat fitQuadratic(const cv::Mat& image, const cv::Mat& paper)
{
    cv::Matx<double, 6, 6> normal = cv::Matx<double, 6, 6>::zeros();
    cv::Matx<double, 6, 3> target = cv::Matx<double, 6, 3>::zeros();
    int count = 0;
    for (int y = 0; y < image.rows; y += 2) {
        const auto* pixel = image.ptr<cv::Vec3f>(y);
        const auto* keep = paper.ptr<std::uint8_t>(y);
        const double v = scaled(float(y), image.rows);
        for (int x = 0; x < image.cols; x += 2) {
            if (!keep[x])
                continue;
            const auto terms = quadraticTerms(scaled(float(x), image.cols), v);
            for (int i = 0; i < 6; ++i) {
                for (int j = 0; j < 6; ++j)
                    normal(i, j) += terms[std::size_t(i)] * terms[std::size_t(j)];
                for (int c = 0; c < 3; ++c)
                    target(i, c) += terms[std::size_t(i)] * pixel[x][c];
            }
            ++count;
        }
    }
    cv::Mat coefficients(6, 3, CV_32F, cv::Scalar(0));
    if (count == 0) { // no paper seen: a white sheet
        coefficients.row(0).setTo(cv::Scalar(255));
        return coefficients;
    }
    cv::Mat solved;
    cv::solve(cv::Mat(normal), cv::Mat(target), solved, cv::DECOMP_SVD);
    solved.convertTo(coefficients, CV_32F);
    return coefficients;
}

// The quadratic evaluated at every pixel: along a row it is a + b u + c u^2,
// with a, b and c worked out once per row.
cv::Mat quadraticSurface(const cv::Mat& coefficients, int cols, int rows)
{
    const auto k = [&](int term, int channel) { return coefficients.at<float>(term, channel); };
    std::vector<float> u(static_cast<std::size_t>(cols));
    for (int x = 0; x < cols; ++x)
        u[std::size_t(x)] = scaled(float(x), cols);
    cv::Mat surface(rows, cols, CV_32FC3);
    for (int y = 0; y < rows; ++y) {
        const float v = scaled(float(y), rows);
        cv::Vec3f a, b, c;
        for (int ch = 0; ch < 3; ++ch) {
            a[ch] = k(0, ch) + k(2, ch) * v + k(5, ch) * v * v;
            b[ch] = k(1, ch) + k(4, ch) * v;
            c[ch] = k(3, ch);
        }
        auto* out = surface.ptr<cv::Vec3f>(y);
        for (int x = 0; x < cols; ++x) {
            const float ux = u[std::size_t(x)];
            out[x] = a + (b + c * ux) * ux;
        }
    }
    return surface;
}

// The paper as the picture's largest stretch free of edges (with any other
// large stretch reaching the picture's border): shapes are ringed by edges,
// while shadows and falling light are not.
cv::Mat edgeFreePaper(const cv::Mat& image)
{
    cv::Mat grey;
    cv::transform(image, grey, cv::Matx13f(1.F / 3, 1.F / 3, 1.F / 3));
    cv::GaussianBlur(grey, grey, cv::Size(0, 0), 1.0);
    cv::Mat dx, dy, change;
    cv::Sobel(grey, dx, CV_32F, 1, 0, 3, 1.0 / 8);
    cv::Sobel(grey, dy, CV_32F, 0, 1, 3, 1.0 / 8);
    cv::magnitude(dx, dy, change);
    const cv::Mat all(image.size(), CV_8U, cv::Scalar(255));
    const float typical = medianWhere(change, all);
    cv::Mat edges;
    cv::compare(change, std::max(edgeTimesTypical * typical, edgeLevels), edges, cv::CMP_GE);
    cv::dilate(edges, edges, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));
    cv::Mat free = edges == 0;
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(free, labels, stats, centroids, 4, CV_32S);
    int largest = 0;
    for (int label = 1; label < count; ++label)
        if (largest == 0 || stats.at<int>(label, cv::CC_STAT_AREA) > stats.at<int>(largest, cv::CC_STAT_AREA))
            largest = label;
    cv::Mat paper(image.size(), CV_8U, cv::Scalar(0));
    for (int label = 1; label < count; ++label) {
        const int left = stats.at<int>(label, cv::CC_STAT_LEFT), top = stats.at<int>(label, cv::CC_STAT_TOP);
        const bool border = left == 0 || top == 0 || left + stats.at<int>(label, cv::CC_STAT_WIDTH) == image.cols
                            || top + stats.at<int>(label, cv::CC_STAT_HEIGHT) == image.rows;
        if (label == largest || (border && stats.at<int>(label, cv::CC_STAT_AREA) >= 0.05 * double(image.total())))
            paper.setTo(255, labels == label);
    }
    return paper;
}

} // namespace

cv::Mat distanceFromPaper(const cv::Mat& image, const cv::Mat& level)
{
    cv::Mat difference = image - level;
    cv::Mat squared;
    cv::multiply(difference, difference, squared);
    cv::Mat sum;
    cv::transform(squared, sum, cv::Matx13f(1, 1, 1));
    cv::Mat distance;
    cv::sqrt(sum, distance);
    return distance;
}

PaperModel fitPaper(const cv::Mat& picture)
{
    CV_Assert(picture.type() == CV_32FC3);
    // The paper changes slowly: it is fitted on a small copy and the level
    // then spread over the whole picture.
    const int pictureLongSide = std::max(picture.cols, picture.rows);
    const int step = std::max(1, (pictureLongSide + fittingLongSide - 1) / fittingLongSide);
    cv::Mat image = picture;
    if (step > 1)
        cv::resize(picture, image, cv::Size(std::max(1, picture.cols / step), std::max(1, picture.rows / step)), 0, 0,
                   cv::INTER_AREA);
    PaperModel model;
    const cv::Mat edgeFree = edgeFreePaper(image);
    model.paper = edgeFree.clone();
    const int longSide = std::max(image.cols, image.rows);
    const int cell = std::max(4, longSide / cellsAlongLongSide);
    const cv::Size grid(std::max(1, (image.cols + cell / 2) / cell), std::max(1, (image.rows + cell / 2) / cell));
    for (int fit = 0; fit < fits; ++fit) {
        const cv::Mat coefficients = fitQuadratic(image, model.paper);
        const cv::Mat quadratic = quadraticSurface(coefficients, image.cols, image.rows);

        // The quadratic's leftovers on the paper, as cell means, spread over
        // the cells nearby that saw too little paper (and fading to nothing
        // far from any).
        cv::Mat share;
        model.paper.convertTo(share, CV_32F, 1.0 / 255);
        cv::Mat share3;
        cv::merge(std::vector<cv::Mat>{share, share, share}, share3);
        const cv::Mat leftovers = (image - quadratic).mul(share3);
        cv::Mat sums, shares;
        cv::resize(leftovers, sums, grid, 0, 0, cv::INTER_AREA);
        cv::resize(share, shares, grid, 0, 0, cv::INTER_AREA);
        cv::Mat weights;
        cv::threshold(shares, weights, leastPaperShare, 1, cv::THRESH_TOZERO);
        cv::Mat means(grid, CV_32FC3, cv::Scalar(0, 0, 0));
        for (int y = 0; y < grid.height; ++y)
            for (int x = 0; x < grid.width; ++x)
                if (weights.at<float>(y, x) > 0)
                    means.at<cv::Vec3f>(y, x) = sums.at<cv::Vec3f>(y, x)
                                                * (weights.at<float>(y, x) / shares.at<float>(y, x));
        cv::Mat spreadMeans, spreadWeights;
        cv::GaussianBlur(means, spreadMeans, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
        cv::GaussianBlur(weights, spreadWeights, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
        cv::max(spreadWeights, 0.25, spreadWeights);
        cv::Mat spreadWeights3;
        cv::merge(std::vector<cv::Mat>{spreadWeights, spreadWeights, spreadWeights}, spreadWeights3);
        cv::Mat correction, fineCorrection;
        cv::divide(spreadMeans, spreadWeights3, correction);
        cv::resize(correction, fineCorrection, image.size(), 0, 0, cv::INTER_LINEAR);
        model.level = quadratic + fineCorrection;

        // Paper is the edge-free stretch where it lies within a few standard
        // deviations of the level.
        const cv::Mat distance = distanceFromPaper(image, model.level);
        // For noise in three channels the median distance is about 1.54 sigma.
        model.noise = std::max(medianWhere(distance, model.paper) / 1.54F, 0.3F);
        cv::Mat near;
        cv::compare(distance, std::max(6 * model.noise, 20.F), near, cv::CMP_LT);
        cv::bitwise_and(edgeFree, near, model.paper);
    }
    if (step > 1) {
        cv::resize(cv::Mat(model.level), model.level, picture.size(), 0, 0, cv::INTER_LINEAR);
        cv::resize(cv::Mat(model.paper), model.paper, picture.size(), 0, 0, cv::INTER_NEAREST);
    }
    return model;
}
