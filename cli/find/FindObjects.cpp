// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/FindObjects.h"

#include "cli/find/Pieces.h"
#include "cli/find/ReferenceCandidates.h"
#include "cli/find/RegionCount.h"
#include "cli/find/Regions.h"
#include "base/PlanixError.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// A shape narrower than this many pixels on average, or than this many times
// the blur of the reference's edge (one standard deviation), is thin.
constexpr double thinWidth = 6;
constexpr double blurWidths = 3.5;
// On a shrunk working image, a shape narrower than this many pixels is thin.
constexpr double shrunkWidth = 12;

bool touchesBorder(cv::Rect box, cv::Size size)
{
    return box.x <= 0 || box.y <= 0 || box.x + box.width >= size.width || box.y + box.height >= size.height;
}

// A kept shape's outlines as drawn, the largest outer outline first.
std::vector<QPolygon> outlineOf(std::vector<std::vector<cv::Point>> contours)
{
    std::stable_sort(contours.begin(), contours.end(),
                     [](const auto& a, const auto& b) { return cv::contourArea(a) > cv::contourArea(b); });
    std::vector<QPolygon> outline;
    for (const auto& contour : contours) {
        QPolygon polygon;
        for (const cv::Point& p : contour)
            polygon << QPoint(p.x, p.y);
        outline.push_back(polygon);
    }
    return outline;
}

// Where no region fits the reference's shape on the paper found first: the
// paper may be what lies round the largest stretch (the inside of a shape
// covering most of the picture); failing that too, a coin may touch another
// shape, on either paper.
std::pair<Finding, std::vector<Candidate>> referenceWhereNoneFits(const cv::Mat& picture, const ReducedCopy& reduced,
                                                                  Finding largest, ReferenceShape shape)
{
    Finding around = findRegions(picture, reduced, PaperStretch::LargestAround);
    if (auto candidates = referenceCandidates(around, shape); !candidates.empty() || shape != ReferenceShape::Disc)
        return {std::move(around), std::move(candidates)};
    if (auto candidates = touchingDiscCandidates(largest); !candidates.empty())
        return {std::move(largest), std::move(candidates)};
    auto candidates = touchingDiscCandidates(around);
    return {std::move(around), std::move(candidates)};
}

QRect toQRect(cv::Rect r) { return {r.x, r.y, r.width, r.height}; }

// A part of a region whose pixels were counted on fewer than this share is
// no part of what was counted.
constexpr float uncountedShare = 0.02F;

// Gives the cells (CV_8U over the region's box) a label of their own, taken
// from label.
void splitOff(Finding& found, int label, const cv::Mat& cells)
{
    const cv::Rect box = regionBox(found, label);
    const int split = found.stats.rows;
    found.labels(box).setTo(split, cells);
    const cv::Rect bounds = cv::boundingRect(cells) + box.tl();
    cv::Mat row = (cv::Mat_<int>(1, 5) << bounds.x, bounds.y, bounds.width, bounds.height, cv::countNonZero(cells));
    found.stats.push_back(row);
    found.enclosed.push_back(false);
}

// Where the reduced copy joined a paler shape to a darker one a few pixels
// away (the ring of one reduced pixel that regions are grown by bridging the
// gap), the region's colour counts only the darker. Each part of the region
// whose reduced pixels stand out themselves, lying apart from the other
// parts, with almost nothing counted in it, becomes a region of its own
// (with the ring round it that no other part reaches), to be counted against
// its own colour. Parts holding the reference, and parts of fewer than
// leastCells reduced pixels, stay. Returns whether any part was split off.
bool splitOffUncounted(Finding& found, int label, const Measured& measured, cv::Rect referenceCells, double leastCells)
{
    const cv::Rect box = regionBox(found, label);
    const cv::Mat region = found.labels(box) == label;
    const cv::Mat standing = region & (found.paper.distance(box) > found.standOutLimit);
    cv::Mat parts, stats, centroids;
    const int count = cv::connectedComponentsWithStats(standing, parts, stats, centroids, 8, CV_32S);
    if (count < 3)
        return false; // the background and a single part
    std::vector<double> countedIn(std::size_t(count), 0);
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            countedIn[std::size_t(parts.at<int>(y, x))] += measured.counted.at<float>(y, x);
    const cv::Rect reference = (referenceCells & box) - box.tl();
    const cv::Mat ring = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
    std::vector<cv::Mat> apart;
    cv::Mat reachOfCounted(box.size(), CV_8U, cv::Scalar(0));
    for (int part = 1; part < count; ++part) {
        const double area = stats.at<int>(part, cv::CC_STAT_AREA);
        const bool counted = countedIn[std::size_t(part)] >= uncountedShare * area;
        const cv::Mat own = parts == part;
        const bool holdsReference = !reference.empty() && cv::countNonZero(own(reference)) > 0;
        cv::Mat reach;
        cv::dilate(own, reach, ring);
        if (counted || holdsReference || area < leastCells)
            reachOfCounted |= reach;
        else
            apart.push_back(reach & region);
    }
    if (apart.empty() || cv::countNonZero(reachOfCounted) == 0)
        return false;
    cv::Mat taken = reachOfCounted;
    for (const cv::Mat& reach : apart) {
        const cv::Mat cells = reach & ~taken;
        if (cv::countNonZero(cells) == 0)
            continue;
        splitOff(found, label, cells);
        taken |= cells;
    }
    return true;
}

// The reference as found: the best candidate's fitted outline and area, and
// whether another candidate fits about as well or the outline may hold a
// shadow.
void takeReference(const std::vector<Candidate>& candidates, ReferenceShape shape, FindResult& result)
{
    const Candidate& best = candidates.front();
    result.reference.shape = shape;
    result.reference.pixelArea = best.fit.pixelArea;
    for (const cv::Point2f& p : best.fit.outline)
        result.reference.outline << QPointF(p.x, p.y);
    result.reference.box = result.reference.outline.boundingRect().toAlignedRect();
    result.referenceAmbiguous = candidates.size() > 1 && candidates[1].fit.score <= 2 * best.fit.score + 0.004;
    result.referenceShadow = best.fit.outlineDoubtful || best.fit.rimBlurredIntoEdge;
}

// How the regions are counted and which of their shapes are objects, once
// the reference is known.
struct ObjectRules {
    double unitsPerDot = 0; // the reference's unit of area per picture pixel
    double pixelArea = 0;   // picture pixels per reduced pixel
    double minArea = 0;     // in the reference's unit
    std::int64_t fewestDots = 0;
    double thin = 0; // a shape narrower than this (in pixels) is thin
    double blur = 0; // of the reference's edge
    int referenceLabel = 0;
    ReferenceInRegion reference;
    cv::Rect referenceCells; // the reduced pixels round the reference
};

ObjectRules objectRules(const Finding& found, const Candidate& best, const FindSettings& settings)
{
    ObjectRules rules;
    rules.unitsPerDot = settings.referenceArea / best.fit.pixelArea;
    rules.pixelArea = found.scaleX * found.scaleY;
    rules.minArea = settings.minArea;
    rules.fewestDots = std::int64_t(std::floor(settings.minArea / rules.unitsPerDot));
    // Blur spreads a shape only a few pixels wide, or not much wider than the
    // blur itself, over the paper beside it, and no limit halfway between the
    // two colours counts it true.
    rules.thin = std::max({thinWidth, blurWidths * best.fit.blur, settings.shrunk ? shrunkWidth : 0.0});
    rules.blur = best.fit.blur;
    rules.referenceLabel = best.label;
    rules.reference = referenceInRegion(best.fit);
    const int margin = rules.reference.margin;
    rules.referenceCells = reducedBox(found, cv::boundingRect(rules.reference.outline)
                                                 + cv::Size(2 * margin, 2 * margin) - cv::Point(margin, margin));
    return rules;
}

// Whether a region may hold an object at all: not the paper seen through a
// hole, and (its reduced area including its blurred rim) not so small that
// nothing in it can be large enough.
bool mayHoldObject(const Finding& found, int label, const ObjectRules& rules)
{
    if (found.enclosed[std::size_t(label)])
        return false;
    return label == rules.referenceLabel
           || found.stats.at<int>(label, cv::CC_STAT_AREA) * rules.pixelArea * rules.unitsPerDot > rules.minArea / 4;
}

// A region counted against its own colour (the reference left out of the
// region it lies in), and counted again without a paler shape split off
// from it; none where it shows too little.
std::optional<Measured> measuredRegion(Finding& found, int label, const ObjectRules& rules)
{
    const bool holdsReference = label == rules.referenceLabel;
    const cv::Rect leaveOut = holdsReference ? rules.referenceCells : cv::Rect();
    const auto measure = [&]() -> std::optional<Measured> {
        const auto colour = regionColour(found, label, leaveOut);
        if (!colour)
            return std::nullopt;
        return measureRegion(found, label, *colour, rules.blur, rules.thin,
                             holdsReference ? rules.reference : ReferenceInRegion());
    };
    std::optional<Measured> measured = measure();
    if (measured && measured->faintBeside
        && splitOffUncounted(found, label, *measured, leaveOut,
                             rules.minArea / 4 / (rules.pixelArea * rules.unitsPerDot)))
        measured = measure();
    return measured;
}

// The objects of a counted region: shapes lying near each other, or near the
// reference, make one region on the reduced copy, and each is an object of
// its own if it is larger than the smallest area.
void addObjects(const Measured& measured, const Finding& found, const ObjectRules& rules,
                std::vector<FoundObject>& objects)
{
    for (Measured& piece : piecesOf(measured, rules.fewestDots)) {
        const double area = double(piece.dots) * rules.unitsPerDot;
        if (area <= rules.minArea)
            continue;
        FoundObject object;
        object.dots = piece.dots;
        object.area = area;
        object.box = toQRect(piece.box);
        object.touchesEdge = touchesBorder(piece.box, found.picture.size());
        object.outline = outlineOf(std::move(piece.contours));
        object.thin = piece.width < rules.thin;
        object.faintBeside = piece.faintBeside;
        object.againstReference = piece.againstReference;
        objects.push_back(std::move(object));
    }
}

// The objects numbered in reading order.
std::vector<FoundObject> numberedInReadingOrder(std::vector<FoundObject> objects)
{
    std::vector<QRect> boxes;
    for (const FoundObject& object : objects)
        boxes.push_back(object.box);
    std::vector<FoundObject> numbered;
    for (const int index : readingOrder(boxes)) {
        numbered.push_back(std::move(objects[std::size_t(index)]));
        numbered.back().number = int(numbered.size());
    }
    return numbered;
}

// The regions, the reference and the objects of a picture of 32-bit pixels
// and its reduced copy.
FindResult foundOn(const QImage& picture, const ReducedCopy& reduced, const FindSettings& settings)
{
    const cv::Mat wrapped(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
                          std::size_t(picture.bytesPerLine()));
    Finding found = findRegions(wrapped, reduced, PaperStretch::Largest);
    std::vector<Candidate> candidates = referenceCandidates(found, settings.shape);
    if (candidates.empty())
        std::tie(found, candidates) = referenceWhereNoneFits(wrapped, reduced, std::move(found), settings.shape);
    if (candidates.empty())
        throw PlanixError(QStringLiteral("no reference found"));
    FindResult result;
    takeReference(candidates, settings.shape, result);
    // Objects: the shapes of every other region larger than the smallest area.
    const ObjectRules rules = objectRules(found, candidates.front(), settings);
    std::vector<FoundObject> objects;
    for (int label = 1; label < found.stats.rows; ++label) {
        if (!mayHoldObject(found, label, rules))
            continue;
        if (const std::optional<Measured> measured = measuredRegion(found, label, rules))
            addObjects(*measured, found, rules, objects);
    }
    result.objects = numberedInReadingOrder(std::move(objects));
    return result;
}

} // namespace

void analyseOnCallingThreads() { cv::setNumThreads(0); }

std::vector<int> readingOrder(const std::vector<QRect>& boxes)
{
    std::vector<int> byTop(boxes.size());
    std::iota(byTop.begin(), byTop.end(), 0);
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](int a, int b) { return boxes[std::size_t(a)].top() < boxes[std::size_t(b)].top(); });
    std::vector<bool> placed(boxes.size(), false);
    std::vector<int> order;
    for (const int first : byTop) {
        if (placed[std::size_t(first)])
            continue;
        const QRect& head = boxes[std::size_t(first)];
        std::vector<int> row;
        for (const int other : byTop) {
            const QRect& box = boxes[std::size_t(other)];
            const int middle2 = box.top() + box.bottom(); // twice the middle
            if (!placed[std::size_t(other)] && middle2 >= 2 * head.top() && middle2 <= 2 * head.bottom()) {
                row.push_back(other);
                placed[std::size_t(other)] = true;
            }
        }
        if (!placed[std::size_t(first)]) { // its own middle always lies within it, unless empty
            row.push_back(first);
            placed[std::size_t(first)] = true;
        }
        std::stable_sort(row.begin(), row.end(),
                         [&](int a, int b) { return boxes[std::size_t(a)].left() < boxes[std::size_t(b)].left(); });
        order.insert(order.end(), row.begin(), row.end());
    }
    return order;
}

FindResult findObjects(const QImage& picture, const FindSettings& settings)
{
    const QImage pixels = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    return findObjects(pixels, reducedCopyOf(pixels), settings);
}

FindResult findObjects(const QImage& picture, const ReducedCopy& reduced, const FindSettings& settings)
{
    // Too small to hold a reference: an empty picture (a file that holds no
    // rows, or a working image a few rows high shrunk to none) among them.
    if (picture.width() < 8 || picture.height() < 8)
        throw PlanixError(QStringLiteral("no reference found"));
    const bool bits32 = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    if (!bits32 || !reduced.complete() || reduced.pictureWidth() != picture.width()
        || reduced.pictureHeight() != picture.height())
        return findObjects(picture, settings);
    // Nor one so long and thin that its reduced copy has hardly a row.
    if (reduced.width() < 8 || reduced.height() < 8)
        throw PlanixError(QStringLiteral("no reference found"));
    try {
        return foundOn(picture, reduced, settings);
    } catch (const cv::Exception& error) { // a picture the analysis cannot take, not the batch's end
        throw PlanixError(
            QStringLiteral("the picture could not be searched: %1").arg(QString::fromStdString(error.err)));
    }
}
