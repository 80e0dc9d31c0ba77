// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/Regions.h"

#include "cli/find/Median.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A region stands out from the paper by this many standard deviations of the
// paper's (smoothed) noise, and at least by this many levels.
constexpr float standOutDeviations = 6;
constexpr float standOutLevels = 8;
// A region whose own colour differs from the paper's by less than this share
// of the paper's level (over the three channels together) is a stain or an
// unevenness of the light, not a shape.
constexpr float faintestRegion = 0.1F;

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

} // namespace

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
std::optional<cv::Vec3f> regionColour(const Finding& found, int label, cv::Rect leaveOut)
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
cv::Mat smoothedPatch(const cv::Mat& picture, cv::Rect box, int depth, double sigma)
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
