// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/Pieces.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

// The pixels a shape reaches (Measured::reached) are pooled in blocks of this
// many pixels a side, and those in touching blocks belong to one shape: a gap
// of up to 2 pixels joins, one of paper 6 pixels wide or more parts two.
constexpr int pieceBlock = 3;

// A mask pooled into blocks of pieceBlock pixels a side (CV_8U): set where
// any of the block's pixels is.
cv::Mat pooled(const cv::Mat& mask)
{
    cv::Mat blocks(cv::Size((mask.cols + pieceBlock - 1) / pieceBlock, (mask.rows + pieceBlock - 1) / pieceBlock),
                   CV_8U, cv::Scalar(0));
    const int whole = mask.cols / pieceBlock; // blocks of a full pieceBlock columns
    for (int y = 0; y < mask.rows; ++y) {
        const auto* in = mask.ptr<std::uint8_t>(y);
        auto* block = blocks.ptr<std::uint8_t>(y / pieceBlock);
        for (int b = 0; b < whole; ++b)
            for (int i = 0; i < pieceBlock; ++i)
                block[b] |= in[b * pieceBlock + i];
        for (int x = whole * pieceBlock; x < mask.cols; ++x)
            block[whole] |= in[x];
    }
    return blocks;
}

// The sets of touching blocks a shape reaches (set 0: the blocks it does
// not), and (once countDots has run) the pixels counted in each.
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
    return sets;
}

// The pixels of mask (CV_8U) counted in each set.
void countDots(const cv::Mat& mask, ReachedSets& sets)
{
    sets.dots.assign(std::size_t(sets.count), 0);
    const int whole = mask.cols / pieceBlock;
    for (int y = 0; y < mask.rows; ++y) {
        const auto* counted = mask.ptr<std::uint8_t>(y);
        const int* set = sets.labels.ptr<int>(y / pieceBlock);
        for (int b = 0; b < whole; ++b) {
            int dots = 0;
            for (int i = 0; i < pieceBlock; ++i)
                dots += counted[b * pieceBlock + i] ? 1 : 0;
            sets.dots[std::size_t(set[b])] += dots;
        }
        for (int x = whole * pieceBlock; x < mask.cols; ++x)
            sets.dots[std::size_t(set[whole])] += counted[x] ? 1 : 0;
    }
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

} // namespace

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
    ReachedSets sets = reachedSets(measured);
    if (sets.count <= 2 && measured.leftOut.empty())
        return whole();
    countDots(measured.mask, sets);
    const std::vector<int> piece = pieceOfEachSet(sets, fewestDots, measured);
    const int count = *std::max_element(piece.begin(), piece.end()) + 1;
    std::vector<Measured> pieces;
    for (int index = 0; index < count; ++index)
        pieces.push_back(pieceOf(measured, sets, piece, index));
    return pieces;
}
