#include "cli/find/Paper.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int fits = 4;
constexpr int cellsAlongLongSide = 32;
// A cell whose paper covers less than this share gives no mean of its own.
constexpr float leastPaperShare = 0.25F;

// The median of the CV_32F values of values where mask is set (0 when none).
float maskedMedian(const cv::Mat& values, const cv::Mat& mask)
{
    std::vector<float> kept;
    kept.reserve(std::size_t(values.total()));
    for (int y = 0; y < values.rows; ++y) {
        const auto* value = values.ptr<float>(y);
        const auto* keep = mask.ptr<std::uint8_t>(y);
        for (int x = 0; x < values.cols; ++x)
            if (keep[x])
                kept.push_back(value[x]);
    }
    if (kept.empty())
        return 0;
    const auto middle = kept.begin() + std::ptrdiff_t(kept.size() / 2);
    std::nth_element(kept.begin(), middle, kept.end());
    return *middle;
}

// The six terms of a quadratic at (u, v), both scaled into -1 .. 1.
std::array<float, 6> quadraticTerms(float u, float v) { return {1, u, v, u * u, u * v, v * v}; }

float scaled(float position, int length) { return length > 1 ? 2 * position / float(length - 1) - 1 : 0; }

// Least-squares quadratic through the cells' means, each weighed by its
// paper share; the coefficients as a 6 x 3 matrix (one column per channel).
cv::Mat fitQuadratic(const cv::Mat& means, const cv::Mat& weights)
{
    std::vector<std::array<float, 6>> rows;
    std::vector<cv::Vec3f> targets;
    std::vector<float> rootWeights;
    for (int y = 0; y < means.rows; ++y)
        for (int x = 0; x < means.cols; ++x) {
            const float weight = weights.at<float>(y, x);
            if (weight <= 0)
                continue;
            rows.push_back(quadraticTerms(scaled(float(x), means.cols), scaled(float(y), means.rows)));
            targets.push_back(means.at<cv::Vec3f>(y, x));
            rootWeights.push_back(std::sqrt(weight));
        }
    const int count = int(rows.size());
    const int terms = count >= 12 ? 6 : count >= 3 ? 3 : 1; // too few cells: a plane, or one level
    cv::Mat a(std::max(count, 1), terms, CV_32F, cv::Scalar(0));
    cv::Mat b(std::max(count, 1), 3, CV_32F, cv::Scalar(0));
    for (int i = 0; i < count; ++i) {
        for (int t = 0; t < terms; ++t)
            a.at<float>(i, t) = rows[std::size_t(i)][std::size_t(t)] * rootWeights[std::size_t(i)];
        for (int c = 0; c < 3; ++c)
            b.at<float>(i, c) = targets[std::size_t(i)][c] * rootWeights[std::size_t(i)];
    }
    if (count == 0) {
        a.at<float>(0, 0) = 1;
        b.setTo(cv::Scalar(255));
    }
    cv::Mat solved;
    cv::solve(a, b, solved, cv::DECOMP_SVD);
    cv::Mat coefficients(6, 3, CV_32F, cv::Scalar(0));
    solved.copyTo(coefficients.rowRange(0, terms));
    return coefficients;
}

// The quadratic evaluated at every pixel of a cols x rows picture.
cv::Mat quadraticSurface(const cv::Mat& coefficients, int cols, int rows)
{
    cv::Mat surface(rows, cols, CV_32FC3);
    for (int y = 0; y < rows; ++y) {
        auto* out = surface.ptr<cv::Vec3f>(y);
        const float v = scaled(float(y), rows);
        for (int x = 0; x < cols; ++x) {
            const auto terms = quadraticTerms(scaled(float(x), cols), v);
            cv::Vec3f value(0, 0, 0);
            for (int t = 0; t < 6; ++t)
                for (int c = 0; c < 3; ++c)
                    value[c] += terms[std::size_t(t)] * coefficients.at<float>(t, c);
            out[x] = value;
        }
    }
    return surface;
}

// Pixels whose grey lies near the picture's median grey: a first guess at the
// paper when most of the picture is paper.
cv::Mat firstGuess(const cv::Mat& image)
{
    cv::Mat grey;
    cv::transform(image, grey, cv::Matx13f(1.F / 3, 1.F / 3, 1.F / 3));
    const cv::Mat all(image.size(), CV_8U, cv::Scalar(255));
    const float middle = maskedMedian(grey, all);
    cv::Mat spread;
    cv::absdiff(grey, cv::Scalar(middle), spread);
    const float typical = 1.4826F * maskedMedian(spread, all);
    cv::Mat paper;
    cv::compare(spread, std::max(4 * typical, 8.F), paper, cv::CMP_LE);
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

PaperModel fitPaper(const cv::Mat& image)
{
    CV_Assert(image.type() == CV_32FC3);
    PaperModel model;
    model.paper = firstGuess(image);
    const int longSide = std::max(image.cols, image.rows);
    const int cell = std::max(4, longSide / cellsAlongLongSide);
    const cv::Size grid(std::max(1, (image.cols + cell / 2) / cell), std::max(1, (image.rows + cell / 2) / cell));
    for (int fit = 0; fit < fits; ++fit) {
        // Each cell's mean paper colour and paper share.
        cv::Mat share;
        model.paper.convertTo(share, CV_32F, 1.0 / 255);
        cv::Mat masked;
        cv::Mat share3;
        cv::merge(std::vector<cv::Mat>{share, share, share}, share3);
        cv::multiply(image, share3, masked);
        cv::Mat sums, shares;
        cv::resize(masked, sums, grid, 0, 0, cv::INTER_AREA);
        cv::resize(share, shares, grid, 0, 0, cv::INTER_AREA);
        cv::Mat means(grid, CV_32FC3, cv::Scalar(0, 0, 0));
        cv::Mat weights(grid, CV_32F, cv::Scalar(0));
        for (int y = 0; y < grid.height; ++y)
            for (int x = 0; x < grid.width; ++x) {
                const float s = shares.at<float>(y, x);
                if (s >= leastPaperShare) {
                    means.at<cv::Vec3f>(y, x) = sums.at<cv::Vec3f>(y, x) / s;
                    weights.at<float>(y, x) = s;
                }
            }

        // The quadratic, and its leftovers smoothed where paper was seen.
        const cv::Mat coefficients = fitQuadratic(means, weights);
        const cv::Mat onGrid = quadraticSurface(coefficients, grid.width, grid.height);
        cv::Mat leftovers = means - onGrid;
        cv::Mat weights3;
        cv::merge(std::vector<cv::Mat>{weights, weights, weights}, weights3);
        leftovers = leftovers.mul(weights3);
        cv::Mat spreadLeftovers, spreadWeights;
        cv::GaussianBlur(leftovers, spreadLeftovers, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
        cv::GaussianBlur(weights, spreadWeights, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
        cv::max(spreadWeights, 0.25, spreadWeights);
        cv::Mat spreadWeights3;
        cv::merge(std::vector<cv::Mat>{spreadWeights, spreadWeights, spreadWeights}, spreadWeights3);
        cv::Mat correction;
        cv::divide(spreadLeftovers, spreadWeights3, correction);
        cv::Mat fineCorrection;
        cv::resize(correction, fineCorrection, image.size(), 0, 0, cv::INTER_LINEAR);
        model.level = quadraticSurface(coefficients, image.cols, image.rows) + fineCorrection;

        // Paper is what lies within a few standard deviations of the level,
        // away from anything that does not.
        const cv::Mat distance = distanceFromPaper(image, model.level);
        // For noise in three channels the median distance is about 1.54 sigma.
        model.noise = std::max(maskedMedian(distance, model.paper) / 1.54F, 0.3F);
        cv::compare(distance, std::max(3.5F * model.noise, 3.F), model.paper, cv::CMP_LT);
        cv::erode(model.paper, model.paper, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));
    }
    return model;
}
