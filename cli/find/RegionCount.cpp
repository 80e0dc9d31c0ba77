// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/RegionCount.h"

#include "cli/find/Median.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <utility>

namespace {

// A narrow region whose middle shows its colour this many times as strongly
// as the colour it was counted against is counted again with the stronger
// colour, up to this many times.
constexpr float strongerColour = 1.02F;
constexpr int colourRounds = 4;
// A shape narrower than this many reduced pixels, and this many pixels more,
// may show its colour on the reduced copy mixed with the paper's.
constexpr double narrowSteps = 6;
constexpr double narrowPixels = 8;
// A shape (not thin) is counted part by part: a part showing its colour more
// strongly than the shape does as a rule, by more than this share, or less
// strongly by more than this share (beyond what a few darker patches nearby
// make of the rest), is counted against its own colour (down to this share
// of the shape's).
constexpr float strongerTolerance = 0.05F;
constexpr float weakerTolerance = 0.2F;
constexpr float weakestPart = 0.5F;
// A reduced pixel shows its part's own colour when its strongest share is at
// least this share of its neighbours' strongest, and at least this share of
// its pixels were counted.
constexpr float ownShareOfNeighbours = 0.9F;
constexpr float leastCountedShare = 0.25F;
// Beside a shape (not thin), what shows less than half its colour yet more
// than its blurred edge spreads there, taken as this share of its area, makes
// it doubtful: a paler part of it, or a shadow or a stain beside it, is left
// out.
constexpr double faintBesideShare = 0.02;
// A shape reaches the pixels it counts and those showing at least this share
// of its colour: across a line broken by noise, or a tip too faint to count,
// but not across a gap of paper (see Pieces.h).
constexpr float reachShare = 0.25F;
// Round a reference lying in a region, its blurred edge is left out with it:
// this many pixels beyond its fitted outline, and this many times the blur
// of its edge (one standard deviation).
constexpr int referenceMargin = 3;
constexpr double referenceBlurs = 3;

// A share of the colour (0 .. 1) as kept in Measured::shownBeside.
std::uint8_t shownByte(float share) { return std::uint8_t(std::lround(share * shownScale)); }

// Calls visit(x, cell, share) for each pixel of row y of within, from column
// from up to to, that belongs to the region: cell is its reduced pixel's
// column in the region's box, share its share of colour (weights) on smooth
// (the picture smoothed over within). The row must lie in the region's box.
template <typename Visit>
void visitRegionRow(const Finding& found, int label, const cv::Mat& smooth, cv::Rect within, int y,
                    const cv::Vec3f& weights, int from, int to, Visit&& visit)
{
    const cv::Rect region = regionBox(found, label);
    const int reducedRow = rowOf(found, within.y + y);
    const auto* owner = found.labels.ptr<int>(reducedRow);
    const auto* level = found.inverseLevel.ptr<cv::Vec3f>(reducedRow);
    const auto* pixel = smooth.ptr<cv::Vec4b>(y);
    for (int x = from; x < to; ++x) {
        const int column = found.columnOf[std::size_t(within.x + x)];
        if (owner[column] == label)
            visit(x, column - region.x, shareOfColour(pixel[x], level[column], weights));
    }
}

// The row of the region's box that row y of within falls in, or -1 where it
// falls outside.
int regionRowOf(const Finding& found, int label, cv::Rect within, int y)
{
    const cv::Rect region = regionBox(found, label);
    const int row = rowOf(found, within.y + y) - region.y;
    return row >= 0 && row < region.height ? row : -1;
}

// Counts the pixels of the region within measured.within (smooth: the
// picture smoothed over it) that lie nearer colour than the paper.
void countRegion(const Finding& found, int label, const cv::Vec3f& colour, const cv::Mat& smooth, Measured& measured)
{
    const cv::Rect& within = measured.within;
    const cv::Size region = regionBox(found, label).size();
    measured.dots = 0;
    measured.mask = cv::Mat(within.size(), CV_8U, cv::Scalar(0));
    measured.strongest = cv::Mat(region, CV_32F, cv::Scalar(0));
    measured.counted = cv::Mat(region, CV_32F, cv::Scalar(0));
    cv::Mat owned(region, CV_32F, cv::Scalar(0));
    int left = within.width, top = within.height, right = -1, bottom = -1;
    for (int y = 0; y < within.height; ++y) {
        const int row = regionRowOf(found, label, within, y);
        if (row < 0)
            continue; // none of the region's pixels
        auto* out = measured.mask.ptr<std::uint8_t>(y);
        auto* strongest = measured.strongest.ptr<float>(row);
        auto* counted = measured.counted.ptr<float>(row);
        auto* ownedHere = owned.ptr<float>(row);
        visitRegionRow(found, label, smooth, within, y, contrastWeights(colour), 0, within.width,
                       [&](int x, int cell, float share) {
                           strongest[cell] = std::max(strongest[cell], share);
                           ownedHere[cell] += 1;
                           if (share <= 0.5F)
                               return;
                           counted[cell] += 1;
                           out[x] = 255;
                           ++measured.dots;
                           left = std::min(left, x);
                           right = std::max(right, x);
                           top = std::min(top, y);
                           bottom = std::max(bottom, y);
                       });
    }
    cv::divide(measured.counted, cv::max(owned, 1.0), measured.counted);
    measured.box = measured.dots > 0 ? cv::Rect(within.x + left, within.y + top, right - left + 1, bottom - top + 1)
                                     : cv::Rect();
    traceOutline(measured);
}

// The share of its own colour that a shape width pixels wide shows at its
// middle under a blur of sigma pixels; taken as all of it where that is
// under 0.9 (narrower than about 2.3 times the blur): there the width
// counted is too uncertain to correct by, and the shape is thin.
double peakShare(double width, double sigma)
{
    const double share = sigma > 0 ? std::erf(width / (2 * std::numbers::sqrt2 * sigma)) : 1.0;
    return share >= 0.9 ? share : 1.0;
}

// The shape's core: the counted pixels half its width inside its outline (a
// line's middle line; all of them where none lie that deep).
cv::Mat coreOf(const Measured& measured)
{
    const int depth = std::max(0, int((measured.width - 1) / 2));
    if (depth == 0)
        return measured.mask;
    cv::Mat core; // apart from the mask, which stays as counted
    cv::erode(measured.mask, core,
              cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * depth + 1, 2 * depth + 1)));
    return cv::countNonZero(core) == 0 ? measured.mask : core;
}

// How strongly the middle of the counted shape shows colour on the picture
// itself (unsmoothed): the median share along its core. Its blurred sides
// make up most of what is counted.
float strengthOf(const Finding& found, const Measured& measured, const cv::Vec3f& colour)
{
    const cv::Mat core = coreOf(measured);
    const cv::Vec3f weights = contrastWeights(colour);
    std::vector<float> shares;
    for (int y = 0; y < measured.within.height; ++y) {
        const int row = measured.within.y + y;
        const auto* level = found.inverseLevel.ptr<cv::Vec3f>(rowOf(found, row));
        const auto* pixel = found.picture.ptr<cv::Vec4b>(row) + measured.within.x;
        const auto* middle = core.ptr<std::uint8_t>(y);
        for (int x = 0; x < measured.within.width; ++x)
            if (middle[x])
                shares.push_back(
                    shareOfColour(pixel[x], level[found.columnOf[std::size_t(measured.within.x + x)]], weights));
    }
    return median(std::move(shares));
}

// The reduced pixels of the region that show their part's own colour: the
// strongest share among their pixels no weaker than their neighbours' (a
// part's middle, not its blurred edge), and enough of them counted (a
// shadow or a stain the region reaches into is no part of the shape, nor is
// the noise of a part too faint to tell from the paper), as that share over
// peak; 0 elsewhere.
cv::Mat ownStrengths(const Finding& found, int label, const Measured& measured, double peak)
{
    const cv::Rect box = regionBox(found, label);
    cv::Mat around;
    cv::dilate(measured.strongest, around, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    const cv::Mat own = (found.labels(box) == label) & (measured.counted >= leastCountedShare)
                        & (measured.strongest >= ownShareOfNeighbours * around);
    cv::Mat strengths(box.size(), CV_32F, cv::Scalar(0));
    cv::divide(measured.strongest, peak, strengths, 1, CV_32F);
    strengths.setTo(0, ~own);
    return strengths;
}

// The strength that colour stands for: the median of the own strengths near
// it (the strongest share is a little above the colour on a noisy picture),
// or of all when none is (the shape shows another colour throughout).
float usualStrength(const cv::Mat& strengths)
{
    std::vector<float> all, near;
    for (int y = 0; y < strengths.rows; ++y)
        for (int x = 0; x < strengths.cols; ++x)
            if (const float value = strengths.at<float>(y, x); value > 0) {
                all.push_back(value);
                if (value > 1 - weakerTolerance && value < 1 / (1 - weakerTolerance))
                    near.push_back(value);
            }
    return std::max(median(near.empty() ? std::move(all) : std::move(near)), 1e-3F);
}

// Turns each own strength into how many times as strongly as usual its part
// shows its colour: 1 where it differs from usual by no more than the noise
// and texture along a uniform shape do. Returns whether any part differs.
bool partShares(cv::Mat& strengths, float usual)
{
    bool differs = false;
    for (int y = 0; y < strengths.rows; ++y)
        for (float& local : std::span(strengths.ptr<float>(y), std::size_t(strengths.cols))) {
            if (local <= 0)
                continue;
            const float share = local / usual;
            local = share > 1 + strongerTolerance ? share
                    : share < 1 - weakerTolerance ? std::max(weakestPart, share)
                                                  : 1.F;
            differs = differs || local != 1.F;
        }
    return differs;
}

// Each pixel's value at the nearest pixel where values is above 0.
cv::Mat nearestValues(const cv::Mat& values)
{
    cv::Mat distances, nearest;
    cv::distanceTransform(values <= 0, distances, nearest, cv::DIST_L2, cv::DIST_MASK_5, cv::DIST_LABEL_PIXEL);
    double highest = 0;
    cv::minMaxLoc(nearest, nullptr, &highest);
    std::vector<float> byLabel(std::size_t(highest) + 1, 1.F);
    for (int y = 0; y < values.rows; ++y)
        for (int x = 0; x < values.cols; ++x)
            if (values.at<float>(y, x) > 0)
                byLabel[std::size_t(nearest.at<int>(y, x))] = values.at<float>(y, x);
    cv::Mat spread(values.size(), CV_32F);
    for (int y = 0; y < values.rows; ++y)
        for (int x = 0; x < values.cols; ++x)
            spread.at<float>(y, x) = byLabel[std::size_t(nearest.at<int>(y, x))];
    return spread;
}

// How many times as strongly as the colour it was counted against a shape
// shows its colour about each reduced pixel of its region's box (CV_32F).
using StrengthMap = cv::Mat;

// How many times as strongly as colour (what measured was counted against)
// the shape shows its own colour about each reduced pixel of its region's
// box: as the nearest reduced pixel showing its part's own colour does (the
// strongest share there over the share the middle of a shape this narrow
// shows through the blur). A blade darker or lighter at one end is then
// counted halfway to each end's own colour, the two meeting where the ends
// do; across a blade, the strongest share is its own colour beside a lighter
// midrib. Empty when no part differs from the rest.
StrengthMap strengthNearby(const Finding& found, int label, const Measured& measured, double blur)
{
    cv::Mat strengths = ownStrengths(found, label, measured,
                                     peakShare(measured.width, std::hypot(blur, pictureSmoothing)));
    if (!partShares(strengths, usualStrength(strengths)))
        return {};
    return nearestValues(strengths);
}

// Counts again, against colour times strength, the pixels of the region
// (counted against colour in measured) about the reduced pixels where
// strength is not 1; a shape left with no pixel stays as it was.
void recountParts(const Finding& found, int label, const cv::Vec3f& colour, const cv::Mat& smooth,
                  const StrengthMap& strength, Measured& measured)
{
    const cv::Rect& within = measured.within;
    const cv::Rect region = regionBox(found, label);
    cv::Mat mask = measured.mask.clone();
    std::int64_t dots = measured.dots;
    bool changed = false;
    for (int y = 0; y < within.height; ++y) {
        const int row = regionRowOf(found, label, within, y);
        if (row < 0)
            continue;
        const auto* nearby = strength.ptr<float>(row);
        // Only the columns about the reduced pixels where the limit moves.
        const auto* first = std::find_if(nearby, nearby + region.width, [](float t) { return t != 1.F; });
        if (first == nearby + region.width)
            continue;
        const auto* last = std::find_if(std::make_reverse_iterator(nearby + region.width),
                                        std::make_reverse_iterator(first), [](float t) { return t != 1.F; })
                               .base();
        const int from = std::max(0, int(double(region.x + (first - nearby)) * found.scaleX) - within.x);
        const int end = region.x + int(last - nearby); // the reduced column after the last
        const int to = end == found.reduced.cols       // the picture's remainder columns belong to the last
                           ? within.width
                           : std::min(within.width, int(std::ceil(double(end) * found.scaleX)) - within.x);
        auto* out = mask.ptr<std::uint8_t>(y);
        visitRegionRow(found, label, smooth, within, y, contrastWeights(colour), from, to,
                       [&](int x, int cell, float share) {
                           const bool counted = share > 0.5F * nearby[cell];
                           if (counted == (out[x] != 0))
                               return;
                           dots += counted ? 1 : -1;
                           out[x] = counted ? 255 : 0;
                           changed = true;
                       });
    }
    if (!changed || dots == 0)
        return;
    measured.mask = mask;
    measured.dots = dots;
    measured.box = cv::boundingRect(mask) + within.tl();
    traceOutline(measured);
}

// A shape narrower than a few pixels of the reduced copy shows only part of
// its colour there, mixed with the paper beside it, and the halfway limit
// taken from it counts the shape too wide: the middle of what was counted
// then shows the colour more strongly on the picture itself, and the shape
// is counted again against what it shows (seen). Where the shape is not much
// wider than the blur (the reference's), even its middle falls short of its
// colour, by as much as the blur takes.
void countAgainstMiddle(const Finding& found, int label, const cv::Mat& smooth, double blur, cv::Vec3f& seen,
                        Measured& measured)
{
    for (int round = 0; round < colourRounds; ++round) {
        const float strength = float(strengthOf(found, measured, seen) / peakShare(measured.width, blur));
        if (strength <= strongerColour)
            return;
        Measured again;
        again.within = measured.within;
        countRegion(found, label, seen * strength, smooth, again);
        // A line a pixel thin and sharp shows its whole colour on the picture
        // yet only part of it once smoothed: it stays as first counted.
        if (again.dots == 0)
            return;
        seen *= strength;
        measured = std::move(again);
    }
}

// What the region shows beside what was counted (each pixel weighed by its
// share of the colour it was counted against, up to all of it), outside
// leftOut (CV_8U over within, or empty).
struct Beside {
    // That colour less what the counted shape's blurred edge spreads there
    // (sigma/sqrt(2 pi) of the colour along each pixel of its outline), in
    // pixels: about 0 for a shape of one colour however blurred, but the share
    // times the area of a part showing less than half the colour (or of a
    // shadow or stain beside it).
    double colour = 0;
    // CV_8U over within: the pixels counted or showing at least reachShare of
    // the colour.
    cv::Mat reached;
    cv::Mat shown; // as Measured::shownBeside
};

Beside besideCounted(const Finding& found, int label, const cv::Vec3f& colour, const cv::Mat& smooth,
                     const StrengthMap& strength, const Measured& measured, const cv::Mat& leftOut)
{
    const cv::Rect& within = measured.within;
    Beside beside{0, measured.mask.clone(), cv::Mat(within.size(), CV_8U, cv::Scalar(notShown))};
    for (int y = 0; y < within.height; ++y) {
        const int row = regionRowOf(found, label, within, y);
        if (row < 0)
            continue;
        const auto* counted = measured.mask.ptr<std::uint8_t>(y);
        const auto* out = leftOut.empty() ? nullptr : leftOut.ptr<std::uint8_t>(y);
        auto* reached = beside.reached.ptr<std::uint8_t>(y);
        auto* weighed = beside.shown.ptr<std::uint8_t>(y);
        const float* nearby = strength.empty() ? nullptr : strength.ptr<float>(row);
        visitRegionRow(found, label, smooth, within, y, contrastWeights(colour), 0, within.width,
                       [&](int x, int cell, float share) {
                           if (counted[x] || (out && out[x]))
                               return;
                           const float shown = std::clamp(nearby ? share / nearby[cell] : share, 0.F, 1.F);
                           beside.colour += shown;
                           reached[x] = shown >= reachShare ? 255 : 0;
                           weighed[x] = shownByte(shown);
                       });
    }
    const double outline = measured.width > 0 ? 2 * double(measured.dots) / measured.width : 0;
    const double spread = measured.edgeBlur / std::sqrt(2 * std::numbers::pi) * outline;
    beside.colour -= spread;
    return beside;
}

// The paper round a region, weighed as what lies beside it is (see
// Measured::paperBeside).
cv::Mat paperRound(const Finding& found, const cv::Vec3f& colour, const cv::Mat& smooth, cv::Rect within,
                   const cv::Mat& leftOut)
{
    cv::Mat paper(within.size(), CV_8U, cv::Scalar(notShown));
    for (int y = 0; y < within.height; ++y) {
        const auto* out = leftOut.empty() ? nullptr : leftOut.ptr<std::uint8_t>(y);
        auto* weighed = paper.ptr<std::uint8_t>(y);
        visitRegionRow(found, 0, smooth, within, y, contrastWeights(colour), 0, within.width,
                       [&](int x, int, float share) {
                           if (!out || !out[x])
                               weighed[x] = shownByte(std::clamp(share, 0.F, 1.F));
                       });
    }
    return paper;
}

// The pixels of within (CV_8U) inside the reference's outline or its margin.
cv::Mat referencePixels(const ReferenceInRegion& reference, cv::Rect within)
{
    cv::Mat inside(within.size(), CV_8U, cv::Scalar(0));
    cv::fillPoly(inside, std::vector<std::vector<cv::Point>>{reference.outline}, cv::Scalar(255), cv::LINE_8, 0,
                 -within.tl());
    const int reach = 2 * reference.margin + 1;
    cv::dilate(inside, inside, cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(reach, reach)));
    return inside;
}

// Takes the pixels of leftOut out of what was counted.
void takeOut(const cv::Mat& leftOut, Measured& measured)
{
    measured.mask.setTo(0, leftOut);
    measured.dots = cv::countNonZero(measured.mask);
    measured.box = measured.dots > 0 ? cv::boundingRect(measured.mask) + measured.within.tl() : cv::Rect();
    traceOutline(measured);
}

} // namespace

void traceOutline(Measured& measured)
{
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(measured.mask, measured.contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_SIMPLE,
                     measured.within.tl());
    double length = 0;
    for (const auto& contour : measured.contours)
        length += cv::arcLength(contour, true);
    measured.width = length > 0 ? 2 * double(measured.dots) / length : 0;
}

cv::Mat unexplainedBeside(const Measured& measured)
{
    if (measured.shownBeside.empty() || measured.edgeBlur <= 0)
        return cv::Mat(measured.within.size(), CV_32F, cv::Scalar(0));
    cv::Mat spread;
    measured.mask.convertTo(spread, CV_32F, 1.0 / 255);
    cv::GaussianBlur(spread, spread, cv::Size(0, 0), measured.edgeBlur, measured.edgeBlur, cv::BORDER_CONSTANT);
    cv::Mat unexplained(measured.within.size(), CV_32F, cv::Scalar(0));
    for (int y = 0; y < unexplained.rows; ++y) {
        const auto* shown = measured.shownBeside.ptr<std::uint8_t>(y);
        const auto* expected = spread.ptr<float>(y);
        auto* out = unexplained.ptr<float>(y);
        for (int x = 0; x < unexplained.cols; ++x)
            if (shown[x] != notShown)
                out[x] = float(shown[x]) / shownScale - expected[x];
    }
    return unexplained;
}

bool faintBeside(double colour, std::int64_t dots) { return dots > 0 && colour > faintBesideShare * double(dots); }

ReferenceInRegion referenceInRegion(const ShapeFit& fit)
{
    return {{fit.outline.begin(), fit.outline.end()}, referenceMargin + int(std::ceil(referenceBlurs * fit.blur))};
}

// The region counted on the picture, without the reference where it lies in
// the region (its fitted outline, or empty); a shape narrower than thin
// pixels is counted as a whole (the blur takes too much of its middle to tell
// its parts apart by their colour).
Measured measureRegion(const Finding& found, int label, const cv::Vec3f& colour, double blur, double thin,
                       const ReferenceInRegion& reference)
{
    Measured measured;
    const int margin = int(std::ceil(std::max(found.scaleX, found.scaleY))) + 2;
    measured.within = pictureBox(found, regionBox(found, label), margin);
    // Smoothed in whole levels: the half-level rounding moves no edge.
    const cv::Mat smooth = smoothedPatch(found.picture, measured.within, CV_8U);
    cv::Vec3f seen = colour;
    countRegion(found, label, seen, smooth, measured);
    const double narrow = narrowSteps * std::max(found.scaleX, found.scaleY) + narrowPixels;
    if (measured.width < narrow)
        countAgainstMiddle(found, label, smooth, blur, seen, measured);
    const bool asAWhole = measured.width < thin;
    // Where part of the shape shows its colour more or less strongly than the
    // rest, that part is counted halfway to its own colour.
    const StrengthMap strength = asAWhole ? StrengthMap() : strengthNearby(found, label, measured, blur);
    if (!strength.empty())
        recountParts(found, label, seen, smooth, strength, measured);
    const cv::Mat leftOut = reference.outline.empty() ? cv::Mat() : referencePixels(reference, measured.within);
    if (!leftOut.empty())
        takeOut(leftOut, measured);
    measured.leftOut = leftOut;
    if (!asAWhole) {
        measured.edgeBlur = std::hypot(blur, pictureSmoothing);
        Beside beside = besideCounted(found, label, seen, smooth, strength, measured, leftOut);
        measured.faintBeside = faintBeside(beside.colour, measured.dots);
        measured.reached = std::move(beside.reached);
        measured.shownBeside = std::move(beside.shown);
        measured.paperBeside = [&found, seen, smooth, within = measured.within, leftOut] {
            return paperRound(found, seen, smooth, within, leftOut);
        };
    }
    return measured;
}
