// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/analysis/Levels.h"

#include "cli/analysis/DiscEdge.h"
#include "counting/Thresholds.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// How far (the picture's own pixels) a disc's fit may read the picture
// round its rectangle: a rectangle dragged loosely round a coin on the
// picture lies a few pixels round it on the working image, and the lines
// across its edge reach 10 or more beyond it. (A large rectangle, averaged
// in blocks, reads as far in its own pixels, fewer averaged ones: a disc
// filling so large a rectangle closely is rare, and the picture's part cut
// for it stays small.)
constexpr int surroundPixels = 16;

using Histogram = std::array<std::int64_t, maxLevel + 1>;

// A pixel's level as the 16-bit images hold it.
std::uint16_t levelOfPixel(QRgb pixel) { return static_cast<std::uint16_t>(levelOf(fromQRgb(pixel))); }

// The levels of part as a 16-bit image (part must lie inside the surface),
// and their histogram, in one pass.
cv::Mat levelImage(const Surface& surface, const QRect& part, Histogram& histogram)
{
    histogram.fill(0);
    cv::Mat levels(part.height(), part.width(), CV_16UC1);
    for (int y = 0; y < part.height(); ++y) {
        const QRgb* source = surface.constScanLine(part.top() + y) + part.left();
        auto* target = levels.ptr<std::uint16_t>(y);
        for (int x = 0; x < part.width(); ++x) {
            const std::uint16_t level = levelOfPixel(source[x]);
            target[x] = level;
            ++histogram[level];
        }
    }
    return levels;
}

// Otsu's split: the level t that maximises the between-class variance of
// levels <= t and levels > t. (OpenCV's threshold would find the same on the
// level image, but makes a second pass and an output image for it.)
std::optional<int> otsuSplit(const Histogram& histogram)
{
    double total = 0, sum = 0;
    for (int level = 0; level <= maxLevel; ++level) {
        total += double(histogram[std::size_t(level)]);
        sum += double(level) * double(histogram[std::size_t(level)]);
    }
    double below = 0, belowSum = 0, best = -1;
    std::optional<int> split;
    for (int level = 0; level < maxLevel; ++level) {
        below += double(histogram[std::size_t(level)]);
        belowSum += double(level) * double(histogram[std::size_t(level)]);
        const double above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double difference = belowSum / below - (sum - belowSum) / above;
        const double between = below * above * difference * difference;
        if (between > best) {
            best = between;
            split = level;
        }
    }
    return split;
}

// Every pixel of the part's border once: top and bottom rows, then the
// columns between them.
Histogram borderHistogramOf(const cv::Mat& levels)
{
    Histogram histogram{};
    const int w = levels.cols, h = levels.rows;
    const auto add = [&](int x, int y) { ++histogram[levels.at<std::uint16_t>(y, x)]; };
    for (int x = 0; x < w; ++x) {
        add(x, 0);
        if (h > 1)
            add(x, h - 1);
    }
    for (int y = 1; y + 1 < h; ++y) {
        add(0, y);
        if (w > 1)
            add(w - 1, y);
    }
    return histogram;
}

// The lower median of the levels first .. last; none when there are none.
std::optional<int> medianOf(const Histogram& histogram, int first = 0, int last = maxLevel)
{
    std::int64_t total = 0;
    for (int level = first; level <= last; ++level)
        total += histogram[std::size_t(level)];
    if (total == 0)
        return std::nullopt;
    const std::int64_t half = (total + 1) / 2;
    std::int64_t seen = 0;
    for (int level = first; level <= last; ++level) {
        seen += histogram[std::size_t(level)];
        if (seen >= half)
            return level;
    }
    return last;
}

// The paper's noise along the border: from the differences between
// neighbouring border pixels, so that light falling off or a shadow across
// the border does not count as noise. 1.4826 x their median absolute value
// over sqrt 2 is the standard deviation of a normal noise.
double borderNoise(const cv::Mat& levels)
{
    Histogram differences{};
    const auto add = [&](int a, int b) { ++differences[std::size_t(std::abs(a - b))]; };
    const int w = levels.cols, h = levels.rows;
    const auto at = [&](int x, int y) { return int(levels.at<std::uint16_t>(y, x)); };
    for (int x = 1; x < w; ++x) {
        add(at(x, 0), at(x - 1, 0));
        add(at(x, h - 1), at(x - 1, h - 1));
    }
    for (int y = 1; y < h; ++y) {
        add(at(0, y), at(0, y - 1));
        add(at(w - 1, y), at(w - 1, y - 1));
    }
    return 1.4826 * medianOf(differences).value_or(0) / std::sqrt(2.0);
}

// The median level of the pixels of ring; none when it holds fewer than 20.
std::optional<int> ringMedian(const cv::Mat& levels, const cv::Mat& ring)
{
    if (cv::countNonZero(ring) < 20)
        return std::nullopt;
    cv::Mat counts;
    const int channels[] = {0};
    const int bins[] = {maxLevel + 1};
    const float range[] = {0, maxLevel + 1};
    const float* ranges[] = {range};
    cv::calcHist(&levels, 1, channels, ring, counts, 1, bins, ranges);
    Histogram histogram{};
    for (int level = 0; level <= maxLevel; ++level)
        histogram[std::size_t(level)] = std::llround(counts.at<float>(level));
    return medianOf(histogram);
}

// The parts of mask that hold some pixel beyond half way to the object:
// a shadow on the paper, lighter than that everywhere, is left out.
cv::Mat holdingObject(const cv::Mat& mask, const cv::Mat& levels, double halfWay, bool darker)
{
    cv::Mat labels, core;
    const int count = cv::connectedComponents(mask, labels, 8, CV_32S);
    cv::compare(levels, halfWay, core, darker ? cv::CMP_LT : cv::CMP_GT);
    std::vector<std::uint8_t> keep(std::size_t(count), 0);
    for (int y = 0; y < labels.rows; ++y) {
        const auto* label = labels.ptr<std::int32_t>(y);
        const auto* inCore = core.ptr<std::uint8_t>(y);
        for (int x = 0; x < labels.cols; ++x)
            if (inCore[x])
                keep[std::size_t(label[x])] = 1;
    }
    keep[0] = 0; // outside the mask
    cv::Mat kept(mask.size(), CV_8U);
    for (int y = 0; y < labels.rows; ++y) {
        const auto* label = labels.ptr<std::int32_t>(y);
        auto* out = kept.ptr<std::uint8_t>(y);
        for (int x = 0; x < labels.cols; ++x)
            out[x] = keep[std::size_t(label[x])] ? 255 : 0;
    }
    return kept;
}

// The edge's level is a median over thousands of pixels; a large rectangle
// is averaged down to about a quarter of a million pixels for it (blocks of k x k), which
// keeps a coin's rim of a photograph's own size several pixels wide.
AveragedLevels reducedForEdge(const cv::Mat& levels)
{
    constexpr double enough = 2.5e5;
    const double pixels = double(levels.rows) * levels.cols;
    if (pixels <= enough)
        return {levels, 1};
    const int k = int(std::ceil(std::sqrt(pixels / enough)));
    cv::Mat reduced;
    cv::resize(levels, reduced, cv::Size(), 1.0 / k, 1.0 / k, cv::INTER_AREA);
    return {reduced, k};
}

// The levels of part (levels, already taken) and of the picture round it,
// up to surroundPixels each way, averaged in blocks as reducedForEdge
// averages part's (the picture's margins taken in whole blocks, so the
// blocks line up).
Surround surroundOf(const Surface& surface, const QRect& part, const cv::Mat& levels, int blocks)
{
    const auto whole = [blocks](int pixels) { return std::min(pixels, surroundPixels) / blocks * blocks; };
    const int left = whole(part.left()), top = whole(part.top());
    const int right = whole(surface.width() - 1 - part.right());
    const int bottom = whole(surface.height() - 1 - part.bottom());
    const QRect grown = part.adjusted(-left, -top, right, bottom);
    cv::Mat round(grown.height(), grown.width(), CV_16UC1);
    const cv::Rect inside(left, top, part.width(), part.height());
    levels.copyTo(round(inside));
    for (int y = 0; y < round.rows; ++y) {
        const QRgb* source = surface.constScanLine(grown.top() + y) + grown.left();
        auto* target = round.ptr<std::uint16_t>(y);
        const auto take = [&](int from, int to) {
            for (int x = from; x < to; ++x)
                target[x] = levelOfPixel(source[x]);
        };
        if (y < inside.y || y >= inside.y + inside.height) {
            take(0, round.cols);
        } else {
            take(0, inside.x);
            take(inside.x + inside.width, round.cols);
        }
    }
    cv::Mat averaged = round;
    if (blocks > 1)
        cv::resize(round, averaged, cv::Size(), 1.0 / blocks, 1.0 / blocks, cv::INTER_AREA);
    return {{averaged, blocks}, cv::Point(-left / blocks, -top / blocks)};
}

// The object's level just inside its outline, past the blur of its edge:
// where a shape is lighter along its edge (a coin's rim) than inside, the
// limit must lie between the paper and that edge, not the inside.
//
//   1. The object's pixels, roughly: beyond a quarter of the way from the
//      background to the object's level.
//   2. The edge's blur: the pixels between a quarter and three quarters of
//      the way, per pixel of outline, is the width over which the level
//      changes.
//   3. The median level of the pixels lying 1.5 to 3 such widths inside the
//      outline (by their distance to the nearest pixel outside).
//
// A first pass assumes a sharp edge (width 1) from the object's median, a
// second measures the width against the level the first found, so the
// inside of a coin with a lighter rim does not count as blur. Under a blur
// of several pixels the first look still lies on the blurred edge, and so
// the second measures too narrow a width: each further pass measures it
// against the level the one before found, up to edgePasses in all, until
// the level settles (moves by no more than settledShare of the way from the
// background to the object, or a level). The first pass alone measures
// from the faint rim's side of the edge; the later ones need no mask of
// their own. The last level found where too few pixels lie that deep for
// another look (thin shapes: none at all).
constexpr int edgePasses = 8;
constexpr double settledShare = 0.01;

std::optional<int> edgeLevel(const cv::Mat& levels, int background, int object, double spread)
{
    const bool darker = object < background;
    const auto beyond = [&](double level, cv::Mat& mask) {
        cv::compare(levels, level, mask, darker ? cv::CMP_LT : cv::CMP_GT);
    };
    std::optional<int> edge;
    double width = 1;
    for (int pass = 0; pass < edgePasses; ++pass) {
        const int towards = edge.value_or(object);
        if (towards == background)
            break;
        cv::Mat inside, distance, ring;
        if (pass == 0) {
            // Nearer the background where its noise allows, to catch a faint rim.
            const double contrast = std::abs(object - background);
            const double reach = std::max(0.125 * contrast, std::min(0.25 * contrast, 6 * spread));
            beyond(background + (darker ? -reach : reach), inside);
            inside = holdingObject(inside, levels, (background + object) / 2.0, darker);
        } else {
            cv::Mat outer, core, eroded;
            beyond(background + (towards - background) * 0.25, outer);
            outer = holdingObject(outer, levels, (background + object) / 2.0, darker);
            beyond(background + (towards - background) * 0.75, core);
            cv::erode(outer, eroded, cv::Mat());
            const double outline = cv::countNonZero(outer) - cv::countNonZero(eroded);
            if (outline <= 0)
                break;
            width = std::max(1.0, (cv::countNonZero(outer) - cv::countNonZero(core)) / outline);
            inside = outer;
        }
        cv::distanceTransform(inside, distance, cv::DIST_L2, 3);
        cv::inRange(distance, 1 + 1.5 * width, 2 + 3 * width, ring);
        const std::optional<int> found = ringMedian(levels, ring);
        if (!found)
            break;
        // Between the background and the object's median, never beyond either.
        const int level = darker ? std::clamp(*found, object, background) : std::clamp(*found, background, object);
        const bool settled = edge
                             && std::abs(level - *edge) <= std::max(1.0, settledShare * std::abs(object - background));
        edge = level;
        if (settled)
            break;
    }
    // An edge nearer the background than a third of the way is a shadow's
    // or the paper's own, not the object's.
    if (edge && std::abs(*edge - background) < std::abs(object - background) / 3.0)
        return std::nullopt;
    return edge;
}

int levelAt(const Surface& surface, int x, int y) { return levelOf(surface.pixel(x, y)); }

} // namespace

int surroundReach() { return surroundPixels; }

QRect insidePart(const SelectionRect& rect, int width, int height)
{
    const qint64 left = std::max<qint64>(rect.left, 0), top = std::max<qint64>(rect.top, 0);
    const qint64 right = std::min<qint64>(rect.right, width), bottom = std::min<qint64>(rect.bottom, height);
    if (left >= right || top >= bottom)
        return {};
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

bool reachesOutside(const SelectionRect& rect, int width, int height)
{
    if (rect.isEmpty())
        return false;
    return rect.left < 0 || rect.top < 0 || rect.right > width || rect.bottom > height;
}

RectangleLevels rectangleLevels(const Surface& surface, const SelectionRect& rect, bool findEdge)
{
    RectangleLevels result;
    const QPoint centre = centreOf(rect);
    result.centre = levelAt(surface, centre.x(), centre.y());
    result.corner = levelAt(surface, rect.left, rect.top);
    const QRect part = insidePart(rect, surface.width(), surface.height());
    if (part.isEmpty())
        return result;

    Histogram all{};
    const cv::Mat levels = levelImage(surface, part, all);
    result.pixels = qint64(part.width()) * part.height();
    const Histogram border = borderHistogramOf(levels);
    result.background = medianOf(border);
    result.backgroundSpread = borderNoise(levels);

    result.split = otsuSplit(all);
    if (!result.split) // a single level
        return result;
    // The object is the class the background is not in.
    result.object = *result.background <= *result.split ? medianOf(all, *result.split + 1, maxLevel)
                                                        : medianOf(all, 0, *result.split);
    if (result.object)
        result.paper = PaperAcross([&levels](int x, int y) { return int(levels.at<std::uint16_t>(y, x)); }, levels.cols,
                                   levels.rows, *result.background, (*result.background + *result.object) / 2.0,
                                   *result.object < *result.background);
    if (result.object && findEdge) {
        const AveragedLevels reduced = reducedForEdge(levels);
        // A clean disc's level comes from the outline fitted to its edge;
        // any other shape's is looked for just inside its outline.
        const std::optional<DiscEdge> disc = discEdge(
            levels, reduced, [&] { return surroundOf(surface, part, levels, reduced.blocks); }, result.paper,
            *result.background, *result.object);
        result.discShadow = disc && disc->shadow;
        if (disc && !disc->shadow)
            result.discArea = disc->area;
        result.edge = disc && disc->level
                          ? disc->level
                          : edgeLevel(reduced.levels, *result.background, *result.object, result.backgroundSpread);
    }
    return result;
}

std::optional<double> robustLimitLevel(const RectangleLevels& levels, const RobustLimit& limit)
{
    if (!levels.background || !levels.object || !levels.split || *levels.object == *levels.background)
        return std::nullopt;
    if (levels.edge && *levels.edge == *levels.background)
        return std::nullopt;
    if (!limit.thresholdTenths) {
        // The classes are levels <= split and levels above: the limit lies between.
        return *levels.split + 0.5;
    }
    const double fraction = double(thresholdValue(*limit.thresholdTenths));
    const int object = levels.edge.value_or(*levels.object);
    return *levels.background + (object - *levels.background) * fraction;
}

std::optional<FollowedLimit> followedLimit(const RectangleLevels& levels, const RobustLimit& limit)
{
    const std::optional<double> at = robustLimitLevel(levels, limit);
    if (!at || levels.paper.even())
        return std::nullopt;
    // Of the way from the background to the level the limit was set against:
    // the threshold's own share, or where the split lies towards the object.
    const double share = limit.thresholdTenths
                             ? double(thresholdValue(*limit.thresholdTenths))
                             : std::clamp((*at - *levels.background) / (*levels.object - *levels.background), 0.0, 1.0);
    const bool above = *levels.object > *levels.background;
    return FollowedLimit{levels.paper, FollowedLimit::single(*at, above), float(1 - share), float(*levels.background),
                         above};
}

float FollowedLimit::single(double limit, bool above)
{
    const auto near = static_cast<float>(limit);
    if (above && double(near) > limit)
        return std::nextafter(near, -std::numeric_limits<float>::infinity());
    if (!above && double(near) < limit)
        return std::nextafter(near, std::numeric_limits<float>::infinity());
    return near;
}

void FollowedLimit::row(int y, std::vector<float>& out) const
{
    paper.row(y, out);
    for (float& level : out)
        level = limitAt(level);
}

LevelBand robustBand(const RectangleLevels& levels, const RobustLimit& limit)
{
    const std::optional<double> at = robustLimitLevel(levels, limit);
    if (!at)
        return {};
    if (*levels.object > *levels.background)
        return LevelBand{int(std::floor(*at)) + 1, maxLevel};
    return LevelBand{0, int(std::ceil(*at)) - 1};
}
