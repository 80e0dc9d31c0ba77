// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/FindObjects.h"

#include "cli/find/Median.h"
#include "cli/find/Paper.h"
#include "cli/find/ReferenceFit.h"
#include "base/PlanixError.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <optional>
#include <span>
#include <utility>

namespace {

// A region stands out from the paper by this many standard deviations of the
// paper's (smoothed) noise, and at least by this many levels.
constexpr float standOutDeviations = 6;
constexpr float standOutLevels = 8;
// A region whose own colour differs from the paper's by less than this share
// of the paper's level (over the three channels together) is a stain or an
// unevenness of the light, not a shape.
constexpr float faintestRegion = 0.1F;
// The smoothing (sigma, pixels) on the picture itself before a pixel is
// weighed against its region's colour.
constexpr double pictureSmoothing = 1.0;
// A reference takes at least this many pixels, and at most this share of the
// picture.
constexpr double smallestReference = 200;
constexpr double largestReferenceShare = 1.0 / 6;
// Reference candidates fitted closely, best first by the rough outline.
constexpr std::size_t candidatesFitted = 6;
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
// The pixels a shape reaches (those counted, and those showing at least this
// share of its colour) are pooled in blocks of this many pixels a side, and
// those in touching blocks belong to one shape: a line broken by noise, or
// a tip too faint to count, stays one, while a gap of paper 6 pixels wide
// parts two shapes.
constexpr float reachShare = 0.25F;
constexpr int pieceBlock = 3;
// Round a reference lying in a region, its blurred edge is left out with it:
// this many pixels beyond its fitted outline, and this many times the blur
// of its edge (one standard deviation).
constexpr int referenceMargin = 3;
constexpr double referenceBlurs = 3;
// A shape narrower than this many pixels on average, or than this many times
// the blur of the reference's edge (one standard deviation), is thin.
constexpr double thinWidth = 6;
constexpr double blurWidths = 3.5;
// On a shrunk working image, a shape narrower than this many pixels is thin.
constexpr double shrunkWidth = 12;

// The picture and its reduced copy, where regions are found.
struct Finding {
    cv::Mat picture;               // CV_8UC4 (B, G, R, unused), the caller's pixels
    cv::Mat reduced;               // CV_32FC3
    double scaleX = 1, scaleY = 1; // picture pixels per reduced pixel
    PaperModel paper;
    cv::Mat inverseLevel; // CV_32FC3: 1 / the paper's level, channel by channel
    cv::Mat labels;       // CV_32S regions on the reduced copy, 0 for paper
    cv::Mat stats;
    cv::Mat standOut;           // CV_32F: smoothed distance from the paper
    float standOutLimit = 0;    // beyond which a pixel stands out
    std::vector<bool> enclosed; // by label: lying in a hole of another region
    std::vector<int> columnOf;  // reduced column of each picture column
};

// Which regions lie in the hole of another (the paper seen through a leaf's
// hole, a little darker than the level guessed for it there): those whose
// surroundings are not the open paper reaching the picture's border (or,
// when none does, the largest stretch of paper).
std::vector<bool> enclosedRegions(const cv::Mat& labels, int count)
{
    cv::Mat paperLabels, stats, centroids;
    const int stretches = cv::connectedComponentsWithStats(labels == 0, paperLabels, stats, centroids, 4, CV_32S);
    std::vector<bool> open(std::size_t(std::max(stretches, 1)), false);
    int largest = 0;
    for (int i = 1; i < stretches; ++i) {
        const int left = stats.at<int>(i, cv::CC_STAT_LEFT), top = stats.at<int>(i, cv::CC_STAT_TOP);
        open[std::size_t(i)] = left == 0 || top == 0 || left + stats.at<int>(i, cv::CC_STAT_WIDTH) == labels.cols
                               || top + stats.at<int>(i, cv::CC_STAT_HEIGHT) == labels.rows;
        if (largest == 0 || stats.at<int>(i, cv::CC_STAT_AREA) > stats.at<int>(largest, cv::CC_STAT_AREA))
            largest = i;
    }
    if (std::none_of(open.begin(), open.end(), [](bool o) { return o; }) && largest > 0)
        open[std::size_t(largest)] = true;
    std::vector<bool> enclosed(std::size_t(count), true);
    for (int y = 0; y < labels.rows; ++y)
        for (int x = 0; x < labels.cols; ++x) {
            const int label = labels.at<int>(y, x);
            if (label == 0 || !enclosed[std::size_t(label)])
                continue;
            const auto openAt = [&](int nx, int ny) {
                return nx >= 0 && ny >= 0 && nx < labels.cols && ny < labels.rows
                       && open[std::size_t(paperLabels.at<int>(ny, nx))];
            };
            if (openAt(x - 1, y) || openAt(x + 1, y) || openAt(x, y - 1) || openAt(x, y + 1))
                enclosed[std::size_t(label)] = false;
        }
    return enclosed;
}

// Regions are found on the reduced copy; each is then measured on the picture
// itself.
Finding findRegions(const cv::Mat& picture, const ReducedCopy& reduced, PaperStretch paperStretch)
{
    Finding found;
    found.picture = picture;
    found.reduced = cv::Mat(reduced.height(), reduced.width(), CV_32FC3, const_cast<float*>(reduced.pixels().data()));
    found.scaleX = found.scaleY = reduced.step();
    found.paper = fitPaper(found.reduced, paperStretch);
    cv::max(found.paper.level, 1.0, found.inverseLevel);
    cv::divide(1.0, found.inverseLevel, found.inverseLevel);

    cv::GaussianBlur(found.paper.distance, found.standOut, cv::Size(0, 0), 1.0);
    const float noise = medianWhere(found.standOut, found.paper.paper) / 1.54F;
    found.standOutLimit = std::max(standOutDeviations * noise, standOutLevels);
    cv::Mat foreground;
    cv::compare(found.standOut, found.standOutLimit, foreground, cv::CMP_GT);
    // Regions reach one reduced pixel beyond what stands out, so that a
    // shape's blurred rim is theirs, and bits of one shape a pixel apart
    // (where a stalk meets its blade) stay one region.
    cv::dilate(foreground, foreground, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(foreground, found.labels, found.stats, centroids, 8, CV_32S);
    found.enclosed = enclosedRegions(found.labels, count);

    found.columnOf.resize(std::size_t(picture.cols));
    for (int x = 0; x < picture.cols; ++x)
        found.columnOf[std::size_t(x)] = std::min(reduced.width() - 1, int(x / found.scaleX));
    return found;
}

int rowOf(const Finding& found, int y) { return std::min(found.reduced.rows - 1, int(y / found.scaleY)); }

cv::Rect regionBox(const Finding& found, int label)
{
    return {found.stats.at<int>(label, cv::CC_STAT_LEFT), found.stats.at<int>(label, cv::CC_STAT_TOP),
            found.stats.at<int>(label, cv::CC_STAT_WIDTH), found.stats.at<int>(label, cv::CC_STAT_HEIGHT)};
}

// The region's box on the picture, grown by margin picture pixels and kept
// inside it.
cv::Rect pictureBox(const Finding& found, cv::Rect reduced, int margin)
{
    const int left = int(std::floor(reduced.x * found.scaleX)) - margin;
    const int top = int(std::floor(reduced.y * found.scaleY)) - margin;
    const int right = int(std::ceil((reduced.x + reduced.width) * found.scaleX)) + margin;
    const int bottom = int(std::ceil((reduced.y + reduced.height) * found.scaleY)) + margin;
    return cv::Rect(cv::Point(left, top), cv::Point(right, bottom))
           & cv::Rect(0, 0, found.picture.cols, found.picture.rows);
}

// The reduced pixels a box of the picture covers, and one more round them.
cv::Rect reducedBox(const Finding& found, cv::Rect box)
{
    const int left = int(std::floor(box.x / found.scaleX)) - 1, top = int(std::floor(box.y / found.scaleY)) - 1;
    const int right = int(std::ceil((box.x + box.width) / found.scaleX)) + 1;
    const int bottom = int(std::ceil((box.y + box.height) / found.scaleY)) + 1;
    return cv::Rect(cv::Point(left, top), cv::Point(right, bottom))
           & cv::Rect(0, 0, found.reduced.cols, found.reduced.rows);
}

// A pixel's difference from the paper as a share of the paper's level, channel
// by channel: light that falls off, or a shadow, darkens a shape as much as
// the paper under it, so the share stays the same.
cv::Vec3f shareOfPaper(const cv::Vec3f& pixel, const cv::Vec3f& inverseLevel)
{
    return {pixel[0] * inverseLevel[0] - 1, pixel[1] * inverseLevel[1] - 1, pixel[2] * inverseLevel[2] - 1};
}

// The region's own colour against the paper: the median difference over the
// half of its standing-out pixels that stands out most (the blurred rim, the
// ring the region was grown by, and highlights left aside; for a speck of a
// few pixels that ring would otherwise be most of it). Only pixels that stand
// out themselves count, not those that only do once smoothed: beside a line
// one pixel thin, the smoothing stands out almost as much as on it. The
// reduced pixels of leaveOut (the reference lying in the region) are left
// out.
std::optional<cv::Vec3f> regionColour(const Finding& found, int label, cv::Rect leaveOut = {})
{
    const cv::Rect box = regionBox(found, label);
    cv::Mat labels = found.labels(box);
    if (const cv::Rect left = leaveOut & box; !left.empty()) {
        labels = labels.clone();
        labels(left - box.tl()).setTo(0);
    }
    const cv::Mat standOut = found.standOut(box);
    const cv::Mat distance = found.paper.distance(box);
    std::vector<float> levels;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (labels.at<int>(y, x) == label && standOut.at<float>(y, x) > found.standOutLimit)
                levels.push_back(standOut.at<float>(y, x));
    if (levels.empty())
        return std::nullopt;
    const float least = median(std::move(levels));
    std::array<std::vector<float>, 3> channels;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (labels.at<int>(y, x) == label && standOut.at<float>(y, x) >= least
                && distance.at<float>(y, x) > found.standOutLimit) {
                const cv::Vec3f difference = shareOfPaper(found.reduced.at<cv::Vec3f>(box.y + y, box.x + x),
                                                          found.inverseLevel.at<cv::Vec3f>(box.y + y, box.x + x));
                for (int c = 0; c < 3; ++c)
                    channels[std::size_t(c)].push_back(difference[c]);
            }
    cv::Vec3f colour;
    for (int c = 0; c < 3; ++c)
        colour[c] = median(std::move(channels[std::size_t(c)]));
    if (cv::norm(colour) < faintestRegion)
        return std::nullopt;
    return colour;
}

// The picture smoothed over box (from a slightly larger patch, so its own
// border is not smoothed against nothing), of the given depth (CV_8U or
// CV_32F, four channels).
cv::Mat smoothedPatch(const cv::Mat& picture, cv::Rect box, int depth, double sigma = pictureSmoothing)
{
    const int border = 3;
    const cv::Rect grown = (box + cv::Size(2 * border, 2 * border) - cv::Point(border, border))
                           & cv::Rect(0, 0, picture.cols, picture.rows);
    cv::Mat patch;
    if (depth == CV_8U && sigma > 0) // smoothed straight from the picture, without a copy first
        cv::GaussianBlur(picture(grown), patch, cv::Size(0, 0), sigma);
    else
        picture(grown).convertTo(patch, CV_MAKETYPE(depth, 4));
    if (depth != CV_8U && sigma > 0)
        cv::GaussianBlur(patch, patch, cv::Size(0, 0), sigma);
    return patch(box - grown.tl());
}

// The weight that turns a difference from the paper into its share of the
// region's colour: 0 on paper, 1 at the colour.
cv::Vec3f contrastWeights(const cv::Vec3f& colour) { return colour / colour.dot(colour); }

// A pixel's share of the region's colour (weighed by contrastWeights), with
// the paper's level at it (as 1 / level).
template <typename Pixel>
float shareOfColour(const Pixel& p, const cv::Vec3f& inverse, const cv::Vec3f& weights)
{
    return (float(p[0]) * inverse[0] - 1) * weights[0] + (float(p[1]) * inverse[1] - 1) * weights[1]
           + (float(p[2]) * inverse[2] - 1) * weights[2];
}

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

// The outer outline of a region on the reduced copy, in picture coordinates
// (reduced pixel centres).
// The outer outlines of a region's core on the reduced copy (where it shows
// at least a third of its own colour, so a faint halo round it, or a shadow
// it touches, is left out), in picture coordinates (reduced pixel centres).
std::vector<std::vector<cv::Point2f>> coreOutlines(const Finding& found, int label, const cv::Vec3f& colour)
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
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(core, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    std::vector<std::vector<cv::Point2f>> outlines;
    for (const auto& contour : contours) {
        std::vector<cv::Point2f> outline;
        for (const cv::Point& p : contour)
            outline.emplace_back(float((box.x + p.x + 0.5) * found.scaleX - 0.5),
                                 float((box.y + p.y + 0.5) * found.scaleY - 0.5));
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

bool touchesBorder(cv::Rect box, cv::Size size)
{
    return box.x <= 0 || box.y <= 0 || box.x + box.width >= size.width || box.y + box.height >= size.height;
}

struct Candidate {
    int label = 0;
    ShapeFit fit;
};

std::vector<Candidate> referenceCandidates(const Finding& found, ReferenceShape shape)
{
    const double pixelArea = found.scaleX * found.scaleY;
    const double pictureArea = double(found.picture.cols) * found.picture.rows;
    const cv::Rect inside(1, 1, found.picture.cols - 2, found.picture.rows - 2);
    struct Rough {
        double error; // of the fill of its shape
        int label;
        std::vector<cv::Point2f> outline;
        cv::Vec3f colour;
    };
    std::vector<Rough> rough;
    for (int label = 1; label < found.stats.rows; ++label) {
        if (found.enclosed[std::size_t(label)]
            || found.stats.at<int>(label, cv::CC_STAT_AREA) * pixelArea < smallestReference)
            continue;
        const auto colour = regionColour(found, label);
        if (!colour)
            continue;
        for (std::vector<cv::Point2f>& outline : coreOutlines(found, label, *colour)) {
            const double area = cv::contourArea(outline);
            const cv::Rect bounds = cv::boundingRect(outline);
            if (area < smallestReference || area > largestReferenceShare * pictureArea || (bounds & inside) != bounds)
                continue;
            const bool fits = shape == ReferenceShape::Disc ? roughlyDisc(outline)
                                                            : roughlySquare(outline, found.scaleX);
            if (!fits)
                continue;
            const double whole = shape == ReferenceShape::Disc ? area : double(cv::minAreaRect(outline).size.area());
            rough.push_back({std::abs(1 - area / std::max(whole, 1.0)), label, std::move(outline), *colour});
        }
    }
    std::sort(rough.begin(), rough.end(), [](const Rough& a, const Rough& b) { return a.error < b.error; });
    if (rough.size() > candidatesFitted)
        rough.resize(candidatesFitted);

    std::vector<Candidate> fitted;
    // The rough outline follows the reduced copy's pixels, and a lighter
    // rim may lie outside it: the edge is looked for this far either way.
    const float reach = float(4 + 3 * std::max(found.scaleX, found.scaleY));
    for (const Rough& candidate : rough) {
        const cv::Rect box = (cv::boundingRect(candidate.outline) + cv::Size(int(2 * reach) + 8, int(2 * reach) + 8)
                              - cv::Point(int(reach) + 4, int(reach) + 4))
                             & cv::Rect(0, 0, found.picture.cols, found.picture.rows);
        const ContrastPatch patch = contrastPatch(found, box, candidate.colour);
        ShapeFit fit = shape == ReferenceShape::Disc ? fitDisc(patch, candidate.outline, reach)
                                                     : fitSquare(patch, candidate.outline, reach);
        if (fit.fitted)
            fitted.push_back({candidate.label, std::move(fit)});
    }
    std::sort(fitted.begin(), fitted.end(),
              [](const Candidate& a, const Candidate& b) { return a.fit.score < b.fit.score; });
    return fitted;
}

// A region measured on the picture itself: the pixels nearer its own colour
// than the paper's, within the region (and one reduced pixel round it).
struct Measured {
    std::int64_t dots = 0;
    cv::Mat mask; // CV_8U over within
    cv::Rect within;
    cv::Rect box;                                 // of the counted pixels
    std::vector<std::vector<cv::Point>> contours; // through its edge pixels' centres, in the picture
    // Twice the count over the length of all its outlines, holes' too: a
    // line's or a ring's width, a disc's radius (0 for a single pixel).
    double width = 0;
    // In each reduced pixel of the region's box (CV_32F): the strongest share
    // of the colour counted against among the region's pixels there, and the
    // share of those pixels counted.
    cv::Mat strongest, counted;
    bool faintBeside = false; // see faintBesideShare
    // CV_8U over within, for a shape not thin: the pixels counted or showing
    // at least reachShare of its colour.
    cv::Mat reached;
    cv::Mat leftOut; // CV_8U over within: the reference lying in the region, if it does
};

// The counted pixels' outlines, and the width they give.
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
    // (sigma/sqrt(2 pi) of the colour along each pixel of its outline), over
    // the counted dots: about 0 for a shape of one colour however blurred, but
    // the share times the area of a part showing less than half the colour
    // (or of a shadow or stain beside it).
    double colour = 0;
    // CV_8U over within: the pixels counted or showing at least reachShare of
    // the colour.
    cv::Mat reached;
};

Beside besideCounted(const Finding& found, int label, const cv::Vec3f& colour, const cv::Mat& smooth,
                     const StrengthMap& strength, const Measured& measured, double sigma, const cv::Mat& leftOut)
{
    const cv::Rect& within = measured.within;
    Beside beside{0, measured.mask.clone()};
    for (int y = 0; y < within.height; ++y) {
        const int row = regionRowOf(found, label, within, y);
        if (row < 0)
            continue;
        const auto* counted = measured.mask.ptr<std::uint8_t>(y);
        const auto* out = leftOut.empty() ? nullptr : leftOut.ptr<std::uint8_t>(y);
        auto* reached = beside.reached.ptr<std::uint8_t>(y);
        const float* nearby = strength.empty() ? nullptr : strength.ptr<float>(row);
        visitRegionRow(found, label, smooth, within, y, contrastWeights(colour), 0, within.width,
                       [&](int x, int cell, float share) {
                           if (counted[x] || (out && out[x]))
                               return;
                           const float shown = std::clamp(nearby ? share / nearby[cell] : share, 0.F, 1.F);
                           beside.colour += shown;
                           reached[x] = shown >= reachShare ? 255 : 0;
                       });
    }
    const double outline = measured.width > 0 ? 2 * double(measured.dots) / measured.width : 0;
    const double spread = sigma / std::sqrt(2 * std::numbers::pi) * outline;
    beside.colour = measured.dots > 0 ? (beside.colour - spread) / double(measured.dots) : 0;
    return beside;
}

// A reference lying in a region: its fitted outline (picture coordinates),
// and how far round it its blurred edge reaches (pixels).
struct ReferenceInRegion {
    std::vector<cv::Point> outline;
    int margin = 0;
};

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
    const bool counted = measured.width < thin;
    // Where part of the shape shows its colour more or less strongly than the
    // rest, that part is counted halfway to its own colour.
    const StrengthMap strength = counted ? StrengthMap() : strengthNearby(found, label, measured, blur);
    if (!strength.empty())
        recountParts(found, label, seen, smooth, strength, measured);
    const cv::Mat leftOut = reference.outline.empty() ? cv::Mat() : referencePixels(reference, measured.within);
    if (!leftOut.empty())
        takeOut(leftOut, measured);
    measured.leftOut = leftOut;
    if (!counted) {
        Beside beside = besideCounted(found, label, seen, smooth, strength, measured,
                                      std::hypot(blur, pictureSmoothing), leftOut);
        measured.faintBeside = beside.colour > faintBesideShare;
        measured.reached = std::move(beside.reached);
    }
    return measured;
}

// A mask pooled into blocks of pieceBlock pixels a side (CV_8U): set where
// any of the block's pixels is.
cv::Mat pooled(const cv::Mat& mask)
{
    cv::Mat blocks(cv::Size((mask.cols + pieceBlock - 1) / pieceBlock, (mask.rows + pieceBlock - 1) / pieceBlock),
                   CV_8U, cv::Scalar(0));
    for (int y = 0; y < mask.rows; ++y) {
        const auto* in = mask.ptr<std::uint8_t>(y);
        auto* block = blocks.ptr<std::uint8_t>(y / pieceBlock);
        for (int x = 0; x < mask.cols; ++x)
            block[x / pieceBlock] |= in[x];
    }
    return blocks;
}

// The sets of touching blocks a shape reaches (set 0: the blocks it does
// not), and the pixels counted in each.
struct ReachedSets {
    cv::Mat labels, stats;
    int count = 0;
    std::vector<std::int64_t> dots;

    // The set's blocks as pixels of within.
    cv::Rect span(int set) const
    {
        return {stats.at<int>(set, cv::CC_STAT_LEFT) * pieceBlock, stats.at<int>(set, cv::CC_STAT_TOP) * pieceBlock,
                stats.at<int>(set, cv::CC_STAT_WIDTH) * pieceBlock,
                stats.at<int>(set, cv::CC_STAT_HEIGHT) * pieceBlock};
    }
};

ReachedSets reachedSets(const Measured& measured)
{
    ReachedSets sets;
    cv::Mat centroids;
    sets.count = cv::connectedComponentsWithStats(pooled(measured.reached), sets.labels, sets.stats, centroids, 8,
                                                  CV_32S);
    sets.dots.assign(std::size_t(sets.count), 0);
    for (int y = 0; y < measured.mask.rows; ++y) {
        const auto* counted = measured.mask.ptr<std::uint8_t>(y);
        const int* set = sets.labels.ptr<int>(y / pieceBlock);
        for (int x = 0; x < measured.mask.cols; ++x)
            sets.dots[std::size_t(set[x / pieceBlock])] += counted[x] ? 1 : 0;
    }
    return sets;
}

// Which sets have a pixel the shape reaches next to one of leftOut (both
// CV_8U over within), by set.
std::vector<bool> setsTouching(const ReachedSets& sets, const cv::Mat& reached, const cv::Mat& leftOut)
{
    std::vector<bool> touching(std::size_t(sets.count), false);
    if (leftOut.empty())
        return touching;
    cv::Mat near;
    cv::dilate(leftOut, near, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    near &= reached;
    for (int y = 0; y < near.rows; ++y) {
        const auto* touches = near.ptr<std::uint8_t>(y);
        const int* set = sets.labels.ptr<int>(y / pieceBlock);
        for (int x = 0; x < near.cols; ++x)
            if (touches[x])
                touching[std::size_t(set[x / pieceBlock])] = true;
    }
    return touching;
}

// Each set's piece, numbered from 0: a set of more than fewestDots counted
// pixels is a piece, a smaller one goes with the largest piece; a set
// touching the reference left out of the region (its shadow, or a shape
// lying against it) goes with none (-1).
std::vector<int> pieceOfEachSet(const ReachedSets& sets, std::int64_t fewestDots, const Measured& measured)
{
    const std::vector<bool> attached = setsTouching(sets, measured.reached, measured.leftOut);
    std::vector<int> piece(std::size_t(sets.count), -1);
    int pieces = 0, largest = 0;
    for (int set = 1; set < sets.count; ++set)
        if (!attached[std::size_t(set)] && sets.dots[std::size_t(set)] > fewestDots) {
            piece[std::size_t(set)] = pieces++;
            if (largest == 0 || sets.dots[std::size_t(set)] > sets.dots[std::size_t(largest)])
                largest = set;
        }
    for (int set = 1; set < sets.count; ++set)
        if (largest > 0 && !attached[std::size_t(set)] && piece[std::size_t(set)] < 0)
            piece[std::size_t(set)] = piece[std::size_t(largest)];
    return piece;
}

// Piece index of measured: the counted pixels of the sets that go with it.
Measured pieceOf(const Measured& measured, const ReachedSets& sets, const std::vector<int>& piece, int index)
{
    cv::Rect box;
    for (int set = 1; set < sets.count; ++set)
        if (piece[std::size_t(set)] == index)
            box = box.empty() ? sets.span(set) : box | sets.span(set);
    box &= cv::Rect(cv::Point(), measured.mask.size());
    Measured part;
    part.within = box + measured.within.tl();
    part.mask = cv::Mat(box.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < box.height; ++y) {
        const auto* counted = measured.mask.ptr<std::uint8_t>(box.y + y) + box.x;
        const int* set = sets.labels.ptr<int>((box.y + y) / pieceBlock);
        auto* out = part.mask.ptr<std::uint8_t>(y);
        for (int x = 0; x < box.width; ++x)
            out[x] = counted[x] && piece[std::size_t(set[(box.x + x) / pieceBlock])] == index ? 255 : 0;
    }
    part.dots = cv::countNonZero(part.mask);
    part.box = part.dots > 0 ? cv::boundingRect(part.mask) + part.within.tl() : cv::Rect();
    part.faintBeside = measured.faintBeside;
    traceOutline(part);
    return part;
}

// The pieces of a shape (not thin) lying apart from each other (see
// pieceBlock) and from the reference left out of its region: each of more
// than fewestDots counted pixels, with the smaller ones lying apart added to
// the largest. A thin shape is one piece. Empty when none is that large.
std::vector<Measured> piecesOf(const Measured& measured, std::int64_t fewestDots)
{
    const auto whole = [&] {
        return measured.dots > fewestDots ? std::vector<Measured>{measured} : std::vector<Measured>{};
    };
    if (measured.reached.empty())
        return whole();
    const ReachedSets sets = reachedSets(measured);
    if (sets.count <= 2 && measured.leftOut.empty())
        return whole();
    const std::vector<int> piece = pieceOfEachSet(sets, fewestDots, measured);
    const int count = *std::max_element(piece.begin(), piece.end()) + 1;
    std::vector<Measured> pieces;
    for (int index = 0; index < count; ++index)
        pieces.push_back(pieceOf(measured, sets, piece, index));
    return pieces;
}

QRect toQRect(cv::Rect r) { return {r.x, r.y, r.width, r.height}; }

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
    const bool bits32 = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    if (!bits32 || !reduced.complete() || reduced.pictureWidth() != picture.width()
        || reduced.pictureHeight() != picture.height())
        return findObjects(picture, settings);
    if (picture.width() < 8 || picture.height() < 8)
        throw PlanixError(QStringLiteral("no reference found"));
    const cv::Mat wrapped(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
                          std::size_t(picture.bytesPerLine()));
    Finding found = findRegions(wrapped, reduced, PaperStretch::Largest);
    std::vector<Candidate> candidates = referenceCandidates(found, settings.shape);
    if (candidates.empty()) {
        // The paper may be what lies round the largest stretch: the inside of
        // a shape covering most of the picture.
        found = findRegions(wrapped, reduced, PaperStretch::LargestAround);
        candidates = referenceCandidates(found, settings.shape);
    }
    if (candidates.empty())
        throw PlanixError(QStringLiteral("no reference found"));
    FindResult result;
    const Candidate& best = candidates.front();
    result.reference.shape = settings.shape;
    result.reference.pixelArea = best.fit.pixelArea;
    for (const cv::Point2f& p : best.fit.outline)
        result.reference.outline << QPointF(p.x, p.y);
    result.reference.box = result.reference.outline.boundingRect().toAlignedRect();
    result.referenceAmbiguous = candidates.size() > 1 && candidates[1].fit.score <= 2 * best.fit.score + 0.004;

    // Objects: every other region larger than the smallest area.
    const double unitsPerDot = settings.referenceArea / best.fit.pixelArea;
    const double pixelArea = found.scaleX * found.scaleY;
    // Blur spreads a shape only a few pixels wide, or not much wider than the
    // blur itself, over the paper beside it, and no limit halfway between the
    // two colours counts it true.
    const double thin = std::max({thinWidth, blurWidths * best.fit.blur, settings.shrunk ? shrunkWidth : 0.0});
    const ReferenceInRegion reference{{best.fit.outline.begin(), best.fit.outline.end()},
                                      referenceMargin + int(std::ceil(referenceBlurs * best.fit.blur))};
    const cv::Rect referenceCells = reducedBox(found, cv::boundingRect(reference.outline)
                                                          + cv::Size(2 * reference.margin, 2 * reference.margin)
                                                          - cv::Point(reference.margin, reference.margin));
    const auto fewestDots = std::int64_t(std::floor(settings.minArea / unitsPerDot));
    std::vector<FoundObject> objects;
    for (int label = 1; label < found.stats.rows; ++label) {
        // A region's reduced area includes its blurred rim, so this only
        // skips what cannot possibly be large enough.
        const bool holdsReference = label == best.label;
        if (found.enclosed[std::size_t(label)]
            || (!holdsReference
                && found.stats.at<int>(label, cv::CC_STAT_AREA) * pixelArea * unitsPerDot <= settings.minArea / 4))
            continue;
        const auto colour = regionColour(found, label, holdsReference ? referenceCells : cv::Rect());
        if (!colour)
            continue;
        Measured measured = measureRegion(found, label, *colour, best.fit.blur, thin,
                                          holdsReference ? reference : ReferenceInRegion());
        // Shapes lying near each other, or near the reference, make one region
        // on the reduced copy; each is an object of its own.
        std::vector<Measured> pieces = piecesOf(measured, fewestDots);
        if (pieces.size() < 2 && !holdsReference)
            pieces = {std::move(measured)};
        for (Measured& piece : pieces) {
            const double area = double(piece.dots) * unitsPerDot;
            if (area <= settings.minArea)
                continue;
            FoundObject object;
            object.dots = piece.dots;
            object.area = area;
            object.box = toQRect(piece.box);
            object.touchesEdge = touchesBorder(piece.box, found.picture.size());
            object.outline = outlineOf(std::move(piece.contours));
            object.thin = piece.width < thin;
            object.faintBeside = piece.faintBeside;
            objects.push_back(std::move(object));
        }
    }
    std::vector<QRect> boxes;
    for (const FoundObject& object : objects)
        boxes.push_back(object.box);
    for (const int index : readingOrder(boxes)) {
        result.objects.push_back(std::move(objects[std::size_t(index)]));
        result.objects.back().number = int(result.objects.size());
    }
    return result;
}
