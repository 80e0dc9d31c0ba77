// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReferenceFit.h"

#include "cli/find/Median.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

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
// A second edge inside a disc's fitted outline: the contrast rising by this
// share of the colour, from two blurs and a pixel inside it to this share of
// the radius, over two blurs and a pixel. Showing along a run of at least
// this share of the lines round the outline, but shorter than this share,
// and on hardly any of the other lines (at most this share of them), it lies
// on one side only: a rim or relief runs all round, a highlight shows here
// and there.
constexpr float secondEdgeRise = 0.2F;
constexpr double secondEdgeReach = 0.25;
constexpr double secondEdgeRun = 0.2;
constexpr double secondEdgeAllRound = 0.75;
constexpr double hardlyElsewhere = 0.1;
// A soft edge: rising this many times as wide as the edge does round most of
// the outline, and this many pixels more (a soft shadow's edge, where the
// shape's own is sharp).
constexpr float softerTimes = 2;
constexpr float softerPixels = 1;
// ... and so soft along at least this share of the lines (all round).
constexpr double mostLines = 0.5;
// A disc's edge points fitting an ellipse longer one way than the other by
// more than this share, and by more than this many pixels (the edge points
// of a small disc scatter by a pixel or so): not round (a shadow taken in on
// one side, or a photograph taken at a slant).
constexpr double longerOneWay = 0.015;
constexpr double longerPixels = 3;
// A rim closer inside the edge than this many of its blurs blurs into it;
// half a blur matters beyond this share of a disc's radius (the area then
// uncertain by 2.5 %).
constexpr double rimApartBlurs = 3.5;
constexpr double rimBlurShare = 0.0125;
// A disc fitted leaving out a side: of the edge points left out, at least
// this share must lie beyond its circle (a shadow or something lying against
// the disc adds to its outline, it takes nothing from it), and its circle
// may hold at most this many times the rough outline's area.
constexpr double leftOutBeyondShare = 0.9;
constexpr double largestTimesRoughArea = 1.1;

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

// Whether a circle fitted leaving out a side leaves out only what lies
// beyond it, and holds not much more than the rough outline of that radius.
bool leavesOutWhatLiesBeyond(const std::vector<cv::Point2d>& edges, const Circle& circle, double roughRadius)
{
    const std::vector<double> residuals = circleResiduals(edges, circle);
    const std::vector<bool> kept = keptResiduals(residuals);
    std::size_t leftOut = 0, beyond = 0;
    for (std::size_t i = 0; i < residuals.size(); ++i)
        if (!kept[i]) {
            ++leftOut;
            beyond += residuals[i] > 0 ? 1 : 0;
        }
    return double(beyond) >= leftOutBeyondShare * double(leftOut)
           && circle.radius * circle.radius <= largestTimesRoughArea * roughRadius * roughRadius;
}

// Of the circles fitted each to one arc of edges (in order round the
// outline) holding pointsOnArc of them, the one closest to its arc's points
// (see DiscPoints).
std::optional<Circle> closestArcCircle(const std::vector<cv::Point2d>& edges, Circle start, std::size_t pointsOnArc)
{
    constexpr std::size_t starts = 16;
    const std::size_t count = edges.size();
    if (pointsOnArc > count)
        return std::nullopt;
    std::optional<Circle> closest;
    double closestSpread = std::numeric_limits<double>::infinity();
    for (std::size_t s = 0; s < starts; ++s) {
        std::vector<cv::Point2d> points;
        for (std::size_t i = 0; i < pointsOnArc; ++i)
            points.push_back(edges[(s * count / starts + i) % count]);
        const std::optional<Circle> circle = fitCircle(points, start);
        if (!circle)
            continue;
        if (const double spread = rms(circleResiduals(points, *circle)); spread < closestSpread) {
            closestSpread = spread;
            closest = circle;
        }
    }
    return closest;
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

bool roughlySquare(const std::vector<cv::Point2f>& rough, double grain)
{
    if (rough.size() < 8)
        return false;
    const cv::RotatedRect box = cv::minAreaRect(rough);
    const double longSide = std::max(box.size.width, box.size.height);
    const double shortSide = std::min(box.size.width, box.size.height);
    if (!(shortSide > 0) || longSide / shortSide > 1.15)
        return false;
    // The outline runs through the centres of the copy's edge pixels: along
    // a slanting side it cuts into each step of the staircase, by about a
    // third of a pixel on average, which on a small square is much of its
    // area. (A disc, filling π/4 of its square, stays well short.)
    const double cutIntoSteps = cv::arcLength(rough, true) * grain / 3;
    return (cv::contourArea(rough) + cutIntoSteps) / (longSide * shortSide) > 0.88;
}

// How many lines cross a circle's outline: about one a pixel of it.
int linesRound(double radius) { return std::clamp(int(2 * std::numbers::pi * radius), 48, 720); }

// The longest run of set flags round a circle, a gap of up to `bridged`
// unset ones not breaking it: its length, and the flags set in it.
struct Run {
    std::size_t length = 0, set = 0;
};

Run longestRun(const std::vector<bool>& flags, std::size_t bridged)
{
    const std::size_t count = flags.size();
    Run longest, run;
    std::size_t gap = 0;
    for (std::size_t i = 0; i < 2 * count && run.length < count; ++i) { // twice round, for a run across the start
        if (flags[i % count]) {
            run.length += gap + 1;
            ++run.set;
            gap = 0;
        } else if (run.length > 0 && ++gap > bridged) {
            run = {};
            gap = 0;
        }
        if (run.length > longest.length)
            longest = run;
    }
    return longest;
}

// Whether flags, round an outline, are set on one side only: on a run of
// at least secondEdgeRun of them but not all round, and on hardly any
// elsewhere.
bool onOneSide(const std::vector<bool>& flags)
{
    const auto seen = double(flags.size());
    const auto set = double(std::count(flags.begin(), flags.end(), true));
    const Run run = longestRun(flags, flags.size() / 50);
    const double elsewhere = seen - double(run.length);
    return double(run.length) >= secondEdgeRun * seen && double(run.length) < secondEdgeAllRound * seen
           && set - double(run.set) <= hardlyElsewhere * elsewhere;
}

// Whether the edge found along the lines is much softer on one side only.
bool softOnOneSide(const std::vector<std::optional<Crossing>>& crossings)
{
    std::vector<float> widths;
    for (const auto& crossing : crossings)
        if (crossing)
            widths.push_back(crossing->rise.width);
    if (widths.empty())
        return false;
    const float soft = softerTimes * median(widths) + softerPixels;
    std::vector<bool> softer;
    for (const float width : widths)
        softer.push_back(width > soft);
    return onOneSide(softer);
}

// Whether the edge found along most lines is much softer than the sharpest
// rise along the same line: the soft outer edge of a shadow all round the
// shape taken for its own, whose sharp edge lies further in.
bool softerThanSharpest(const std::vector<std::optional<Crossing>>& crossings,
                        const std::vector<std::optional<float>>& along)
{
    std::size_t seen = 0, softer = 0;
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        if (!crossings[i] || !along[i])
            continue;
        const auto widths = riseWidths(*crossings[i], *along[i]);
        if (!widths)
            continue;
        ++seen;
        if (widths->edge > softerTimes * widths->sharpest + softerPixels)
            ++softer;
    }
    return seen > 0 && double(softer) >= mostLines * double(seen);
}

// Whether edge points lie on an ellipse clearly longer one way.
bool notRound(const std::vector<cv::Point2d>& edges)
{
    if (edges.size() < 6)
        return false;
    const cv::RotatedRect ellipse = cv::fitEllipse(std::vector<cv::Point2f>(edges.begin(), edges.end()));
    const double shorter = std::min(ellipse.size.width, ellipse.size.height);
    const double longer = std::max(ellipse.size.width, ellipse.size.height);
    return longer - shorter > std::max(longerOneWay * shorter, longerPixels);
}

// Whether a rim lies so close inside a disc's edge that the two blur into one
// (fewer than rimApartBlurs of its blurs apart), on a disc so small that half
// a blur is more than rimBlurShare of its radius. The two steps are then told
// apart no better than to about half a blur (on photographs, the outer one,
// the edge, mostly too far out): the area is uncertain by a few percent.
bool rimBlursIntoEdge(const std::optional<Rim>& rim, double radius)
{
    return rim && rim->width < rimApartBlurs * rim->blur && 0.5 * rim->blur > rimBlurShare * radius;
}

// Whether a second edge shows just inside the fitted circle on one side only.
bool edgeInsideOnOneSide(const ContrastPatch& patch, const Circle& circle, double blur)
{
    const int lines = linesRound(circle.radius);
    const auto from = float(2 * blur + 1), to = float(secondEdgeReach * circle.radius);
    if (to <= from)
        return false;
    std::vector<bool> shows;
    for (int i = 0; i < lines; ++i) {
        const double angle = 2 * std::numbers::pi * i / lines;
        const cv::Point2f outward(float(std::cos(angle)), float(std::sin(angle)));
        const cv::Point2f edge = cv::Point2f(float(circle.x), float(circle.y)) + outward * float(circle.radius);
        const auto rise = riseInside(patch, edge, -outward, from, to, from);
        if (!rise)
            continue;
        shows.push_back(*rise >= secondEdgeRise);
    }
    return onOneSide(shows);
}

AreaCircle circleOfArea(const std::vector<cv::Point2f>& outline)
{
    const cv::Moments moments = cv::moments(outline);
    if (!(moments.m00 > 0))
        return {};
    return {{moments.m10 / moments.m00, moments.m01 / moments.m00}, std::sqrt(moments.m00 / std::numbers::pi)};
}

double offRound(const std::vector<cv::Point2f>& outline)
{
    const AreaCircle area = circleOfArea(outline);
    if (!(area.radius > 0))
        return 1;
    const std::vector<cv::Point2d> points(outline.begin(), outline.end());
    return rms(circleResiduals(points, {area.centre.x, area.centre.y, area.radius})) / area.radius;
}

ShapeFit fitDisc(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach, RimSearch search,
                 DiscPoints points)
{
    ShapeFit fit;
    const AreaCircle area = circleOfArea(rough);
    if (!(area.radius > 0))
        return fit;
    const Circle start{area.centre.x, area.centre.y, area.radius};
    reach = std::min(reach, float(0.3 * start.radius));
    const int lines = linesRound(start.radius);
    std::vector<cv::Point2f> outward, outside;
    std::vector<std::optional<Crossing>> crossings;
    for (int i = 0; i < lines; ++i) {
        const double angle = 2 * std::numbers::pi * i / lines;
        outward.emplace_back(float(std::cos(angle)), float(std::sin(angle)));
        outside.push_back(cv::Point2f(float(start.x), float(start.y)) + outward.back() * (float(start.radius) + reach));
        crossings.push_back(crossingAlong(patch, outside.back(), -outward.back(), 2 * reach));
    }
    const Edges found = edgesOf(crossings, search);
    const std::vector<std::optional<float>>& along = found.along;
    fit.blur = blurOf(crossings);
    std::vector<cv::Point2d> edges;
    for (std::size_t i = 0; i < along.size(); ++i)
        if (along[i])
            edges.emplace_back(cv::Point2d(outside[i] - outward[i] * *along[i]));
    auto circle = points == DiscPoints::All
                      ? fitCircle(edges, start)
                      : closestArcCircle(edges, start, std::size_t(std::ceil(leastKeptShare * lines)));
    std::vector<cv::Point2d> kept = edges;
    for (int round = 0; round < 2 && circle; ++round) {
        kept = keptOnly(edges, keptResiduals(circleResiduals(edges, *circle)));
        circle = fitCircle(kept, *circle);
    }
    if (!circle || (points == DiscPoints::LeavingOutASide && !leavesOutWhatLiesBeyond(edges, *circle, start.radius)))
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
    // A rim's faint outer step found only on a wider look is easily placed
    // too far out, on the paper beyond it.
    fit.edgeLikeShadow = fit.fitted
                         && (points == DiscPoints::LeavingOutASide || softOnOneSide(crossings)
                             || edgeInsideOnOneSide(patch, *circle, fit.blur) || softerThanSharpest(crossings, along));
    fit.shapeDoubtful = fit.edgeLikeShadow || (fit.fitted && notRound(kept));
    fit.outlineDoubtful = fit.shapeDoubtful || (fit.fitted && search != RimSearch::AroundSteepest);
    fit.rimBlurredIntoEdge = fit.fitted && rimBlursIntoEdge(found.rim, circle->radius);
    const int corners = 180;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * std::numbers::pi * i / corners;
        fit.outline.emplace_back(float(circle->x + circle->radius * std::cos(angle)),
                                 float(circle->y + circle->radius * std::sin(angle)));
    }
    return fit;
}

namespace {

// Lines across the four sides of a rough square's box, from outside inward:
// side s has the lines firstOf[s] up to firstOf[s + 1].
struct SideLines {
    std::vector<cv::Point2f> outside, inwards;
    std::vector<std::optional<Crossing>> crossings;
    std::array<std::size_t, 5> firstOf{};
};

// None where a side is too short to fit.
std::optional<SideLines> linesAcrossSides(const ContrastPatch& patch, const cv::RotatedRect& box, float reach)
{
    std::array<cv::Point2f, 4> corners;
    box.points(corners.data());
    SideLines lines;
    for (int s = 0; s < 4; ++s) {
        const cv::Point2f from = corners[std::size_t(s)], to = corners[std::size_t((s + 1) % 4)];
        const double length = norm(cv::Point2d(to - from));
        if (length < 4)
            return std::nullopt;
        const cv::Point2f along = (to - from) * float(1 / length);
        cv::Point2f inward(-along.y, along.x);
        if ((box.center - from).dot(inward) < 0)
            inward = -inward;
        const int samples = std::max(6, int(0.7 * length));
        for (int i = 0; i < samples; ++i) {
            const float at = float(length) * (0.15F + 0.7F * (float(i) + 0.5F) / float(samples));
            lines.inwards.push_back(inward);
            lines.outside.push_back(from + along * at - inward * reach);
            lines.crossings.push_back(crossingAlong(patch, lines.outside.back(), inward, 2 * reach));
        }
        lines.firstOf[std::size_t(s + 1)] = lines.crossings.size();
    }
    return lines;
}

// Each side's straight edge, fitted to its edge points and twice more
// without those lying far off it, with the residuals of the points kept.
struct FittedSides {
    std::array<Line, 4> lines;
    std::vector<double> residuals;
    std::size_t attempted = 0, kept = 0;
};

// None where a side shows too few edge points.
std::optional<FittedSides> fittedSides(const SideLines& across)
{
    const std::vector<std::optional<float>> found = edgesOf(across.crossings).along;
    FittedSides sides;
    for (int s = 0; s < 4; ++s) {
        std::vector<cv::Point2d> edges;
        const std::size_t first = across.firstOf[std::size_t(s)], end = across.firstOf[std::size_t(s + 1)];
        for (std::size_t i = first; i < end; ++i)
            if (found[i])
                edges.emplace_back(cv::Point2d(across.outside[i] + across.inwards[i] * *found[i]));
        sides.attempted += end - first;
        auto line = fitLine(edges);
        std::vector<cv::Point2d> kept = edges;
        for (int round = 0; round < 2 && line; ++round) {
            kept = keptOnly(edges, keptResiduals(lineResiduals(edges, *line)));
            line = fitLine(kept);
        }
        if (!line)
            return std::nullopt;
        sides.lines[std::size_t(s)] = *line;
        const std::vector<double> residuals = lineResiduals(kept, *line);
        sides.residuals.insert(sides.residuals.end(), residuals.begin(), residuals.end());
        sides.kept += kept.size();
    }
    return sides;
}

// Where neighbouring sides meet; none where two run parallel.
std::optional<std::array<cv::Point2d, 4>> cornersOf(const std::array<Line, 4>& sides)
{
    std::array<cv::Point2d, 4> corners;
    for (int s = 0; s < 4; ++s) {
        const auto corner = crossing(sides[std::size_t((s + 3) % 4)], sides[std::size_t(s)]);
        if (!corner)
            return std::nullopt;
        corners[std::size_t(s)] = *corner;
    }
    return corners;
}

struct Quadrilateral {
    double area = 0;
    bool square = false; // sides within a tenth of each other, corners within 5 degrees of square
};

Quadrilateral quadrilateral(const std::array<cv::Point2d, 4>& corners)
{
    double area = 0, shortest = std::numeric_limits<double>::max(), longest = 0, worstAngle = 0;
    for (int s = 0; s < 4; ++s) {
        const cv::Point2d a = corners[std::size_t(s)], b = corners[std::size_t((s + 1) % 4)],
                          c = corners[std::size_t((s + 2) % 4)];
        area += a.x * b.y - b.x * a.y;
        shortest = std::min(shortest, norm(b - a));
        longest = std::max(longest, norm(b - a));
        const double cosine = (a - b).dot(c - b) / std::max(norm(a - b) * norm(c - b), 1e-9);
        worstAngle = std::max(worstAngle, std::abs(cosine));
    }
    return {std::abs(area) / 2, longest / shortest <= 1.1 && worstAngle <= std::sin(5 * std::numbers::pi / 180)};
}

} // namespace

ShapeFit fitSquare(const ContrastPatch& patch, const std::vector<cv::Point2f>& rough, float reach)
{
    ShapeFit fit;
    const cv::RotatedRect box = cv::minAreaRect(rough);
    const double side = std::min(box.size.width, box.size.height);
    // The lines across all four sides first: a rim runs round all of them.
    const std::optional<SideLines> across = linesAcrossSides(patch, box, std::min(reach, float(0.25 * side)));
    if (!across)
        return fit;
    fit.blur = blurOf(across->crossings);
    const std::optional<FittedSides> sides = fittedSides(*across);
    if (!sides)
        return fit;
    const auto corners = cornersOf(sides->lines);
    if (!corners)
        return fit;
    const Quadrilateral shape = quadrilateral(*corners);
    fit.pixelArea = shape.area;
    fit.score = rms(sides->residuals) / std::sqrt(std::max(fit.pixelArea, 1.0));
    fit.fitted = shape.square && double(sides->kept) >= leastKeptShare * double(sides->attempted)
                 && fit.score <= std::max(loosestScore, loosestPixels / std::sqrt(std::max(fit.pixelArea, 1.0)));
    for (const cv::Point2d& corner : *corners)
        fit.outline.emplace_back(float(corner.x), float(corner.y));
    return fit;
}
