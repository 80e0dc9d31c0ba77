// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/DiscEdge.h"

#include "cli/analysis/BorderDots.h"
#include "cli/find/EdgeProfile.h"
#include "cli/find/FaintRim.h"
#include "cli/find/ReferenceFit.h"
#include "counting/Kernels.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// How far the fitted edge may lie from the outline counted halfway to the
// object (a rim left uncounted lies outside it): this many pixels, and this
// share of the disc's radius. A coin's rim is often a tenth of its radius
// wide, and the lines across the edge must reach well past its blurred
// outer step: at a tenth, that step lay at their very ends and was cut off
// along half of them.
constexpr float reachPixels = 10;
constexpr double reachShare = 0.15;
// The pixels about the disc: within this many pixels, and this many blurs of
// its edge, of its fitted outline.
constexpr int aboutPixels = 3;
constexpr double aboutBlurs = 3;
// A limit that counts more of the rectangle away from the disc than halfway
// to the object does, by more than this share of the disc, counts paper.
constexpr double paperShare = 0.002;
// The rim is looked for wider only where the edge points lie this close to a
// circle (RMS, as a share of its radius): a light coin's rim highlights leave
// them about 0.03 off, a square's corners 0.05 and more.
constexpr double widerLookScore = 0.035;
// A shape whose holes take this share of its outline is no disc: a washer's
// or a ring's hole takes more, a coin's highlights a few per cent.
constexpr double largestHoleShare = 0.1;

// The largest outline of the pixels beyond limit, in the rectangle's pixels,
// and the share of it its holes take.
struct Outline {
    std::vector<cv::Point2f> points;
    double holeShare = 0;
};

Outline largestOutline(const cv::Mat& levels, double limit, bool darker)
{
    cv::Mat beyond;
    cv::compare(levels, limit, beyond, darker ? cv::CMP_LT : cv::CMP_GT);
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy; // next, previous, first hole, outer
    cv::findContours(beyond, contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_NONE);
    int largest = -1;
    double largestArea = 0;
    for (int i = 0; i < int(contours.size()); ++i) {
        if (hierarchy[std::size_t(i)][3] >= 0)
            continue; // a hole
        if (const double area = cv::contourArea(contours[std::size_t(i)]); largest < 0 || area > largestArea) {
            largest = i;
            largestArea = area;
        }
    }
    if (largest < 0)
        return {};
    double holes = 0;
    for (int hole = hierarchy[std::size_t(largest)][2]; hole >= 0; hole = hierarchy[std::size_t(hole)][0])
        holes += cv::contourArea(contours[std::size_t(hole)]);
    const auto& points = contours[std::size_t(largest)];
    return {{points.begin(), points.end()}, largestArea > 0 ? holes / largestArea : 1.0};
}

// Whether an outline is a disc's: round, and with no hole of note in it (a
// washer or a ring is left to its count).
bool filledDisc(const Outline& outline) { return roughlyDisc(outline.points) && outline.holeShare < largestHoleShare; }

// The pixels within the disc's fitted outline or near it (CV_8U): the
// circle round the outline, grown by the margin.
cv::Mat aboutDisc(const ShapeFit& fit, cv::Size size)
{
    cv::Point2f centre;
    float radius = 0;
    cv::minEnclosingCircle(fit.outline, centre, radius);
    const double margin = aboutPixels + std::ceil(aboutBlurs * fit.blur);
    cv::Mat about(size, CV_8U, cv::Scalar(0));
    cv::circle(about, cv::Point(int(std::lround(centre.x)), int(std::lround(centre.y))),
               int(std::ceil(radius + margin)), cv::Scalar(255), cv::FILLED);
    return about;
}

// Of each level, red + green + blue: 0 .. maxLevel.
using Histogram = std::vector<std::int64_t>;
constexpr std::size_t levelCount = maxLevel + 1;

// How many pixels a limit counts, walking from the object's level towards the
// background's: up to and including each level, from the far side of the
// object's (away from the background).
class Counts {
public:
    Counts(const Histogram& histogram, bool darker) : upTo(histogram.size())
    {
        std::int64_t total = 0;
        const int size = int(histogram.size());
        for (int i = 0; i < size; ++i) {
            const int level = darker ? i : size - 1 - i;
            total += histogram[std::size_t(level)];
            upTo[std::size_t(level)] = total;
        }
    }
    std::int64_t through(int level) const { return upTo[std::size_t(level)]; }

private:
    std::vector<std::int64_t> upTo;
};

// The rectangle's levels, apart: about the disc, away from it, and on the
// rectangle's border (also away from it, as a rule). Where the paper lies
// off the background, each level is taken as the limit halfway to the
// object sees it there: less half the paper's difference.
struct Tallies {
    Counts near, away, border;
    std::int64_t borderPixels = 0;
};

Tallies talliesOf(const cv::Mat& levels, const cv::Mat& about, bool darker, const PaperAcross& paper, int background)
{
    Histogram near(levelCount, 0), away(levelCount, 0), border(levelCount, 0);
    std::int64_t borderPixels = 0;
    std::vector<float> paperRow;
    for (int y = 0; y < levels.rows; ++y) {
        const auto* level = levels.ptr<std::uint16_t>(y);
        const auto* inside = about.ptr<std::uint8_t>(y);
        const bool borderRow = y == 0 || y == levels.rows - 1;
        if (!paper.even())
            paper.row(y, paperRow);
        for (int x = 0; x < levels.cols; ++x) {
            const std::size_t seen =
                paper.even() ? level[x]
                             : std::size_t(std::clamp(
                                 int(std::lround(level[x] - 0.5F * (paperRow[std::size_t(x)] - float(background)))), 0,
                                 maxLevel));
            ++(inside[x] ? near : away)[seen];
            if (borderRow || x == 0 || x == levels.cols - 1) {
                ++border[seen];
                ++borderPixels;
            }
        }
    }
    return {Counts(near, darker), Counts(away, darker), Counts(border, darker), borderPixels};
}

// Whether counting through last also counts the paper away from the disc,
// where counting halfway to the object does not: enough of the rectangle's
// border to say that the shape is cut off, or more of the rest than
// paperShare of the disc.
bool countsPaper(const Tallies& t, int halfway, int last, double area)
{
    const bool cutOff = dotsOnBorder(t.border.through(last), t.borderPixels);
    return (cutOff && !dotsOnBorder(t.border.through(halfway), t.borderPixels))
           || double(t.away.through(last) - t.away.through(halfway)) > paperShare * area;
}

// The level halfway to which the limit counts about as many pixels about the
// disc as fit's area: walking from the object's level towards the paper's,
// as far as the count comes nearer that area and no paper is counted. None
// where the limit halfway to the object already counts more.
std::optional<int> levelCountingArea(const cv::Mat& levels, const PaperAcross& paper, int background, int object,
                                     const ShapeFit& fit)
{
    const bool darker = object < background;
    const int step = darker ? 1 : -1;
    const Tallies t = talliesOf(levels, aboutDisc(fit, levels.size()), darker, paper, background);
    const double middle = (background + object) / 2.0;
    const int halfway = int(darker ? std::ceil(middle) - 1 : std::floor(middle) + 1); // the last level it counts
    const auto miss = [&](int last) { return std::abs(double(t.near.through(last)) - fit.pixelArea); };
    int last = object;
    for (int level = object + step; level != background && !countsPaper(t, halfway, level, fit.pixelArea);
         level += step)
        if (miss(level) < miss(last))
            last = level;
    const int edge = int(std::lround(2 * (last + 0.5 * step) - background));
    if (darker ? edge < object : edge > object)
        return std::nullopt;
    return edge;
}

// The fit on levels averaged in blocks as the rectangle's own pixels: its
// outline carried back (from pixel centres to pixel centres), its area and
// its blur grown.
ShapeFit onOwnPixels(ShapeFit fit, int blocks)
{
    const double k = blocks;
    for (cv::Point2f& p : fit.outline)
        p = cv::Point2f(float((p.x + 0.5) * k - 0.5), float((p.y + 0.5) * k - 0.5));
    fit.pixelArea *= k * k;
    fit.blur *= k;
    return fit;
}

// Where the edge fits no circle closely (a highlight on a light coin's rim
// puts the steepest rise further in along some lines), the rim is looked
// for wider, then further inward, as the batch tool's finding looks for it.
// An outline found so is easily placed a little too far out: its area only
// tells whether the count falls well short of it, and sets no level; none
// where its shape or its edge puts it in doubt (a shadow taken in).
std::optional<DiscEdge> widerLook(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach,
                                  int blocks)
{
    for (const RimSearch search : {RimSearch::Wider, RimSearch::FurtherIn})
        if (const ShapeFit fit = fitDisc(patch, rough, reach, search); fit.fitted && !fit.shapeDoubtful)
            return DiscEdge{onOwnPixels(fit, blocks).pixelArea, std::nullopt};
    return std::nullopt;
}

} // namespace

std::optional<DiscEdge> discEdge(const cv::Mat& levels, const AveragedLevels& reduced,
                                 const std::function<Surround()>& surround, const PaperAcross& paper, int background,
                                 int object)
{
    if (object == background)
        return std::nullopt;
    const bool darker = object < background;
    const Outline rough = largestOutline(reduced.levels, (background + object) / 2.0, darker);
    if (!filledDisc(rough))
        return std::nullopt;
    const Surround round = surround();
    ContrastPatch patch{cv::Mat(), round.origin};
    round.levels.levels.convertTo(patch.values, CV_32F, 1.0 / (object - background),
                                  -double(background) / (object - background));
    // In the reduced levels' pixels.
    const double radius = std::sqrt(cv::contourArea(rough.points) / std::numbers::pi);
    const float reach = std::max(reachPixels, float(reachShare * radius));
    ShapeFit fit = fitDisc(patch, rough.points, reach);
    if (!fit.fitted) {
        if (fit.score <= widerLookScore)
            if (auto wider = widerLook(patch, rough.points, reach, reduced.blocks))
                return wider;
        // Along lines as short as these, a wide faint rim's outer step can
        // lie at their ends, and no circle fits: the rim round the disc
        // counted halfway still shows, where that is round.
        if (offRound(rough.points) > widerLookScore)
            return std::nullopt;
        const AreaCircle counted = circleOfArea(rough.points);
        const auto rim = faintRimOutside(patch, counted.centre, counted.radius, fit.blur);
        if (!rim)
            return std::nullopt;
        const double onOwn = *rim * reduced.blocks;
        return DiscEdge{std::numbers::pi * onOwn * onOwn, std::nullopt};
    }
    if (fit.edgeLikeShadow)
        return DiscEdge{0, std::nullopt, true};
    if (fit.outlineDoubtful)
        return std::nullopt;
    // A rim beyond the fitted edge as faint as this cannot be counted without
    // the paper: its outline only tells that the count falls short.
    const bool widened = widenedToFaintRim(patch, fit.blur, fit);
    const ShapeFit own = onOwnPixels(fit, reduced.blocks);
    if (widened)
        return DiscEdge{own.pixelArea, std::nullopt};
    return DiscEdge{own.pixelArea, levelCountingArea(levels, paper, background, object, own)};
}
