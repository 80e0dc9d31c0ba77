// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/ReferenceCandidates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

// A reference takes at least this many pixels, and at most this share of the
// picture.
constexpr double smallestReference = 200;
constexpr double largestReferenceShare = 1.0 / 6;
// Reference candidates fitted closely, best first by the rough outline.
constexpr std::size_t candidatesFitted = 6;

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

} // namespace

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
