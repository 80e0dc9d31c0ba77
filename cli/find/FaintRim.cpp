// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/FaintRim.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The rim is looked for from this many blurs (and a pixel more) past the
// fitted edge, where the edge's own blur has faded out, to this share of the
// radius beyond it (at least this many pixels), in rings this far apart.
constexpr double edgeBlurs = 3;
constexpr double reachShare = 0.3;
constexpr double leastReach = 12;
constexpr double ringStep = 0.5;
// The directions round the disc, judged each on its own: the step shows in
// all of them but one (where the patch does not reach, it does not show).
constexpr int sectors = 8;
// The rim must stand off the paper by this share of the coin's contrast at
// least: less is the paper's own unevenness.
constexpr double leastStep = 0.06;
// Beyond the step the paper is flat: it changes by no more than this share of
// the step (a shadow fading out goes on fading past its steepest fall).
constexpr double flatShare = 0.3;
// The step falls at least this share as steeply as a step blurred as the
// coin's edge is, and the rim before it falls (or rises: light falling off
// over the coin shows on it) at most this share as steeply as the step: a
// shadow fading out falls about as steeply all the way.
constexpr double sharpShare = 0.5;
constexpr double rimSlopeShare = 0.4;
// In a direction where it shows, the step is at least this share of the
// mean.
constexpr double sectorShare = 0.5;

// The blur taken for an edge: a sharp edge still spreads over a pixel.
double edgeSigma(double blur) { return std::max(blur, 0.7); }

// The mean contrast of each ring of each direction whose rings all lie
// within the patch.
using Profiles = std::vector<std::vector<double>>;

Profiles ringMeans(const ContrastPatch& patch, cv::Point2d centre, double from, int rings, double radius)
{
    // A sample every other pixel along the outline: plenty to average the
    // paper's noise out over a band of rings.
    const int perSector = std::max(8, int(std::ceil(std::numbers::pi * radius / sectors)));
    Profiles means(sectors, std::vector<double>(std::size_t(rings), 0));
    for (int s = 0; s < sectors; ++s) {
        std::vector<int> counts(std::size_t(rings), 0);
        for (int a = 0; a < perSector; ++a) {
            const double angle = 2 * std::numbers::pi * (s * perSector + a + 0.5) / (sectors * perSector);
            const cv::Point2d outward(std::cos(angle), std::sin(angle));
            for (int j = 0; j < rings; ++j) {
                const cv::Point2d at = centre + outward * (from + j * ringStep);
                const float value = patch.at(cv::Point2f(float(at.x), float(at.y)));
                if (std::isnan(value))
                    continue;
                means[std::size_t(s)][std::size_t(j)] += value;
                ++counts[std::size_t(j)];
            }
        }
        for (int j = 0; j < rings; ++j) {
            const int n = counts[std::size_t(j)];
            auto& mean = means[std::size_t(s)][std::size_t(j)];
            mean = n == perSector ? mean / n : std::nan("");
        }
    }
    std::erase_if(means, [](const std::vector<double>& rings) {
        return std::any_of(rings.begin(), rings.end(), [](double v) { return std::isnan(v); });
    });
    return means;
}

double meanOf(const std::vector<double>& values, int from, int to)
{
    double sum = 0;
    for (int j = from; j < to; ++j)
        sum += values[std::size_t(j)];
    return to > from ? sum / (to - from) : 0;
}

// How steeply (per pixel) a stretch of rings falls or rises, by the
// least-squares line through it.
double slopeAlong(const std::vector<double>& values, int from, int to)
{
    if (to - from < 2)
        return 0;
    const double middle = (from + to - 1) / 2.0, mean = meanOf(values, from, to);
    double slope = 0, spread = 0;
    for (int j = from; j < to; ++j) {
        slope += (j - middle) * (values[std::size_t(j)] - mean);
        spread += (j - middle) * (j - middle);
    }
    return slope / spread / ringStep;
}

// Where the rings step down: the bands either side of a step, and the gap
// the blur takes between them, in rings.
struct Bands {
    int gap, width;
};

double stepAt(const std::vector<double>& profile, int j, Bands bands)
{
    return meanOf(profile, j - bands.gap - bands.width, j - bands.gap)
           - meanOf(profile, j + bands.gap, j + bands.gap + bands.width);
}

// Where the rings fall through level about ring j (in rings, between two):
// the middle of the step.
double halfwayDown(const std::vector<double>& profile, int j, Bands bands, double level)
{
    for (int k = j - bands.gap; k < j + bands.gap; ++k) {
        const double here = profile[std::size_t(k)], next = profile[std::size_t(k + 1)];
        if (here >= level && next < level)
            return k + (here - level) / (here - next);
    }
    return j;
}

// How steeply (per pixel) the rings fall a pixel either side of ring at.
double slopeAt(const std::vector<double>& profile, double at)
{
    const int span = int(1 / ringStep);
    const int j = std::clamp(int(std::lround(at)), span, int(profile.size()) - 1 - span);
    return (profile[std::size_t(j - span)] - profile[std::size_t(j + span)]) / 2;
}

// How far from centre the patch reaches in every direction (pixels).
double reachedAllRound(const ContrastPatch& patch, cv::Point2d centre)
{
    const double left = centre.x - patch.origin.x, top = centre.y - patch.origin.y;
    const double right = patch.origin.x + patch.values.cols - 1 - centre.x;
    const double bottom = patch.origin.y + patch.values.rows - 1 - centre.y;
    return std::min({left, top, right, bottom}) - 1;
}

} // namespace

double faintRimReach(double radius, double blur)
{
    const double sigma = edgeSigma(blur);
    return edgeBlurs * sigma + 1 + std::max(leastReach, reachShare * radius) + 2 * std::max(2.0, 2 * sigma) + 2 * sigma;
}

std::optional<double> faintRimOutside(const ContrastPatch& patch, cv::Point2d centre, double radius, double blur)
{
    const double sigma = edgeSigma(blur);
    const double from = radius + edgeBlurs * sigma + 1;
    // As far as the patch reaches all round (a rectangle dragged close round
    // a large coin): a rim too wide for that stays unseen.
    const int rings = std::min(int((faintRimReach(radius, blur) - edgeBlurs * sigma - 1) / ringStep),
                               int((reachedAllRound(patch, centre) - from) / ringStep));
    const Bands bands{int(std::ceil(2 * sigma / ringStep)), int(std::ceil(std::max(2.0, 2 * sigma) / ringStep))};
    if (rings <= 2 * bands.gap + 3 * bands.width)
        return std::nullopt; // no room for a band of rim and two of paper
    const Profiles sectorMeans = ringMeans(patch, centre, from, rings, radius);
    const int unseen = sectors - int(sectorMeans.size());
    if (unseen > 1)
        return std::nullopt;
    std::vector<double> profile(std::size_t(rings), 0);
    for (const auto& rings : sectorMeans)
        for (std::size_t j = 0; j < rings.size(); ++j)
            profile[j] += rings[j] / double(sectorMeans.size());
    // The sharpest step down with a band of rim before it and of paper, and
    // more paper, after it.
    const int first = bands.gap + bands.width, last = rings - bands.gap - 2 * bands.width;
    int best = -1;
    for (int j = first; j < last; ++j)
        if (best < 0 || stepAt(profile, j, bands) > stepAt(profile, best, bands))
            best = j;
    if (best < 0)
        return std::nullopt;
    const double step = stepAt(profile, best, bands);
    if (step < leastStep)
        return std::nullopt;
    const double beyond = meanOf(profile, best + bands.gap, best + bands.gap + bands.width);
    const double further = meanOf(profile, best + bands.gap + bands.width, rings);
    const double crossing = halfwayDown(profile, best, bands, beyond + step / 2);
    const double stepSlope = slopeAt(profile, crossing);
    const double rimSlope = std::abs(slopeAlong(profile, 0, best - bands.gap));
    const double blurredSlope = step / (sigma * std::sqrt(2 * std::numbers::pi));
    if (std::abs(beyond - further) > flatShare * step || stepSlope < sharpShare * blurredSlope
        || rimSlope > rimSlopeShare * stepSlope)
        return std::nullopt;
    const auto weak = std::count_if(sectorMeans.begin(), sectorMeans.end(), [&](const std::vector<double>& rings) {
        return stepAt(rings, best, bands) < sectorShare * step;
    });
    if (weak + unseen > 1)
        return std::nullopt;
    return from + crossing * ringStep;
}

bool widenedToFaintRim(const ContrastPatch& patch, double blur, ShapeFit& fit)
{
    const AreaCircle circle = circleOfArea(fit.outline);
    if (!(circle.radius > 0))
        return false;
    const auto rim = faintRimOutside(patch, circle.centre, circle.radius, blur);
    if (!rim)
        return false;
    const double k = *rim / circle.radius;
    for (cv::Point2f& p : fit.outline)
        p = cv::Point2f(circle.centre + (cv::Point2d(p) - circle.centre) * k);
    fit.pixelArea *= k * k;
    fit.outlineDoubtful = true;
    return true;
}
