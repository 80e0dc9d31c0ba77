// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/EdgeProfile.h"

#include "cli/find/Median.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

// Levels are read along a line every half pixel.
constexpr float sampleStep = 0.5F;
// A step blurred by one standard deviation rises fastest over this many
// pixels at half that rate.
constexpr double halfHeightWidthPerBlur = 2.355;
// An edge must rise at least this much per pixel (contrast 1 over about 4 px).
constexpr float weakestEdge = 0.04F;
// Of several rises along one line, the outermost at least this share of the
// steepest is the edge.
constexpr float outerRiseShare = 0.15F;
// ... and it must raise the level by this share of the whole change along
// the line.
constexpr float outerStepShare = 0.1F;
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

// The levels lightly smoothed along the line ([1 2 1], a fraction of a
// pixel), and how fast they rise at each sample (per pixel).
std::pair<std::vector<float>, std::vector<float>> smoothedRises(const std::vector<float>& levels)
{
    const int count = int(levels.size());
    std::vector<float> level = levels;
    for (int k = 1; k + 1 < count; ++k)
        level[std::size_t(k)] = 0.25F * levels[std::size_t(k - 1)] + 0.5F * levels[std::size_t(k)]
                                + 0.25F * levels[std::size_t(k + 1)];
    std::vector<float> rise(static_cast<std::size_t>(count), 0.F);
    for (int k = 1; k + 1 < count; ++k)
        rise[std::size_t(k)] = (level[std::size_t(k + 1)] - level[std::size_t(k - 1)]) / (2 * sampleStep);
    return {std::move(level), std::move(rise)};
}

// How wide (pixels) the rise through sample k is where it rises at least
// half as fast as at k.
float widthThrough(const std::vector<float>& rise, int k)
{
    const float half = 0.5F * rise[std::size_t(k)];
    int first = k, last = k;
    while (first >= 1 && rise[std::size_t(first - 1)] >= half)
        --first;
    while (last + 1 < int(rise.size()) && rise[std::size_t(last + 1)] >= half)
        ++last;
    return float(last - first + 1) * sampleStep;
}

std::optional<Rise> steepestRise(const std::vector<float>& levels)
{
    const int count = int(levels.size());
    if (count < 3)
        return std::nullopt;
    const auto [level, rise] = smoothedRises(levels);
    const float steepest = *std::max_element(rise.begin(), rise.end());
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

// Two steps shaped as a rim and the edge outside it, and whether they fit
// the line clearly better than one step.
struct RimSteps {
    Steps steps;
    bool clearlyBetter = false;
};

// The crossing's part around its steepest rise (reaching a further
// stepWindow inward with RimSearch::FurtherIn), fitted as one blurred step
// and as two with a shared blur: the two steps, when both matter (the outer
// one rising) and they lie apart.
std::optional<RimSteps> twoStepsOf(const Crossing& crossing, RimSearch search)
{
    const int middle = int(std::lround(crossing.rise.at / sampleStep));
    const int around = int((stepWindow + crossing.rise.width) / sampleStep);
    const int further = search == RimSearch::FurtherIn ? int(stepWindow / sampleStep) : 0;
    const int from = std::max(0, middle - around);
    const int to = std::min(int(crossing.levels.size()) - 1, middle + around + further);
    Steps one;
    one.base = crossing.levels[std::size_t(from)];
    one.rise[0] = crossing.levels[std::size_t(to)] - one.base;
    one.at[0] = crossing.rise.at;
    one.blur = std::max(0.3, crossing.rise.width / halfHeightWidthPerBlur);
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
    if (two.rise[0] > 0 && two.rise[0] >= rimShare * whole && std::abs(two.rise[1]) >= rimShare * whole
        && two.at[1] - two.at[0] >= std::max(apartBlurs * two.blur, leastApart)
        && two.at[0] >= from * double(sampleStep) && two.at[1] <= to * double(sampleStep))
        return RimSteps{two, two.misfit < clearlyBetter * one.misfit};
    return std::nullopt;
}

// A line's level at a place (in samples, between two of them linearly).
float levelAt(const Crossing& line, float place)
{
    const int whole = int(std::floor(place));
    const float part = place - float(whole);
    return line.levels[std::size_t(whole)] * (1 - part) + line.levels[std::size_t(whole + 1)] * part;
}

// The lines' levels averaged, each line shifted so that its anchor (in
// samples) falls on the same place, over the stretch every line covers: the
// mean's levels, and how many samples of it lie before the anchor.
std::optional<std::pair<std::vector<float>, int>> meanAt(const std::vector<const Crossing*>& lines,
                                                         const std::vector<float>& anchors)
{
    int before = std::numeric_limits<int>::max(), after = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        before = std::min(before, int(std::floor(anchors[i])));
        after = std::min(after, int(lines[i]->levels.size()) - 2 - int(std::floor(anchors[i])));
    }
    if (lines.empty() || before < 0 || after < 0)
        return std::nullopt;
    std::vector<float> levels(static_cast<std::size_t>(before + after + 1), 0.F);
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (int k = -before; k <= after; ++k)
            levels[std::size_t(k + before)] += levelAt(*lines[i], anchors[i] + float(k)) / float(lines.size());
    return std::pair{std::move(levels), before};
}

// The anchor near anchor (in samples, within a couple of pixels) at which
// line best matches the mean (whose anchor lies before samples in).
float bestAnchor(const Crossing& line, const std::vector<float>& mean, int before, float anchor)
{
    constexpr float farthestShift = 4, shiftStep = 0.25F; // samples
    float best = anchor;
    double lowest = std::numeric_limits<double>::infinity();
    for (float shift = -farthestShift; shift <= farthestShift; shift += shiftStep) {
        const float tried = anchor + shift;
        if (tried < float(before) || tried + float(int(mean.size()) - before) > float(line.levels.size() - 1))
            continue;
        double misfit = 0;
        for (std::size_t k = 0; k < mean.size(); ++k) {
            const float d = levelAt(line, tried + float(int(k) - before)) - mean[k];
            misfit += d * d;
        }
        if (misfit < lowest) {
            lowest = misfit;
            best = tried;
        }
    }
    return best;
}

// The lines' mean, each line shifted to match it best: noise averages out,
// while a rim, lying as far inside the edge all round, stays as sharp as on
// each line. The lines are first lined up by their steepest rises.
std::optional<Crossing> meanCrossing(const std::vector<const Crossing*>& lines)
{
    constexpr int rounds = 2;
    std::vector<float> anchors;
    for (const Crossing* line : lines)
        anchors.push_back(line->rise.at / sampleStep);
    auto mean = meanAt(lines, anchors);
    for (int round = 0; round < rounds && mean; ++round) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            anchors[i] = bestAnchor(*lines[i], mean->first, mean->second, anchors[i]);
        mean = meanAt(lines, anchors);
    }
    if (!mean)
        return std::nullopt;
    const auto rise = steepestRise(mean->first);
    if (!rise)
        return std::nullopt;
    return Crossing{std::move(mean->first), *rise};
}

// The rim, when most of a sample of the lines show one clearly (its blur and
// width the medians over those lines); or, where noise hides a narrow rim on
// single lines, when their mean shows one clearly.
std::optional<Rim> rimOf(const std::vector<std::optional<Crossing>>& crossings, RimSearch search)
{
    std::vector<double> blurs, widths;
    std::vector<const Crossing*> sampled;
    const std::size_t stride = (crossings.size() + sampledLines - 1) / sampledLines;
    for (std::size_t i = 0; i < crossings.size(); i += stride) {
        if (!crossings[i])
            continue;
        sampled.push_back(&*crossings[i]);
        if (const auto two = twoStepsOf(*crossings[i], search); two && two->clearlyBetter) {
            blurs.push_back(two->steps.blur);
            widths.push_back(two->steps.at[1] - two->steps.at[0]);
        }
    }
    if (!sampled.empty() && double(blurs.size()) >= rimLines * double(sampled.size()))
        return Rim{median(blurs), median(widths)};
    const auto mean = meanCrossing(sampled);
    const auto two = mean ? twoStepsOf(*mean, search) : std::nullopt;
    if (!two || !two->clearlyBetter)
        return std::nullopt;
    return Rim{two->steps.blur, two->steps.at[1] - two->steps.at[0]};
}

// Finds the outer of a rim's two steps along a crossing, a quarter pixel at
// a time: for each place of the outer step (the inner one a rim's width
// inside it, both blurred as the rim's), the levels on either side are
// fitted, and the place that fits best wins. Looked for wider (any search
// but RimSearch::AroundSteepest), the outer step is sought up to two blurs
// further out, for a line whose steepest rise lies a little further in than
// the rim's width says (the rim's inner edge under a highlight), and both
// steps must matter, so the rim's inner edge is not taken for the outer step
// with nothing inside it.
class OuterStepSearch {
public:
    static constexpr double quarter = sampleStep / 2;

    OuterStepSearch(const Rim& rim, RimSearch search)
        : rim(rim), reach(int(std::ceil(4 * rim.blur / quarter))), apart(int(std::lround(rim.width / quarter))),
          beyond(search == RimSearch::AroundSteepest ? 0 : 2 * rim.blur),
          bothSteps(search != RimSearch::AroundSteepest), shape(std::size_t(2 * reach + 1))
    {
        for (int m = -reach; m <= reach; ++m)
            shape[std::size_t(m + reach)] = cumulative(m * quarter / rim.blur);
    }

    // The outer step along crossing, in pixels from its outer end; none where
    // no place gives a rising outer step.
    std::optional<float> along(const Crossing& crossing)
    {
        this->crossing = &crossing;
        const int last = int(crossing.levels.size()) - 1;
        // The outer step lies between a rim's width outside the steepest
        // rise (on a wider look, two blurs more) and just inside it.
        const int nearest = int(std::lround((crossing.rise.at - rim.width - 1 - beyond) / quarter));
        const int farthest = int(std::lround((crossing.rise.at + 1) / quarter));
        from = std::max(0, int((nearest * quarter - 3 * rim.blur - 1) / sampleStep));
        to = std::min(last, int((farthest * quarter + rim.width + 3 * rim.blur + 1) / sampleStep) + 1);
        // Whole pixels first, then quarters round the best of them.
        int coarse = nearest;
        double lowest = std::numeric_limits<double>::infinity();
        for (int p = nearest; p <= farthest; p += 4)
            if (const double misfit = misfitAt(p); misfit < lowest) {
                lowest = misfit;
                coarse = p;
            }
        if (!std::isfinite(lowest))
            return std::nullopt;
        return float(finePlace(coarse, lowest) * quarter);
    }

private:
    // The step's shape m quarter pixels from its middle.
    double shapeAt(int m) const { return m < -reach ? 0.0 : m > reach ? 1.0 : shape[std::size_t(m + reach)]; }

    // The misfit with the outer step at p quarter pixels, the levels on
    // either side fitted; none where the outer step does not rise.
    double misfitAt(int p) const
    {
        double outer = 0, inner = 0, outerSquares = 0, both = 0, innerSquares = 0;
        double sum = 0, byOuter = 0, byInner = 0, squares = 0;
        for (int k = from; k <= to; ++k) {
            const double a = shapeAt(2 * k - p), b = shapeAt(2 * k - p - apart);
            const double y = crossing->levels[std::size_t(k)];
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
        const bool matters = solved[1] > 0 && solved[1] >= rimShare * whole
                             && (!bothSteps || std::abs(solved[2]) >= rimShare * whole);
        return matters ? squares - solved.dot(right) : std::numeric_limits<double>::infinity();
    }

    // The best place in quarters round coarse (whose misfit is lowest),
    // refined by a parabola through the best and its neighbours.
    double finePlace(int coarse, double lowest) const
    {
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
        const double before = fine[std::size_t(best - 1)], here = fine[std::size_t(best)],
                     after = fine[std::size_t(best + 1)];
        const double curve = before - 2 * here + after;
        const double offset = std::isfinite(curve) && curve > 0 ? std::clamp(0.5 * (before - after) / curve, -0.5, 0.5)
                                                                : 0.0;
        return coarse + best - 3 + offset;
    }

    Rim rim;
    int reach, apart;
    double beyond;             // pixels further out than a rim's width that the outer step is looked for
    bool bothSteps;            // whether the inner step must matter too
    std::vector<double> shape; // at every quarter pixel from -reach to reach
    const Crossing* crossing = nullptr;
    int from = 0, to = 0; // the levels fitted
};

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

std::optional<float> riseInside(const ContrastPatch& patch, cv::Point2f edge, cv::Point2f inward, float from, float to,
                                float over)
{
    const auto levels = levelsAlong(patch, edge + inward * from, inward, to - from + over);
    if (!levels)
        return std::nullopt;
    const auto apart = std::size_t(std::lround(over / sampleStep));
    float most = 0;
    for (std::size_t k = 0; k + apart < levels->size(); ++k)
        most = std::max(most, (*levels)[k + apart] - (*levels)[k]);
    return most;
}

std::optional<RiseWidths> riseWidths(const Crossing& crossing, float edge)
{
    const auto rises = smoothedRises(crossing.levels).second;
    const int k = int(std::lround(edge / sampleStep));
    if (k < 1 || k + 1 >= int(rises.size()) || !(rises[std::size_t(k)] > 0))
        return std::nullopt;
    const int sharpest = int(std::max_element(rises.begin(), rises.end()) - rises.begin());
    return RiseWidths{widthThrough(rises, k), widthThrough(rises, sharpest)};
}

double blurOf(const std::vector<std::optional<Crossing>>& crossings)
{
    std::vector<float> widths;
    for (const auto& crossing : crossings)
        if (crossing)
            widths.push_back(crossing->rise.width);
    return median(std::move(widths)) / halfHeightWidthPerBlur;
}

Edges edgesOf(const std::vector<std::optional<Crossing>>& crossings, RimSearch search)
{
    Edges edges;
    edges.along.reserve(crossings.size());
    for (const auto& crossing : crossings)
        edges.along.push_back(crossing ? std::optional<float>(crossing->rise.at) : std::nullopt);
    edges.rim = rimOf(crossings, search);
    if (!edges.rim)
        return edges;
    OuterStepSearch outerStep(*edges.rim, search);
    // A line without an outer step (across a highlight, say) keeps its
    // steepest rise for the outline's fit to judge.
    for (std::size_t i = 0; i < crossings.size(); ++i)
        if (crossings[i])
            if (const auto outer = outerStep.along(*crossings[i]))
                edges.along[i] = outer;
    return edges;
}
