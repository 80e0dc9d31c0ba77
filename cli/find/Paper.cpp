// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/Paper.h"

#include "cli/find/Median.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

float medianWhere(const cv::Mat& values, const cv::Mat& mask)
{
    // Every fourth pixel of every fourth row is plenty for a median of so many.
    std::vector<float> kept;
    kept.reserve(values.total() / 16);
    for (int y = 0; y < values.rows; y += 4) {
        const auto* value = values.ptr<float>(y);
        const auto* keep = mask.ptr<std::uint8_t>(y);
        for (int x = y / 4 % 4; x < values.cols; x += 4)
            if (keep[x])
                kept.push_back(value[x]);
    }
    return median(std::move(kept));
}

namespace {

constexpr int fits = 3;
constexpr int cellsAlongLongSide = 80;
// A cell whose paper covers less than this share gives no mean of its own.
constexpr float leastPaperShare = 0.25F;
// An edge: grey changing by this many times the picture's typical change per
// pixel, and by at least this many levels per pixel. A soft shadow or the
// light falling off changes far more slowly.
constexpr float edgeTimesTypical = 6;
constexpr float edgeLevels = 2;
// While the surface is still being fitted, it is weighed against every other
// pixel of every other row; only the last fit is taken at every pixel.
constexpr int fittingStep = 2;

float scaled(float position, int length) { return length > 1 ? 2 * position / float(length - 1) - 1 : 0; }

// A quadratic in u and v (both scaled into -1 .. 1 over the picture's pixel
// centres) per channel: terms 1, u, v, u^2, uv, v^2.
using Quadratic = cv::Matx<float, 6, 3>;

// Least-squares quadratic through the paper's pixels (every fourth one of
// every fourth row: six terms need no more).
Quadratic fitQuadratic(const cv::Mat& image, const cv::Mat& paper)
{
    cv::Matx<double, 6, 6> normal = cv::Matx<double, 6, 6>::zeros();
    cv::Matx<double, 6, 3> target = cv::Matx<double, 6, 3>::zeros();
    int count = 0;
    for (int y = 0; y < image.rows; y += 2 * fittingStep) {
        const auto* pixel = image.ptr<cv::Vec3f>(y);
        const auto* keep = paper.ptr<std::uint8_t>(y);
        const double v = scaled(float(y), image.rows);
        for (int x = 0; x < image.cols; x += 2 * fittingStep) {
            if (!keep[x])
                continue;
            const double u = scaled(float(x), image.cols);
            const std::array<double, 6> terms{1, u, v, u * u, u * v, v * v};
            for (int i = 0; i < 6; ++i) {
                for (int j = i; j < 6; ++j)
                    normal(i, j) += terms[std::size_t(i)] * terms[std::size_t(j)];
                for (int c = 0; c < 3; ++c)
                    target(i, c) += terms[std::size_t(i)] * pixel[x][c];
            }
            ++count;
        }
    }
    Quadratic coefficients = Quadratic::zeros();
    if (count == 0) { // no paper seen: a white sheet
        for (int c = 0; c < 3; ++c)
            coefficients(0, c) = 255;
        return coefficients;
    }
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < i; ++j)
            normal(i, j) = normal(j, i);
    cv::Mat solved;
    cv::solve(cv::Mat(normal), cv::Mat(target), solved, cv::DECOMP_SVD);
    for (int i = 0; i < 6; ++i)
        for (int c = 0; c < 3; ++c)
            coefficients(i, c) = float(solved.at<double>(i, c));
    return coefficients;
}

// The cell of each pixel along one side, and the pixels sampled per cell.
struct Cells {
    std::vector<int> of;
    std::vector<int> sampled;
};

Cells cellsAlong(int pixels, int cells)
{
    Cells along{std::vector<int>(std::size_t(pixels)), std::vector<int>(std::size_t(cells), 0)};
    for (int i = 0; i < pixels; ++i) {
        along.of[std::size_t(i)] = int(std::int64_t(i) * cells / pixels);
        if (i % fittingStep == 0)
            ++along.sampled[std::size_t(along.of[std::size_t(i)])];
    }
    return along;
}

// Where a pixel falls between two neighbouring cell centres (bilinear, as a
// grid stretched over the picture).
struct Tap {
    int first = 0, second = 0;
    float weight = 0; // of second
};

std::vector<Tap> tapsAlong(int pixels, int cells)
{
    std::vector<Tap> taps(static_cast<std::size_t>(pixels));
    for (int i = 0; i < pixels; ++i) {
        const float at = (float(i) + 0.5F) * float(cells) / float(pixels) - 0.5F;
        Tap& tap = taps[std::size_t(i)];
        tap.first = std::clamp(int(std::floor(at)), 0, cells - 1);
        tap.second = std::min(tap.first + 1, cells - 1);
        tap.weight = std::clamp(at - float(tap.first), 0.F, 1.F);
    }
    return taps;
}

// The paper's level: the quadratic plus a correction grid stretched over the
// picture.
class LevelSurface {
public:
    LevelSurface(const Quadratic& quadratic, cv::Mat correction, cv::Size size)
        : quadratic(quadratic), correction(std::move(correction)), size(size),
          columns(tapsAlong(size.width, this->correction.cols)), rows(tapsAlong(size.height, this->correction.rows)),
          blended(static_cast<std::size_t>(this->correction.cols)), u(static_cast<std::size_t>(size.width))
    {
        for (int x = 0; x < size.width; ++x)
            u[std::size_t(x)] = scaled(float(x), size.width);
    }

    // Row y of the surface, every step-th pixel from the first, into out
    // (indexed by x / step).
    void row(int y, int step, cv::Vec3f* out)
    {
        const Tap& tap = rows[std::size_t(y)];
        const auto* upper = correction.ptr<cv::Vec3f>(tap.first);
        const auto* lower = correction.ptr<cv::Vec3f>(tap.second);
        for (std::size_t c = 0; c < blended.size(); ++c)
            blended[c] = upper[c] + (lower[c] - upper[c]) * tap.weight;
        const float v = scaled(float(y), size.height);
        cv::Vec3f a, b, c;
        for (int ch = 0; ch < 3; ++ch) {
            a[ch] = quadratic(0, ch) + quadratic(2, ch) * v + quadratic(5, ch) * v * v;
            b[ch] = quadratic(1, ch) + quadratic(4, ch) * v;
            c[ch] = quadratic(3, ch);
        }
        for (int x = 0, i = 0; x < size.width; x += step, ++i) {
            const float ux = u[std::size_t(x)];
            const Tap& across = columns[std::size_t(x)];
            const cv::Vec3f& left = blended[std::size_t(across.first)];
            out[i] = a + (b + c * ux) * ux + left + (blended[std::size_t(across.second)] - left) * across.weight;
        }
    }

private:
    Quadratic quadratic;
    cv::Mat correction; // CV_32FC3, one value per cell
    cv::Size size;
    std::vector<Tap> columns, rows;
    std::vector<cv::Vec3f> blended;
    std::vector<float> u; // of each column
};

// The quadratic's leftovers on the paper, as cell means, spread over the cells
// nearby that saw too little paper (and fading to nothing far from any).
cv::Mat correctionGrid(const cv::Mat& image, const cv::Mat& paper, const Quadratic& quadratic, cv::Size grid)
{
    const Cells across = cellsAlong(image.cols, grid.width), down = cellsAlong(image.rows, grid.height);
    cv::Mat sums(grid, CV_32FC3, cv::Scalar::all(0));
    cv::Mat counts(grid, CV_32F, cv::Scalar(0));
    LevelSurface plain(quadratic, cv::Mat(1, 1, CV_32FC3, cv::Scalar::all(0)), image.size());
    std::vector<cv::Vec3f> level(static_cast<std::size_t>(image.cols / fittingStep + 1));
    for (int y = 0; y < image.rows; y += fittingStep) {
        plain.row(y, fittingStep, level.data());
        const auto* pixel = image.ptr<cv::Vec3f>(y);
        const auto* keep = paper.ptr<std::uint8_t>(y);
        auto* sum = sums.ptr<cv::Vec3f>(down.of[std::size_t(y)]);
        auto* count = counts.ptr<float>(down.of[std::size_t(y)]);
        for (int x = 0, i = 0; x < image.cols; x += fittingStep, ++i)
            if (keep[x]) {
                const int cell = across.of[std::size_t(x)];
                sum[cell] += pixel[x] - level[std::size_t(i)];
                count[cell] += 1;
            }
    }
    cv::Mat means(grid, CV_32FC3), weights(grid, CV_32F);
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) {
            const float sampled = float(down.sampled[std::size_t(y)] * across.sampled[std::size_t(x)]);
            const float share = sampled > 0 ? counts.at<float>(y, x) / sampled : 0;
            const bool enough = share >= leastPaperShare;
            weights.at<float>(y, x) = enough ? share : 0;
            means.at<cv::Vec3f>(y, x) = enough ? sums.at<cv::Vec3f>(y, x) / sampled : cv::Vec3f();
        }
    cv::Mat spreadMeans, spreadWeights;
    cv::GaussianBlur(means, spreadMeans, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
    cv::GaussianBlur(weights, spreadWeights, cv::Size(0, 0), 1.5, 1.5, cv::BORDER_REFLECT);
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            spreadMeans.at<cv::Vec3f>(y, x) /= std::max(spreadWeights.at<float>(y, x), 0.25F);
    return spreadMeans;
}

// The stretches of a picture free of edges (labels, with their stats).
struct Stretches {
    cv::Mat labels, stats;
    int count = 0;

    int area(int label) const { return stats.at<int>(label, cv::CC_STAT_AREA); }
};

// Each stretch's mean colour.
std::vector<cv::Vec3d> meanColours(const cv::Mat& image, const Stretches& stretches)
{
    std::vector<cv::Vec3d> sums(std::size_t(stretches.count), cv::Vec3d());
    for (int y = 0; y < image.rows; ++y) {
        const auto* pixel = image.ptr<cv::Vec3f>(y);
        const int* label = stretches.labels.ptr<int>(y);
        for (int x = 0; x < image.cols; ++x)
            sums[std::size_t(label[x])] += cv::Vec3d(pixel[x]);
    }
    for (int label = 0; label < stretches.count; ++label)
        sums[std::size_t(label)] /= std::max(1, stretches.area(label));
    return sums;
}

// Whether two stretches look alike: the same hue, and a brightness that
// light falling off or a shadow could give.
bool alike(const cv::Vec3d& one, const cv::Vec3d& other)
{
    double lowest = 1e9, highest = 0;
    for (int c = 0; c < 3; ++c) {
        const double ratio = (one[c] + 1) / (other[c] + 1);
        lowest = std::min(lowest, ratio);
        highest = std::max(highest, ratio);
    }
    return lowest >= 0.5 && highest <= 2 && highest / lowest <= 1.15;
}

// How much of each side of the picture each stretch takes, as the largest
// share of any one side.
std::vector<double> sideShares(const Stretches& stretches)
{
    const cv::Mat& labels = stretches.labels;
    std::vector<double> share(std::size_t(stretches.count), 0);
    const auto side = [&](int length, auto labelAt) {
        std::vector<int> run(std::size_t(stretches.count), 0);
        for (int i = 0; i < length; ++i)
            ++run[std::size_t(labelAt(i))];
        for (int label = 0; label < stretches.count; ++label)
            share[std::size_t(label)] = std::max(share[std::size_t(label)], double(run[std::size_t(label)]) / length);
    };
    side(labels.cols, [&](int i) { return labels.at<int>(0, i); });
    side(labels.cols, [&](int i) { return labels.at<int>(labels.rows - 1, i); });
    side(labels.rows, [&](int i) { return labels.at<int>(i, 0); });
    side(labels.rows, [&](int i) { return labels.at<int>(i, labels.cols - 1); });
    return share;
}

// The picture's stretches free of edges told apart: the paper, and what lies
// beyond the sheet (both CV_8U).
struct EdgeFree {
    cv::Mat paper, beyond;
};

// Where the picture is free of edges (CV_8U): away from any change of grey
// far steeper than the picture's typical one.
cv::Mat edgeFreeMask(const cv::Mat& image)
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
    return edges == 0;
}

// The paper as the picture's largest stretch free of edges, with any other
// large stretch reaching the picture's border that looks like it (the paper
// cut in two by a stalk); beyond the sheet, any that does not look like it
// but runs along a whole side of the picture (the table round a sheet):
// shapes are ringed by edges, while shadows and falling light are not. A
// shape reaching the border is neither.
EdgeFree edgeFreeStretches(const cv::Mat& image, PaperStretch paperStretch)
{
    Stretches stretches;
    cv::Mat centroids;
    stretches.count = cv::connectedComponentsWithStats(edgeFreeMask(image), stretches.labels, stretches.stats,
                                                       centroids, 4, CV_32S);
    const std::vector<double> sides = sideShares(stretches);
    const auto largestOf = [&](auto taken) {
        int best = 0;
        for (int label = 1; label < stretches.count; ++label)
            if (taken(label) && (best == 0 || stretches.area(label) > stretches.area(best)))
                best = label;
        return best;
    };
    int largest = largestOf([](int) { return true; });
    if (paperStretch == PaperStretch::LargestAround) {
        const int around = largestOf([&](int label) { return label != largest && sides[std::size_t(label)] > 0; });
        largest = around > 0 ? around : largest;
    }
    const std::vector<cv::Vec3d> colours = meanColours(image, stretches);
    enum Kind : std::uint8_t { Shape, Paper, Beyond };
    std::vector<Kind> kinds(std::size_t(std::max(stretches.count, 1)), Shape);
    for (int label = 1; label < stretches.count; ++label) {
        const bool large = stretches.area(label) >= 0.05 * double(image.total());
        const bool border = sides[std::size_t(label)] > 0;
        if (label == largest || (large && border && alike(colours[std::size_t(label)], colours[std::size_t(largest)])))
            kinds[std::size_t(label)] = Paper;
        else if (large && sides[std::size_t(label)] >= 0.9)
            kinds[std::size_t(label)] = Beyond;
    }
    EdgeFree stretchesOf{cv::Mat(image.size(), CV_8U), cv::Mat(image.size(), CV_8U)};
    for (int y = 0; y < image.rows; ++y) {
        const int* label = stretches.labels.ptr<int>(y);
        std::uint8_t* paper = stretchesOf.paper.ptr<std::uint8_t>(y);
        std::uint8_t* beyond = stretchesOf.beyond.ptr<std::uint8_t>(y);
        for (int x = 0; x < image.cols; ++x) {
            const Kind kind = kinds[std::size_t(label[x])];
            paper[x] = kind == Paper ? 255 : 0;
            beyond[x] = kind == Beyond ? 255 : 0;
        }
    }
    // The sheet's own edge, where no stretch reaches, goes with what lies
    // beyond it.
    cv::dilate(stretchesOf.beyond, stretchesOf.beyond, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(15, 15)));
    return stretchesOf;
}

// Each step-th pixel's distance from the surface, every step-th row, into
// model.distance (with step 1 also the level itself, into model.level).
// Returns the distances of the pixels taken as paper so far, every fourth one
// of every fourth row.
std::vector<float> weighAgainst(LevelSurface& surface, const cv::Mat& image, int step, PaperModel& model)
{
    std::vector<cv::Vec3f> level(static_cast<std::size_t>(image.cols / step + 1));
    std::vector<float> paperDistances;
    paperDistances.reserve(image.total() / 16);
    for (int y = 0; y < image.rows; y += step) {
        surface.row(y, step, level.data());
        const auto* pixel = image.ptr<cv::Vec3f>(y);
        const auto* keep = model.paper.ptr<std::uint8_t>(y);
        auto* distance = model.distance.ptr<float>(y);
        for (int x = 0, i = 0; x < image.cols; x += step, ++i) {
            const cv::Vec3f d = pixel[x] - level[std::size_t(i)];
            distance[x] = std::sqrt(d.dot(d));
            if (keep[x] && y % (2 * fittingStep) == 0 && x % (2 * fittingStep) == 0)
                paperDistances.push_back(distance[x]);
        }
        if (step == 1)
            std::copy(level.begin(), level.begin() + image.cols, model.level.ptr<cv::Vec3f>(y));
    }
    return paperDistances;
}

// One standard deviation of the paper's noise from its pixels' distances.
float noiseOf(std::vector<float> paperDistances)
{
    // For noise in three channels the median distance is about 1.54 sigma.
    return std::max(median(std::move(paperDistances)) / 1.54F, 0.3F);
}

// Paper is the edge-free stretch where it lies within a few standard
// deviations of the surface (each step-th pixel of every step-th row).
void markPaper(const cv::Mat& edgeFree, int step, PaperModel& model)
{
    const float limit = std::max(6 * model.noise, 20.F);
    for (int y = 0; y < edgeFree.rows; y += step) {
        const auto* free = edgeFree.ptr<std::uint8_t>(y);
        const auto* distance = model.distance.ptr<float>(y);
        auto* keep = model.paper.ptr<std::uint8_t>(y);
        for (int x = 0; x < edgeFree.cols; x += step)
            keep[x] = free[x] && distance[x] < limit ? 255 : 0;
    }
}

} // namespace

PaperModel fitPaper(const cv::Mat& image, PaperStretch paperStretch)
{
    CV_Assert(image.type() == CV_32FC3);
    PaperModel model;
    const EdgeFree stretches = edgeFreeStretches(image, paperStretch);
    const cv::Mat& edgeFree = stretches.paper;
    model.paper = edgeFree.clone();
    model.distance = cv::Mat(image.size(), CV_32F);
    model.level = cv::Mat(image.size(), CV_32FC3);
    const int longSide = std::max(image.cols, image.rows);
    const int cell = std::max(4, longSide / cellsAlongLongSide);
    const cv::Size grid(std::max(1, (image.cols + cell / 2) / cell), std::max(1, (image.rows + cell / 2) / cell));
    for (int fit = 0; fit < fits; ++fit) {
        const Quadratic quadratic = fitQuadratic(image, model.paper);
        LevelSurface surface(quadratic, correctionGrid(image, model.paper, quadratic, grid), image.size());
        const int step = fit + 1 < fits ? fittingStep : 1;
        model.noise = noiseOf(weighAgainst(surface, image, step, model));
        markPaper(edgeFree, step, model);
    }
    // Beyond the sheet nothing stands out, not even as a blur reaching onto it.
    model.distance.setTo(0, stretches.beyond);
    return model;
}
