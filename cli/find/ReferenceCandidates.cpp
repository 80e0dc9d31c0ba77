// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReferenceCandidates.h"

#include "cli/find/FaintRim.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A reference takes at least this many pixels, and at most this share of the
// picture.
constexpr double smallestReference = 200;
constexpr double largestReferenceShare = 1.0 / 6;
// Reference candidates fitted closely, best first by the rough outline.
constexpr std::size_t candidatesFitted = 6;
// Where no region's outline fits a disc: the widest circles tried in each
// region, and the corners of each circle's rough outline.
constexpr std::size_t circlesTried = 3;
constexpr int circleCorners = 48;
// ... each lying along the core's edge (ending within this many reduced
// pixels beyond it) for at least this share of its outline, with a piece of
// the core beside it of at least this share of its area (the shape it
// touches, not the ragged rim of a blob of noise).
constexpr float edgeReach = 1.5F;
constexpr double leastAlongEdge = 0.5;
constexpr double touchingShare = 0.2;
// A disc found that way must fit its edge points this closely (RMS over its
// radius), however small: a ragged blob of noise fits a circle loosely.
constexpr double loosestTouchingScore = 0.01;

// Each pixel of box: its share of the region's colour, for the fit of the
// reference's outline.
ContrastPatch contrastPatch(const Finding& found, cv::Rect box, const cv::Vec3f& colour)
{
    // Not smoothed: the fit samples across its lines instead, which keeps
    // the edge as sharp as the picture has it.
    const cv::Mat smooth = smoothedPatch(found.picture, box, CV_32F, 0);
    const cv::Vec3f weights = contrastWeights(colour);
    ContrastPatch patch{cv::Mat(box.size(), CV_32F), box.tl()};
    for (int y = 0; y < box.height; ++y) {
        const auto* level = found.inverseLevel.ptr<cv::Vec3f>(rowOf(found, box.y + y));
        const auto* pixel = smooth.ptr<cv::Vec4f>(y);
        auto* out = patch.values.ptr<float>(y);
        for (int x = 0; x < box.width; ++x)
            out[x] = shareOfColour(pixel[x], level[found.columnOf[std::size_t(box.x + x)]], weights);
    }
    return patch;
}

// A region's core on the reduced copy, over its box: where it shows at least
// a third of its own colour, so a faint halo round it, or a shadow it
// touches, is left out.
cv::Mat coreOf(const Finding& found, int label, const cv::Vec3f& colour)
{
    const cv::Rect box = regionBox(found, label);
    const cv::Vec3f weights = contrastWeights(colour);
    cv::Mat core(box.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            const cv::Point at(box.x + x, box.y + y);
            if (found.labels.at<int>(at) == label
                && shareOfPaper(found.reduced.at<cv::Vec3f>(at), found.inverseLevel.at<cv::Vec3f>(at)).dot(weights)
                       > 1.F / 3)
                core.at<std::uint8_t>(y, x) = 255;
        }
    return core;
}

// A point of the region's box on the reduced copy in picture coordinates
// (the reduced pixel's centre).
cv::Point2f onPicture(const Finding& found, cv::Rect box, cv::Point2f p)
{
    return {float((box.x + p.x + 0.5) * found.scaleX - 0.5), float((box.y + p.y + 0.5) * found.scaleY - 0.5)};
}

// The outer outlines of a region's core, in picture coordinates.
std::vector<std::vector<cv::Point2f>> coreOutlines(const Finding& found, int label, const cv::Mat& core)
{
    const cv::Rect box = regionBox(found, label);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(core, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    std::vector<std::vector<cv::Point2f>> outlines;
    for (const auto& contour : contours) {
        std::vector<cv::Point2f> outline;
        for (const cv::Point& p : contour)
            outline.push_back(onPicture(found, box, cv::Point2f(p)));
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

// A circle inside a region's core: its centre and radius (reduced pixels,
// in the region's box), and the share of its outline along which the core
// ends just beyond it.
struct Inside {
    cv::Point centre;
    float radius;
    double alongEdge;
};

// The core with its holes filled (a coin's highlight or light relief).
cv::Mat filledCore(const cv::Mat& core)
{
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(core, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    cv::Mat filled(core.size(), CV_8U, cv::Scalar(0));
    cv::drawContours(filled, contours, -1, cv::Scalar(255), cv::FILLED);
    return filled;
}

// The share of a circle's outline along which the core ends within a pixel
// and a half beyond it.
double shareAlongEdge(const cv::Mat& filled, cv::Point centre, float radius)
{
    int outside = 0;
    for (int i = 0; i < circleCorners; ++i) {
        const double angle = 2 * std::numbers::pi * i / circleCorners;
        const cv::Point p(int(std::lround(centre.x + (radius + edgeReach) * std::cos(angle))),
                          int(std::lround(centre.y + (radius + edgeReach) * std::sin(angle))));
        if (!cv::Rect(0, 0, filled.cols, filled.rows).contains(p) || filled.at<std::uint8_t>(p) == 0)
            ++outside;
    }
    return double(outside) / circleCorners;
}

// The area (reduced pixels) of the largest piece of the core left beside a
// circle once the circle and its edge are taken out of it.
double largestBeside(const cv::Mat& filled, cv::Point centre, float radius)
{
    cv::Mat rest = filled.clone();
    cv::circle(rest, centre, int(std::ceil(radius + edgeReach)) + 1, cv::Scalar(0), cv::FILLED);
    cv::Mat labels, stats, centroids;
    const int pieces = cv::connectedComponentsWithStats(rest, labels, stats, centroids, 8, CV_32S);
    int largest = 0;
    for (int piece = 1; piece < pieces; ++piece)
        largest = std::max(largest, stats.at<int>(piece, cv::CC_STAT_AREA));
    return largest;
}

// The widest circles inside a region's core (the peaks of its distance from
// the core's edge, widest first, none inside another) that lie along the
// core's edge for most of their outline, with a shape of some size beside
// them: where a coin touches another shape, the two make one region
// whose outline is no disc, but the coin is still the widest circle in its
// own part of it, and that part's edge is the coin's.
std::vector<Inside> widestCircles(const Finding& found, const cv::Mat& core)
{
    const cv::Mat filled = filledCore(core);
    cv::Mat bordered, distance, grown;
    cv::copyMakeBorder(filled, bordered, 1, 1, 1, 1, cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::distanceTransform(bordered, distance, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    cv::dilate(distance, grown, cv::Mat());
    const double least = std::sqrt(smallestReference / std::numbers::pi) / std::max(found.scaleX, found.scaleY);
    std::vector<std::pair<float, cv::Point>> peaks;
    for (int y = 1; y + 1 < distance.rows; ++y)
        for (int x = 1; x + 1 < distance.cols; ++x)
            if (const float d = distance.at<float>(y, x); d >= least && d >= grown.at<float>(y, x))
                peaks.emplace_back(d, cv::Point(x - 1, y - 1));
    std::stable_sort(peaks.begin(), peaks.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<Inside> kept;
    for (const auto& [radius, centre] : peaks) {
        if (kept.size() == circlesTried)
            break;
        const bool apart = std::none_of(kept.begin(), kept.end(), [&, c = centre](const Inside& k) {
            return cv::norm(k.centre - c) < double(k.radius);
        });
        if (!apart || largestBeside(filled, centre, radius) < touchingShare * std::numbers::pi * radius * radius)
            continue;
        if (const double along = shareAlongEdge(filled, centre, radius); along >= leastAlongEdge)
            kept.push_back({centre, radius, along});
    }
    return kept;
}

// A region's outline roughly of the reference's shape: how far its fill is
// from that shape's, which region, the outline (in picture coordinates) and
// the region's colour.
struct Rough {
    double error;
    int label;
    std::vector<cv::Point2f> outline;
    cv::Vec3f colour;
};

// Each region that may hold the reference: not in a hole, large enough, and
// of a colour of its own; with its colour.
std::vector<std::pair<int, cv::Vec3f>> possibleRegions(const Finding& found)
{
    const double pixelArea = found.scaleX * found.scaleY;
    std::vector<std::pair<int, cv::Vec3f>> regions;
    for (int label = 1; label < found.stats.rows; ++label) {
        if (found.enclosed[std::size_t(label)]
            || found.stats.at<int>(label, cv::CC_STAT_AREA) * pixelArea < smallestReference)
            continue;
        if (const auto colour = regionColour(found, label))
            regions.emplace_back(label, *colour);
    }
    return regions;
}

// Whether an outline of that area has a reference's size and lies wholly
// on the picture.
bool plausibleOutline(const Finding& found, const std::vector<cv::Point2f>& outline, double area)
{
    const cv::Rect bounds = cv::boundingRect(outline);
    const cv::Rect inside(1, 1, found.picture.cols - 2, found.picture.rows - 2);
    return area >= smallestReference && area <= largestReferenceShare * double(found.picture.cols) * found.picture.rows
           && (bounds & inside) == bounds;
}

// The regions' core outlines that roughly fit shape.
std::vector<Rough> roughOutlines(const Finding& found, ReferenceShape shape)
{
    std::vector<Rough> rough;
    for (const auto& [label, colour] : possibleRegions(found))
        for (std::vector<cv::Point2f>& outline : coreOutlines(found, label, coreOf(found, label, colour))) {
            const double area = cv::contourArea(outline);
            if (!plausibleOutline(found, outline, area))
                continue;
            const bool fits = shape == ReferenceShape::Disc ? roughlyDisc(outline)
                                                            : roughlySquare(outline, found.scaleX);
            if (!fits)
                continue;
            const double whole = shape == ReferenceShape::Disc ? area : double(cv::minAreaRect(outline).size.area());
            rough.push_back({std::abs(1 - area / std::max(whole, 1.0)), label, std::move(outline), colour});
        }
    return rough;
}

// The widest circles in the regions' cores (see widestCircles), those
// along the core's edge most first.
std::vector<Rough> roughCircles(const Finding& found)
{
    std::vector<Rough> rough;
    for (const auto& [label, colour] : possibleRegions(found)) {
        const cv::Rect box = regionBox(found, label);
        for (const Inside& circle : widestCircles(found, coreOf(found, label, colour))) {
            std::vector<cv::Point2f> outline;
            for (int i = 0; i < circleCorners; ++i) {
                const double angle = 2 * std::numbers::pi * i / circleCorners;
                outline.push_back(onPicture(found, box,
                                            cv::Point2f(float(circle.centre.x + circle.radius * std::cos(angle)),
                                                        float(circle.centre.y + circle.radius * std::sin(angle)))));
            }
            if (plausibleOutline(found, outline, cv::contourArea(outline)))
                rough.push_back({1 - circle.alongEdge, label, std::move(outline), colour});
        }
    }
    return rough;
}

// Widens the best disc to a faint rim beyond its fitted edge, looked for on
// the picture round it.
void takeFaintRim(const Finding& found, std::vector<Candidate>& discs)
{
    if (discs.empty())
        return;
    ShapeFit& fit = discs.front().fit;
    const AreaCircle circle = circleOfArea(fit.outline);
    const int reach = int(std::ceil(circle.radius + faintRimReach(circle.radius, fit.blur))) + 2;
    const cv::Rect box = cv::Rect(int(std::floor(circle.centre.x)) - reach, int(std::floor(circle.centre.y)) - reach,
                                  2 * reach + 1, 2 * reach + 1)
                         & cv::Rect(0, 0, found.picture.cols, found.picture.rows);
    if (!box.empty())
        widenedToFaintRim(contrastPatch(found, box, discs.front().colour), fit.blur, fit);
}

// The rough outlines fitted closely (the best few by the rough outline), the
// best fit first; a disc's rim looked for as search says, and its circle
// fitted through the edge points as points says.
std::vector<Candidate> fittedCandidates(const Finding& found, ReferenceShape shape, std::vector<Rough> rough,
                                        RimSearch search = RimSearch::AroundSteepest,
                                        DiscPoints points = DiscPoints::All)
{
    std::sort(rough.begin(), rough.end(), [](const Rough& a, const Rough& b) { return a.error < b.error; });
    if (rough.size() > candidatesFitted)
        rough.resize(candidatesFitted);
    std::vector<Candidate> fitted;
    // The rough outline follows the reduced copy's pixels, and a lighter
    // rim may lie outside it: the edge is looked for this far either way.
    const float reach = float(4 + 3 * std::max(found.scaleX, found.scaleY));
    // The lines across the edge start reach beyond the circle of the rough
    // outline's area, about its centre, which can lie a reduced pixel off
    // the middle of the outline's box: the patch reaches that much further.
    const int margin = int(reach) + 4 + int(std::ceil(std::max(found.scaleX, found.scaleY)));
    for (const Rough& candidate : rough) {
        const cv::Rect box = (cv::boundingRect(candidate.outline) + cv::Size(2 * margin, 2 * margin)
                              - cv::Point(margin, margin))
                             & cv::Rect(0, 0, found.picture.cols, found.picture.rows);
        const ContrastPatch patch = contrastPatch(found, box, candidate.colour);
        ShapeFit fit = shape == ReferenceShape::Disc ? fitDisc(patch, candidate.outline, reach, search, points)
                                                     : fitSquare(patch, candidate.outline, reach);
        if (fit.fitted)
            fitted.push_back({candidate.label, std::move(fit), candidate.colour});
    }
    std::sort(fitted.begin(), fitted.end(),
              [](const Candidate& a, const Candidate& b) { return a.fit.score < b.fit.score; });
    return fitted;
}

} // namespace

std::vector<Candidate> referenceCandidates(const Finding& found, ReferenceShape shape)
{
    const std::vector<Rough> rough = roughOutlines(found, shape);
    std::vector<Candidate> fitted = fittedCandidates(found, shape, rough);
    // A light coin's faint rim can leave its outline fitting no circle: a
    // highlight on the rim's inner edge moves the steepest rise further in
    // along some lines, and a wide rim shows only along the lines where its
    // inner step rises most. Where no disc fits, the rims are looked for
    // wider, then further inward too.
    for (const RimSearch search : {RimSearch::Wider, RimSearch::FurtherIn})
        if (fitted.empty() && shape == ReferenceShape::Disc)
            fitted = fittedCandidates(found, shape, rough, search);
    // A coin's shadow, darker than the paper by a good share of the coin's
    // contrast, can take in so much of its outline that no circle fits it
    // all: the coin's own arc is fitted alone (and the reference warned).
    if (fitted.empty() && shape == ReferenceShape::Disc)
        fitted = fittedCandidates(found, shape, rough, RimSearch::AroundSteepest, DiscPoints::LeavingOutASide);
    if (shape == ReferenceShape::Disc)
        takeFaintRim(found, fitted);
    return fitted;
}

std::vector<Candidate> touchingDiscCandidates(const Finding& found)
{
    std::vector<Candidate> fitted = fittedCandidates(found, ReferenceShape::Disc, roughCircles(found));
    std::erase_if(fitted, [](const Candidate& candidate) { return candidate.fit.score > loosestTouchingScore; });
    // Something lies against a disc found this way, and its outline may
    // hold part of it.
    for (Candidate& candidate : fitted)
        candidate.fit.outlineDoubtful = true;
    takeFaintRim(found, fitted);
    return fitted;
}
