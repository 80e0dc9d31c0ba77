// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReferenceFit.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

constexpr float sampleStep = 0.5F;
constexpr int acrossSamples = 3; // on either side, one pixel apart
// An edge must rise at least this much per pixel (contrast 1 over about 4 px).
constexpr float weakestEdge = 0.04F;
// Of several rises along one line, the outermost at least this share of the
// steepest is the edge.
constexpr float outerRiseShare = 0.15F;
// ... and it must raise the level by this share of the whole change along
// the line.
constexpr float outerStepShare = 0.1F;
// A fit keeps only points within this many robust deviations (or this many
// pixels, whichever is more).
constexpr float keptDeviations = 3.0F;
constexpr float keptPixels = 0.35F;
// A fitted shape needs this share of its lines to have given a kept edge, and
// a relative RMS no larger than this.
constexpr double leastKeptShare = 0.6;
constexpr double loosestScore = 0.02;
// ... or, for a small shape, an RMS no larger than this many pixels.
constexpr double loosestPixels = 0.8;
// The step model: lines sampled round the outline, how far (pixels) beyond
// the steepest rise's half height a line is fitted, how much smaller the
// misfit of two steps must be than that of one, the share of the whole
// change each step must make, how many blurs apart the two must lie, and the
// share of the sampled lines that must show the rim.
constexpr std::size_t sampledLines = 32;
constexpr double stepWindow = 4;
constexpr double clearlyBetter = 0.5;
constexpr double rimShare = 0.15;
constexpr double apartBlurs = 1.5;
// ... and at least this many pixels: sampled between pixels, even a sharp
// edge bends at pixel centres up to a pixel's diagonal apart.
constexpr double leastApart = 1.5;
constexpr double rimLines = 0.5;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The levels along a line from outside (inward: a unit vector), one every
// sampleStep, when the line lies wholly on the patch. Each level is the mean
// of a short run of samples across the line: noise averages out, and the
// edge is not widened as smoothing would.
std::optional<std::vector<float>> levelsAlong(const ContrastPatch& patch, cv::Point2f outside, cv::Point2f inward,
                                              float length)
{
    const int count = int(length / sampleStep) + 1;
    if (count < 5)
        return std::nullopt;
    const cv::Point2f across(-inward.y, inward.x);
    std::vector<float> level(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        float sum = 0;
        for (int j = -acrossSamples; j <= acrossSamples; ++j)
            sum += patch.at(outside + inward * (float(k) * sampleStep) + across * float(j));
        level[std::size_t(k)] = sum / float(2 * acrossSamples + 1);
        if (std::isnan(level[std::size_t(k)]))
            return std::nullopt;
    }
    return level;
}

// Where the contrast rises fastest along a line, and how wide that rise is
// at half its height (both in pixels from the line's outer end).
struct Rise {
    float at = 0, width = 0;
};

std::optional<Rise> steepestRise(const std::vector<float>& levels)
{
    const int count = int(levels.size());
    // A light [1 2 1] smoothing along the line, a fraction of a pixel.
    std::vector<float> level = levels;
    for (int k = 1; k + 1 < count; ++k)
        level[std::size_t(k)] = 0.25F * levels[std::size_t(k - 1)] + 0.5F * levels[std::size_t(k)]
                                + 0.25F * levels[std::size_t(k + 1)];
    std::vector<float> rise(static_cast<std::size_t>(count), 0.F);
    float steepest = 0;
    for (int k = 1; k + 1 < count; ++k) {
        rise[std::size_t(k)] = (level[std::size_t(k + 1)] - level[std::size_t(k - 1)]) / (2 * sampleStep);
        steepest = std::max(steepest, rise[std::size_t(k)]);
    }
    if (steepest < weakestEdge)
        return std::nullopt;
    // The steepest rise, or a rise outside it that stands apart from it (the
    // rise between them falls below half its own) and lifts the level for
    // good: the shape's own edge before a lighter rim. Noise on the paper or
    // on the flank of one blurred edge does neither.
    const auto meanLevel = [&](int from, int to) {
        from = std::clamp(from, 0, count - 1);
        to = std::clamp(to, from, count - 1);
        float sum = 0;
        for (int k = from; k <= to; ++k)
            sum += level[std::size_t(k)];
        return sum / float(to - from + 1);
    };
    const auto [lowest, highest] = std::minmax_element(level.begin(), level.end());
    const float span = *highest - *lowest;
    const int settle = int(2 / sampleStep); // samples on either side of a rise to its levels
    int peak = int(std::max_element(rise.begin(), rise.end()) - rise.begin());
    float valley = rise[std::size_t(peak)];
    for (int k = peak - 1; k >= 1; --k) {
        const float here = rise[std::size_t(k)];
        valley = std::min(valley, here);
        if (here >= outerRiseShare * steepest && here >= rise[std::size_t(k - 1)] && here >= rise[std::size_t(k + 1)]
            && valley <= 0.5F * here
            && meanLevel(k + settle, k + 2 * settle) - meanLevel(k - 2 * settle, k - settle) >= outerStepShare * span) {
            peak = k;
            valley = here;
        }
    }
    // The middle of the peak: the centroid of its part above half its height.
    const float half = 0.5F * rise[std::size_t(peak)];
    double weight = 0, moment = 0;
    int first = peak, last = peak;
    for (; first >= 1 && rise[std::size_t(first)] >= half; --first) {
        weight += rise[std::size_t(first)] - half;
        moment += (rise[std::size_t(first)] - half) * first;
    }
    for (; last + 1 < count && rise[std::size_t(last + 1)] >= half; ++last) {
        weight += rise[std::size_t(last + 1)] - half;
        moment += (rise[std::size_t(last + 1)] - half) * (last + 1);
    }
    // A peak cut by either end of the line is no edge to trust.
    if (!(weight > 0) || first < 1 || last + 2 >= count)
        return std::nullopt;
    return Rise{float(moment / weight) * sampleStep, float(last - first) * sampleStep};
}

// One line across the outline: its levels, and its steepest rise.
struct Crossing {
    std::vector<float> levels;
    Rise rise;
};

std::optional<Crossing> crossingAlong(const ContrastPatch& patch, cv::Point2f outside, cv::Point2f inward, float length)
{
    auto levels = levelsAlong(patch, outside, inward, length);
    if (!levels)
        return std::nullopt;
    const auto rise = steepestRise(*levels);
    if (!rise)
        return std::nullopt;
    return Crossing{std::move(*levels), *rise};
}

// A profile along a line as blurred steps: from base, each step raises the
// level by rise[j] at at[j] (pixels from the line's outer end) as a Gaussian
// of width blur integrates, the same blur for both.
struct Steps {
    int count = 1;
    double base = 0, blur = 1;
    std::array<double, 2> rise{}, at{};
    double misfit = 0; // the sum of squared differences from the levels
};

// The standard normal distribution at z: its cumulative share and its
// density (the cumulative share to within 1e-7, by Abramowitz and Stegun's
// 26.2.17, cheaper than erfc).
struct Normal {
    double cumulative, density;
};

Normal normalAt(double z)
{
    const double density = std::exp(-0.5 * z * z) * (0.5 * std::numbers::sqrt2 * std::numbers::inv_sqrtpi);
    const double t = 1 / (1 + 0.2316419 * std::abs(z));
    const double tail = density * t
                        * (0.319381530 + t * (-0.356563782 + t * (1.781477937 + t * (-1.821255978 + t * 1.330274429))));
    return {z < 0 ? tail : 1 - tail, density};
}

double cumulative(double z) { return normalAt(z).cumulative; }

constexpr int mostUnknowns = 6; // base, blur, then each step's rise and place

struct Normals {
    cv::Matx<double, mostUnknowns, mostUnknowns> matrix = cv::Matx<double, mostUnknowns, mostUnknowns>::zeros();
    cv::Vec<double, mostUnknowns> gradient = cv::Vec<double, mostUnknowns>::all(0);
};

// The misfit of steps to levels from..to, and the normal equations of a
// Gauss-Newton step from there. A one-step model leaves the second step's
// rows as the identity, so the same solve serves both.
double misfitOf(const std::vector<float>& levels, int from, int to, const Steps& steps, Normals& normals)
{
    normals = Normals{};
    double sum = 0;
    std::array<double, mostUnknowns> slope{};
    const int unknowns = 2 + 2 * steps.count;
    for (int k = from; k <= to; ++k) {
        const double t = k * double(sampleStep);
        double value = steps.base;
        slope[0] = 1;
        slope[1] = 0;
        for (int j = 0; j < steps.count; ++j) {
            const double z = (t - steps.at[std::size_t(j)]) / steps.blur;
            const Normal n = normalAt(z);
            const double d = n.density / steps.blur;
            value += steps.rise[std::size_t(j)] * n.cumulative;
            slope[1] -= steps.rise[std::size_t(j)] * d * z;
            slope[std::size_t(2 + 2 * j)] = n.cumulative;
            slope[std::size_t(3 + 2 * j)] = -steps.rise[std::size_t(j)] * d;
        }
        const double difference = levels[std::size_t(k)] - value;
        sum += difference * difference;
        for (int a = 0; a < unknowns; ++a) {
            normals.gradient[a] += slope[std::size_t(a)] * difference;
            for (int b = 0; b <= a; ++b)
                normals.matrix(a, b) += slope[std::size_t(a)] * slope[std::size_t(b)];
        }
    }
    for (int a = 0; a < mostUnknowns; ++a)
        for (int b = a + 1; b < mostUnknowns; ++b)
            normals.matrix(a, b) = normals.matrix(b, a);
    for (int a = unknowns; a < mostUnknowns; ++a)
        normals.matrix(a, a) = 1;
    return sum;
}

// Steps fitted to levels from..to by Levenberg-Marquardt, from start.
Steps fitSteps(const std::vector<float>& levels, int from, int to, Steps steps)
{
    constexpr int trials = 12;
    Normals normals, trialNormals;
    steps.misfit = misfitOf(levels, from, to, steps, normals);
    double damping = 1e-3;
    for (int trial = 0; trial < trials; ++trial) {
        auto damped = normals.matrix;
        for (int a = 0; a < mostUnknowns; ++a)
            damped(a, a) *= 1 + damping;
        // (All zero where the damped matrix is singular: the trial then fails.)
        const cv::Vec<double, mostUnknowns> delta = damped.solve(normals.gradient, cv::DECOMP_CHOLESKY);
        Steps next = steps;
        next.base += delta[0];
        next.blur = std::max(0.2, next.blur + delta[1]);
        for (int j = 0; j < steps.count; ++j) {
            next.rise[std::size_t(j)] += delta[2 + 2 * j];
            next.at[std::size_t(j)] += delta[3 + 2 * j];
        }
        next.misfit = misfitOf(levels, from, to, next, trialNormals);
        if (next.misfit < steps.misfit) {
            const bool settled = steps.misfit - next.misfit < 1e-6 * steps.misfit;
            steps = next;
            std::swap(normals, trialNormals);
            damping = std::max(damping * 0.3, 1e-7);
            if (settled)
                break;
        } else {
            damping *= 10;
        }
    }
    return steps;
}

// The edge along each line, in pixels from its outer end (none where the line
// shows no edge).
//
// Commonly where the contrast rises fastest. But a rim of another level just
// inside the outline adds a second step close to the edge, and under blur
// the two rises merge into one peak whose middle lies between them, inside
// the true edge. So a sample of the lines is fitted both as one blurred step
// and as two with a shared blur. When two fit clearly better on most of
// them, the outline has such a rim all round: every line is then fitted as
// two steps as far apart as the rim is wide, blurred as the sample found,
// and the edge is the outer step (a line without such a step, across a
// highlight say, keeps its steepest rise for the outline's fit to judge).
std::vector<std::optional<float>> edgesOf(const std::vector<std::optional<Crossing>>& crossings)
{
    std::vector<std::optional<float>> edges;
    edges.reserve(crossings.size());
    for (const auto& crossing : crossings)
        edges.push_back(crossing ? std::optional<float>(crossing->rise.at) : std::nullopt);

    std::vector<double> blurs, widths;
    int sampled = 0;
    const std::size_t stride = (crossings.size() + sampledLines - 1) / sampledLines;
    for (std::size_t i = 0; i < crossings.size(); i += stride) {
        if (!crossings[i])
            continue;
        ++sampled;
        const Crossing& crossing = *crossings[i];
        const int middle = int(std::lround(crossing.rise.at / sampleStep));
        const int around = int((stepWindow + crossing.rise.width) / sampleStep);
        const int from = std::max(0, middle - around);
        const int to = std::min(int(crossing.levels.size()) - 1, middle + around);
        Steps one;
        one.base = crossing.levels[std::size_t(from)];
        one.rise[0] = crossing.levels[std::size_t(to)] - one.base;
        one.at[0] = crossing.rise.at;
        one.blur = std::max(0.3, crossing.rise.width / 2.355);
        one = fitSteps(crossing.levels, from, to, one);
        Steps two;
        two.count = 2;
        two.base = one.base;
        two.blur = std::max(0.3, 0.6 * one.blur);
        two.rise = {one.rise[0] / 2, one.rise[0] / 2};
        two.at = {one.at[0] - 0.8 * one.blur, one.at[0] + 0.8 * one.blur};
        two = fitSteps(crossing.levels, from, to, two);
        if (two.at[0] > two.at[1]) {
            std::swap(two.at[0], two.at[1]);
            std::swap(two.rise[0], two.rise[1]);
        }
        const double whole = std::abs(two.rise[0]) + std::abs(two.rise[1]);
        if (two.misfit < clearlyBetter * one.misfit && two.rise[0] > 0 && two.rise[0] >= rimShare * whole
            && std::abs(two.rise[1]) >= rimShare * whole
            && two.at[1] - two.at[0] >= std::max(apartBlurs * two.blur, leastApart)
            && two.at[0] >= from * double(sampleStep) && two.at[1] <= to * double(sampleStep)) {
            blurs.push_back(two.blur);
            widths.push_back(two.at[1] - two.at[0]);
        }
    }
    if (sampled == 0 || double(blurs.size()) < rimLines * sampled)
        return edges;
    const double blur = median(blurs), width = median(widths);

    // The step's shape at every quarter pixel, and the rim's width in them.
    constexpr double quarter = sampleStep / 2;
    const int reach = int(std::ceil(4 * blur / quarter));
    std::vector<double> shape(std::size_t(2 * reach + 1));
    for (int m = -reach; m <= reach; ++m)
        shape[std::size_t(m + reach)] = cumulative(m * quarter / blur);
    const auto shapeAt = [&](int m) { return m < -reach ? 0.0 : m > reach ? 1.0 : shape[std::size_t(m + reach)]; };
    const int apart = int(std::lround(width / quarter));
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        if (!crossings[i])
            continue;
        const Crossing& crossing = *crossings[i];
        const int last = int(crossing.levels.size()) - 1;
        // The outer step lies between a rim's width outside the steepest
        // rise and just inside it.
        const int nearest = int(std::lround((crossing.rise.at - width - 1) / quarter));
        const int farthest = int(std::lround((crossing.rise.at + 1) / quarter));
        const int from = std::max(0, int((nearest * quarter - 3 * blur - 1) / sampleStep));
        const int to = std::min(last, int((farthest * quarter + width + 3 * blur + 1) / sampleStep) + 1);
        // The misfit with the outer step at p quarter pixels, the levels on
        // either side fitted; none where the outer step does not rise.
        const auto misfitAt = [&](int p) {
            double outer = 0, inner = 0, outerSquares = 0, both = 0, innerSquares = 0;
            double sum = 0, byOuter = 0, byInner = 0, squares = 0;
            for (int k = from; k <= to; ++k) {
                const double a = shapeAt(2 * k - p), b = shapeAt(2 * k - p - apart);
                const double y = crossing.levels[std::size_t(k)];
                outer += a;
                inner += b;
                outerSquares += a * a;
                both += a * b;
                innerSquares += b * b;
                sum += y;
                byOuter += y * a;
                byInner += y * b;
                squares += y * y;
            }
            const cv::Matx33d normal(double(to - from + 1), outer, inner, outer, outerSquares, both, inner, both,
                                     innerSquares);
            const cv::Vec3d right(sum, byOuter, byInner);
            const cv::Vec3d solved = normal.solve(right, cv::DECOMP_CHOLESKY); // zero if singular
            const double whole = std::abs(solved[1]) + std::abs(solved[2]);
            return solved[1] > 0 && solved[1] >= rimShare * whole ? squares - solved.dot(right)
                                                                  : std::numeric_limits<double>::infinity();
        };
        // Whole pixels first, then quarters round the best of them.
        int coarse = nearest;
        double lowest = std::numeric_limits<double>::infinity();
        for (int p = nearest; p <= farthest; p += 4)
            if (const double misfit = misfitAt(p); misfit < lowest) {
                lowest = misfit;
                coarse = p;
            }
        if (!std::isfinite(lowest))
            continue;
        // Quarters from coarse - 3 to coarse + 3; the outermost two only as
        // a neighbour of the best.
        std::array<double, 7> fine{};
        fine[3] = lowest;
        int best = 3;
        for (const int f : {1, 2, 4, 5})
            if ((fine[std::size_t(f)] = misfitAt(coarse + f - 3)) < fine[std::size_t(best)])
                best = f;
        if (best == 1)
            fine[0] = misfitAt(coarse - 3);
        if (best == 5)
            fine[6] = misfitAt(coarse + 3);
        // A parabola through the best and its neighbours for the last fraction.
        const double before = fine[std::size_t(best - 1)], here = fine[std::size_t(best)],
                     after = fine[std::size_t(best + 1)];
        const double curve = before - 2 * here + after;
        const double offset = std::isfinite(curve) && curve > 0 ? std::clamp(0.5 * (before - after) / curve, -0.5, 0.5)
                                                                : 0.0;
        edges[i] = float((coarse + best - 3 + offset) * quarter);
    }
    return edges;
}

// Which residuals a robust fit keeps.
std::vector<bool> keptResiduals(const std::vector<double>& residuals)
{
    std::vector<double> sizes;
    sizes.reserve(residuals.size());
    for (const double r : residuals)
        sizes.push_back(std::abs(r));
    const double limit = std::max(double(keptDeviations) * 1.4826 * median(sizes), double(keptPixels));
    std::vector<bool> kept;
    kept.reserve(residuals.size());
    for (const double r : residuals)
        kept.push_back(std::abs(r) <= limit);
    return kept;
}

struct Circle {
    double x = 0, y = 0, radius = 0;
};

// Least-squares circle through points: the algebraic fit, then a few
// Gauss-Newton steps on the distances themselves.
std::optional<Circle> fitCircle(const std::vector<cv::Point2d>& points, Circle start)
{
    if (points.size() < 8)
        return std::nullopt;
    cv::Mat a(int(points.size()), 3, CV_64F), b(int(points.size()), 1, CV_64F);
    for (int i = 0; i < int(points.size()); ++i) {
        const double x = points[std::size_t(i)].x - start.x, y = points[std::size_t(i)].y - start.y;
        a.at<double>(i, 0) = x;
        a.at<double>(i, 1) = y;
        a.at<double>(i, 2) = 1;
        b.at<double>(i, 0) = -(x * x + y * y);
    }
    cv::Mat solved;
    if (!cv::solve(a, b, solved, cv::DECOMP_SVD))
        return std::nullopt;
    Circle circle;
    const double cx = -solved.at<double>(0) / 2, cy = -solved.at<double>(1) / 2;
    const double squared = cx * cx + cy * cy - solved.at<double>(2);
    if (!(squared > 0))
        return std::nullopt;
    circle = {start.x + cx, start.y + cy, std::sqrt(squared)};
    for (int step = 0; step < 5; ++step) {
        cv::Mat jacobian(int(points.size()), 3, CV_64F), residual(int(points.size()), 1, CV_64F);
        for (int i = 0; i < int(points.size()); ++i) {
            const double dx = points[std::size_t(i)].x - circle.x, dy = points[std::size_t(i)].y - circle.y;
            const double distance = std::max(std::hypot(dx, dy), 1e-9);
            jacobian.at<double>(i, 0) = -dx / distance;
            jacobian.at<double>(i, 1) = -dy / distance;
            jacobian.at<double>(i, 2) = -1;
            residual.at<double>(i, 0) = -(distance - circle.radius);
        }
        cv::Mat delta;
        if (!cv::solve(jacobian, residual, delta, cv::DECOMP_SVD))
            break;
        circle.x += delta.at<double>(0);
        circle.y += delta.at<double>(1);
        circle.radius += delta.at<double>(2);
    }
    if (!(circle.radius > 0))
        return std::nullopt;
    return circle;
}

std::vector<double> circleResiduals(const std::vector<cv::Point2d>& points, const Circle& circle)
{
    std::vector<double> residuals;
    residuals.reserve(points.size());
    for (const cv::Point2d& p : points)
        residuals.push_back(std::hypot(p.x - circle.x, p.y - circle.y) - circle.radius);
    return residuals;
}

template <typename Point>
std::vector<Point> keptOnly(const std::vector<Point>& points, const std::vector<bool>& kept)
{
    std::vector<Point> out;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (kept[i])
            out.push_back(points[i]);
    return out;
}

double rms(const std::vector<double>& values)
{
    double sum = 0;
    for (const double v : values)
        sum += v * v;
    return values.empty() ? 0 : std::sqrt(sum / double(values.size()));
}

struct Line {
    cv::Point2d point, direction; // direction: unit
};

std::optional<Line> fitLine(const std::vector<cv::Point2d>& points)
{
    if (points.size() < 4)
        return std::nullopt;
    std::vector<cv::Point2f> asFloat(points.begin(), points.end());
    cv::Vec4f line;
    cv::fitLine(asFloat, line, cv::DIST_L2, 0, 0.01, 0.01);
    // fitLine works in float; the point is taken back to double and moved
    // to the points' mean for a better conditioned intersection.
    cv::Point2d mean(0, 0);
    for (const cv::Point2d& p : points)
        mean += p;
    mean *= 1.0 / double(points.size());
    return Line{mean, cv::Point2d(line[0], line[1])};
}

std::vector<double> lineResiduals(const std::vector<cv::Point2d>& points, const Line& line)
{
    std::vector<double> residuals;
    residuals.reserve(points.size());
    for (const cv::Point2d& p : points) {
        const cv::Point2d d = p - line.point;
        residuals.push_back(d.x * line.direction.y - d.y * line.direction.x);
    }
    return residuals;
}

std::optional<cv::Point2d> crossing(const Line& a, const Line& b)
{
    const double determinant = a.direction.x * b.direction.y - a.direction.y * b.direction.x;
    if (std::abs(determinant) < 1e-6)
        return std::nullopt;
    const cv::Point2d d = b.point - a.point;
    const double t = (d.x * b.direction.y - d.y * b.direction.x) / determinant;
    return a.point + a.direction * t;
}

double norm(cv::Point2d v) { return std::hypot(v.x, v.y); }

} // namespace

float ContrastPatch::at(cv::Point2f point) const
{
    const float x = point.x - float(origin.x), y = point.y - float(origin.y);
    if (!(x >= 0 && y >= 0 && x <= float(values.cols - 1) && y <= float(values.rows - 1)))
        return std::numeric_limits<float>::quiet_NaN();
    const int x0 = std::min(int(x), values.cols - 2 < 0 ? 0 : values.cols - 2);
    const int y0 = std::min(int(y), values.rows - 2 < 0 ? 0 : values.rows - 2);
    const int x1 = std::min(x0 + 1, values.cols - 1), y1 = std::min(y0 + 1, values.rows - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    const float top = values.at<float>(y0, x0) * (1 - fx) + values.at<float>(y0, x1) * fx;
    const float bottom = values.at<float>(y1, x0) * (1 - fx) + values.at<float>(y1, x1) * fx;
    return top * (1 - fy) + bottom * fy;
}

bool roughlyDisc(const std::vector<cv::Point2f>& rough)
{
    if (rough.size() < 12)
        return false;
    const cv::RotatedRect ellipse = cv::fitEllipse(rough);
    const double longAxis = std::max(ellipse.size.width, ellipse.size.height);
    const double shortAxis = std::min(ellipse.size.width, ellipse.size.height);
    if (!(shortAxis > 0) || longAxis / shortAxis > 1.15)
        return false;
    const double fill = cv::contourArea(rough) / (std::numbers::pi * longAxis * shortAxis / 4);
    return fill > 0.9 && fill < 1.1;
}

bool roughlySquare(const std::vector<cv::Point2f>& rough)
{
    if (rough.size() < 8)
        return false;
    const cv::RotatedRect box = cv::minAreaRect(rough);
    const double longSide = std::max(box.size.width, box.size.height);
    const double shortSide = std::min(box.size.width, box.size.height);
    if (!(shortSide > 0) || longSide / shortSide > 1.15)
        return false;
    return cv::contourArea(rough) / (longSide * shortSide) > 0.88;
}

ShapeFit fitDisc(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach)
{
    ShapeFit fit;
    const cv::Moments moments = cv::moments(rough);
    if (!(moments.m00 > 0))
        return fit;
    const Circle start{moments.m10 / moments.m00, moments.m01 / moments.m00, std::sqrt(moments.m00 / std::numbers::pi)};
    reach = std::min(reach, float(0.3 * start.radius));
    const int lines = std::clamp(int(2 * std::numbers::pi * start.radius), 48, 720);
    std::vector<cv::Point2f> outward, outside;
    std::vector<std::optional<Crossing>> crossings;
    for (int i = 0; i < lines; ++i) {
        const double angle = 2 * std::numbers::pi * i / lines;
        outward.emplace_back(float(std::cos(angle)), float(std::sin(angle)));
        outside.push_back(cv::Point2f(float(start.x), float(start.y)) + outward.back() * (float(start.radius) + reach));
        crossings.push_back(crossingAlong(patch, outside.back(), -outward.back(), 2 * reach));
    }
    const std::vector<std::optional<float>> along = edgesOf(crossings);
    std::vector<cv::Point2d> edges;
    for (std::size_t i = 0; i < along.size(); ++i)
        if (along[i])
            edges.emplace_back(cv::Point2d(outside[i] - outward[i] * *along[i]));
    auto circle = fitCircle(edges, start);
    std::vector<cv::Point2d> kept = edges;
    for (int round = 0; round < 2 && circle; ++round) {
        kept = keptOnly(edges, keptResiduals(circleResiduals(edges, *circle)));
        circle = fitCircle(kept, *circle);
    }
    if (!circle)
        return fit;
    fit.score = rms(circleResiduals(kept, *circle)) / circle->radius;
    // Each level averages samples across its line, and those to either side
    // of a line across a circle lie farther from its middle (by j^2 / 2r, j
    // pixels aside): every edge came out that much inside.
    double acrossSquares = 0;
    for (int j = -acrossSamples; j <= acrossSamples; ++j)
        acrossSquares += double(j * j) / (2 * acrossSamples + 1);
    circle->radius += acrossSquares / (2 * circle->radius);
    fit.fitted = double(kept.size()) >= leastKeptShare * lines
                 && fit.score <= std::max(loosestScore, loosestPixels / circle->radius);
    fit.pixelArea = std::numbers::pi * circle->radius * circle->radius;
    const int corners = 180;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * std::numbers::pi * i / corners;
        fit.outline.emplace_back(float(circle->x + circle->radius * std::cos(angle)),
                                 float(circle->y + circle->radius * std::sin(angle)));
    }
    return fit;
}

ShapeFit fitSquare(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach)
{
    ShapeFit fit;
    const cv::RotatedRect box = cv::minAreaRect(rough);
    std::array<cv::Point2f, 4> corners;
    box.points(corners.data());
    const double side = std::min(box.size.width, box.size.height);
    reach = std::min(reach, float(0.25 * side));
    std::array<Line, 4> sides;
    std::vector<double> allResiduals;
    std::size_t attempted = 0, keptCount = 0;
    // The lines across all four sides first: a rim runs round all of them.
    std::array<std::size_t, 5> firstOf{};
    std::vector<cv::Point2f> inwards, outside;
    std::vector<std::optional<Crossing>> crossings;
    for (int s = 0; s < 4; ++s) {
        const cv::Point2f from = corners[std::size_t(s)], to = corners[std::size_t((s + 1) % 4)];
        const double length = norm(cv::Point2d(to - from));
        if (length < 4)
            return fit;
        const cv::Point2f along = (to - from) * float(1 / length);
        cv::Point2f inward(-along.y, along.x);
        if ((box.center - from).dot(inward) < 0)
            inward = -inward;
        const int samples = std::max(6, int(0.7 * length));
        for (int i = 0; i < samples; ++i) {
            const float at = float(length) * (0.15F + 0.7F * (float(i) + 0.5F) / float(samples));
            inwards.push_back(inward);
            outside.push_back(from + along * at - inward * reach);
            crossings.push_back(crossingAlong(patch, outside.back(), inward, 2 * reach));
        }
        firstOf[std::size_t(s + 1)] = crossings.size();
    }
    const std::vector<std::optional<float>> found = edgesOf(crossings);
    for (int s = 0; s < 4; ++s) {
        std::vector<cv::Point2d> edges;
        for (std::size_t i = firstOf[std::size_t(s)]; i < firstOf[std::size_t(s + 1)]; ++i)
            if (found[i])
                edges.emplace_back(cv::Point2d(outside[i] + inwards[i] * *found[i]));
        attempted += firstOf[std::size_t(s + 1)] - firstOf[std::size_t(s)];
        auto line = fitLine(edges);
        std::vector<cv::Point2d> kept = edges;
        for (int round = 0; round < 2 && line; ++round) {
            kept = keptOnly(edges, keptResiduals(lineResiduals(edges, *line)));
            line = fitLine(kept);
        }
        if (!line)
            return fit;
        sides[std::size_t(s)] = *line;
        const std::vector<double> residuals = lineResiduals(kept, *line);
        allResiduals.insert(allResiduals.end(), residuals.begin(), residuals.end());
        keptCount += kept.size();
    }
    std::array<cv::Point2d, 4> fitted;
    for (int s = 0; s < 4; ++s) {
        const auto corner = crossing(sides[std::size_t((s + 3) % 4)], sides[std::size_t(s)]);
        if (!corner)
            return fit;
        fitted[std::size_t(s)] = *corner;
    }
    double area = 0, shortest = std::numeric_limits<double>::max(), longest = 0, worstAngle = 0;
    for (int s = 0; s < 4; ++s) {
        const cv::Point2d a = fitted[std::size_t(s)], b = fitted[std::size_t((s + 1) % 4)],
                          c = fitted[std::size_t((s + 2) % 4)];
        area += a.x * b.y - b.x * a.y;
        shortest = std::min(shortest, norm(b - a));
        longest = std::max(longest, norm(b - a));
        const double cosine = (a - b).dot(c - b) / std::max(norm(a - b) * norm(c - b), 1e-9);
        worstAngle = std::max(worstAngle, std::abs(cosine));
    }
    fit.pixelArea = std::abs(area) / 2;
    fit.score = rms(allResiduals) / std::sqrt(std::max(fit.pixelArea, 1.0));
    const bool square = longest / shortest <= 1.1 && worstAngle <= std::sin(5 * std::numbers::pi / 180);
    fit.fitted = square && double(keptCount) >= leastKeptShare * double(attempted)
                 && fit.score <= std::max(loosestScore, loosestPixels / std::sqrt(std::max(fit.pixelArea, 1.0)));
    for (const cv::Point2d& corner : fitted)
        fit.outline.emplace_back(float(corner.x), float(corner.y));
    return fit;
}
