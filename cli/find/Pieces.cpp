// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/Pieces.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>

namespace {

// The pixels a shape reaches (Measured::reached) are pooled in blocks of this
// many pixels a side, and those in touching blocks belong to one shape: a gap
// of up to 2 pixels joins, one of paper 6 pixels wide or more parts two.
constexpr int pieceBlock = 3;
// What shows beside a shape beyond the blurred edges, at least this share of
// its colour, where nothing is reached, is a band too faint to reach rather
// than noise.
constexpr float showingShare = 0.1F;
// A run of such blocks borders a piece much when it touches it along at
// least this share of the most it touches any piece.
constexpr double muchOfTheBorder = 0.25;
// What the paper round a piece shows: the mean of the lower part of its
// pixels, this share of them (the outer edge of a pale margin too faint to
// stand out lies among them).
constexpr double paperShare = 0.75;

// Calls visit(b, n) for each block b along a row of a mask (CV_8U, cols
// pixels), n the block's pixels set in that row.
template <typename Visit>
void blocksAlong(const std::uint8_t* row, int cols, Visit&& visit)
{
    const int whole = cols / pieceBlock; // blocks of a full pieceBlock columns
    for (int b = 0; b < whole; ++b) {
        int set = 0;
        for (int i = 0; i < pieceBlock; ++i)
            set += row[b * pieceBlock + i] ? 1 : 0;
        visit(b, set);
    }
    if (whole * pieceBlock < cols) {
        int set = 0;
        for (int x = whole * pieceBlock; x < cols; ++x)
            set += row[x] ? 1 : 0;
        visit(whole, set);
    }
}

// A mask pooled into blocks of pieceBlock pixels a side (CV_8U): set where
// any of the block's pixels is.
cv::Mat pooled(const cv::Mat& mask)
{
    cv::Mat blocks(cv::Size((mask.cols + pieceBlock - 1) / pieceBlock, (mask.rows + pieceBlock - 1) / pieceBlock),
                   CV_8U, cv::Scalar(0));
    for (int y = 0; y < mask.rows; ++y) {
        auto* block = blocks.ptr<std::uint8_t>(y / pieceBlock);
        blocksAlong(mask.ptr<std::uint8_t>(y), mask.cols, [&](int b, int set) {
            if (set > 0)
                block[b] = 255;
        });
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
    for (int y = 0; y < mask.rows; ++y) {
        const int* set = sets.labels.ptr<int>(y / pieceBlock);
        blocksAlong(mask.ptr<std::uint8_t>(y), mask.cols,
                    [&](int b, int counted) { sets.dots[std::size_t(set[b])] += counted; });
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

// How far apart two boxes lie (squared, pixels; 0 where they overlap).
int squaredGap(cv::Rect a, cv::Rect b)
{
    const int dx = std::max({0, a.x - (b.x + b.width), b.x - (a.x + a.width)});
    const int dy = std::max({0, a.y - (b.y + b.height), b.y - (a.y + a.height)});
    return dx * dx + dy * dy;
}

// The pieces the sets make, numbered from 0.
struct Assignment {
    std::vector<int> pieceOfSet;        // -1: none
    std::vector<bool> againstReference; // by piece
    std::vector<int> firstSet;          // by piece: its own (large) set
};

// A set of more than fewestDots counted pixels is a piece (against the
// reference when it touches the reference left out of the region: a shape
// lying against it, or its shadow); a smaller one goes with the nearest
// piece, or with none when it touches the reference (what is left of its
// blurred edge) or no piece is.
Assignment assignSets(const ReachedSets& sets, std::int64_t fewestDots, const Measured& measured)
{
    const std::vector<bool> touching = setsTouching(sets, measured.reached, measured.leftOut);
    Assignment pieces{std::vector<int>(std::size_t(sets.count), -1), {}, {}};
    for (int set = 1; set < sets.count; ++set)
        if (sets.dots[std::size_t(set)] > fewestDots) {
            pieces.pieceOfSet[std::size_t(set)] = int(pieces.firstSet.size());
            pieces.firstSet.push_back(set);
            pieces.againstReference.push_back(touching[std::size_t(set)]);
        }
    for (int set = 1; set < sets.count; ++set) {
        if (pieces.pieceOfSet[std::size_t(set)] >= 0 || touching[std::size_t(set)])
            continue;
        int nearest = -1;
        for (std::size_t piece = 0; piece < pieces.firstSet.size(); ++piece)
            if (nearest < 0
                || squaredGap(sets.span(set), sets.span(pieces.firstSet[piece]))
                       < squaredGap(sets.span(set), sets.span(pieces.firstSet[std::size_t(nearest)])))
                nearest = int(piece);
        pieces.pieceOfSet[std::size_t(set)] = nearest;
    }
    return pieces;
}

// Each block's piece: its set's, or where it has no set (nothing reached)
// the nearest block's with one; -1 where that set goes with none.
cv::Mat nearestPieces(const ReachedSets& sets, const Assignment& pieces)
{
    cv::Mat piece(sets.labels.size(), CV_32S), unset(sets.labels.size(), CV_8U);
    for (int y = 0; y < piece.rows; ++y)
        for (int x = 0; x < piece.cols; ++x) {
            const int set = sets.labels.at<int>(y, x);
            piece.at<int>(y, x) = set > 0 ? pieces.pieceOfSet[std::size_t(set)] : -1;
            unset.at<std::uint8_t>(y, x) = set > 0 ? 0 : 255;
        }
    cv::Mat distance, nearest; // nearest: a label of the nearest block with a set, one for each such block
    cv::distanceTransform(unset, distance, nearest, cv::DIST_L2, cv::DIST_MASK_5, cv::DIST_LABEL_PIXEL);
    double labels = 0;
    cv::minMaxLoc(nearest, nullptr, &labels);
    std::vector<int> pieceOfNearest(std::size_t(labels) + 1, -1);
    for (int y = 0; y < piece.rows; ++y)
        for (int x = 0; x < piece.cols; ++x)
            if (!unset.at<std::uint8_t>(y, x))
                pieceOfNearest.at(std::size_t(nearest.at<int>(y, x))) = piece.at<int>(y, x);
    for (int y = 0; y < piece.rows; ++y)
        for (int x = 0; x < piece.cols; ++x)
            if (unset.at<std::uint8_t>(y, x))
                piece.at<int>(y, x) = pieceOfNearest.at(std::size_t(nearest.at<int>(y, x)));
    return piece;
}

// The blocks no set reaches where a pixel shows at least showingShare
// beyond the blurred edges (unexplained, CV_32F over within).
cv::Mat showingUnreached(const cv::Mat& unexplained, const ReachedSets& sets)
{
    cv::Mat showing(sets.labels.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < unexplained.rows; ++y) {
        const auto* colour = unexplained.ptr<float>(y);
        const int* set = sets.labels.ptr<int>(y / pieceBlock);
        auto* block = showing.ptr<std::uint8_t>(y / pieceBlock);
        for (int x = 0; x < unexplained.cols; ++x)
            if (colour[x] >= showingShare && set[x / pieceBlock] == 0)
                block[x / pieceBlock] = 255;
    }
    return showing;
}

// Each block's piece: its set's; where no set reaches, in a run of touching
// blocks showing something (a band too faint to reach), the piece whose
// sets the run borders most; else the nearest block's with a set. -1 where
// that set goes with none.
cv::Mat blockPieces(const ReachedSets& sets, const Assignment& pieces, const cv::Mat& unexplained)
{
    cv::Mat piece = nearestPieces(sets, pieces), runs;
    if (pieces.firstSet.empty())
        return piece;
    const int count = cv::connectedComponents(showingUnreached(unexplained, sets), runs, 8, CV_32S);
    const std::size_t kinds = pieces.firstSet.size();
    std::vector<int> borders(std::size_t(count) * kinds, 0); // run by piece
    const auto setPiece = [&](int x, int y) {
        const int set = x >= 0 && y >= 0 && x < piece.cols && y < piece.rows ? sets.labels.at<int>(y, x) : 0;
        return set > 0 ? pieces.pieceOfSet[std::size_t(set)] : -1;
    };
    for (int y = 0; y < runs.rows; ++y)
        for (int x = 0; x < runs.cols; ++x)
            if (const int run = runs.at<int>(y, x); run > 0)
                for (const cv::Point step : {cv::Point(1, 0), cv::Point(-1, 0), cv::Point(0, 1), cv::Point(0, -1)})
                    if (const int by = setPiece(x + step.x, y + step.y); by >= 0)
                        ++borders[std::size_t(run) * kinds + std::size_t(by)];
    // A block of a run goes with the nearest piece the run borders much, or
    // else with the one it borders most: a faint band along one piece that
    // ends near another is the first's, while a pale margin round a piece
    // stays its own where it meets a band beside.
    for (int y = 0; y < runs.rows; ++y)
        for (int x = 0; x < runs.cols; ++x)
            if (const int run = runs.at<int>(y, x); run > 0) {
                const auto first = borders.begin() + std::ptrdiff_t(std::size_t(run) * kinds);
                const auto most = std::max_element(first, first + std::ptrdiff_t(kinds));
                int& here = piece.at<int>(y, x);
                if (*most > 0 && (here < 0 || first[here] < muchOfTheBorder * *most))
                    here = int(most - first);
            }
    return piece;
}

// The mean of the lower paperShare of the shares counted in paper (a
// histogram of the weighed values), as a share of the colour.
double lowerMean(const std::array<std::int64_t, 256>& paper)
{
    std::int64_t all = 0;
    for (const std::int64_t n : paper)
        all += n;
    const auto wanted = std::int64_t(paperShare * double(all));
    std::int64_t left = wanted;
    double sum = 0;
    for (std::size_t value = 0; value < paper.size() && left > 0; ++value) {
        const std::int64_t taken = std::min(paper[value], left);
        sum += double(taken) * double(value);
        left -= taken;
    }
    return wanted > 0 ? sum / double(wanted) / shownScale : 0;
}

// What each piece shows beside it beyond the blurred edges of all the counted
// pixels (see unexplainedBeside), each pixel going with its block's piece:
// the blurred edge of a neighbour lying close is no part of it, nor is what
// the paper round it shows (Measured::paperBeside), taken from each weighed
// pixel.
std::vector<double> besideByPiece(const Measured& measured, const cv::Mat& unexplained, const cv::Mat& blockPiece,
                                  std::size_t pieces)
{
    struct Sums {
        double beside = 0;
        std::int64_t weighed = 0;
        std::array<std::int64_t, 256> paper{};
    };
    std::vector<Sums> sums(pieces);
    const cv::Mat paperRound = measured.paperBeside ? measured.paperBeside() : cv::Mat();
    for (int y = 0; y < unexplained.rows; ++y) {
        const auto* shown = measured.shownBeside.empty() ? nullptr : measured.shownBeside.ptr<std::uint8_t>(y);
        const auto* paper = paperRound.empty() ? nullptr : paperRound.ptr<std::uint8_t>(y);
        const auto* colour = unexplained.ptr<float>(y);
        const int* piece = blockPiece.ptr<int>(y / pieceBlock);
        for (int x = 0; x < unexplained.cols; ++x) {
            if (piece[x / pieceBlock] < 0)
                continue;
            Sums& sum = sums[std::size_t(piece[x / pieceBlock])];
            if (shown && shown[x] != notShown) {
                sum.beside += colour[x];
                ++sum.weighed;
            }
            if (paper && paper[x] != notShown)
                ++sum.paper[paper[x]];
        }
    }
    std::vector<double> beside;
    for (const Sums& sum : sums)
        beside.push_back(sum.beside - lowerMean(sum.paper) * double(sum.weighed));
    return beside;
}

// Piece index of measured: the counted pixels of the sets that go with it.
Measured pieceOf(const Measured& measured, const ReachedSets& sets, const Assignment& pieces, int index)
{
    const std::vector<int>& piece = pieces.pieceOfSet;
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
    part.againstReference = pieces.againstReference[std::size_t(index)];
    traceOutline(part);
    return part;
}

} // namespace

// The pieces of a shape (not thin) lying apart from each other (see
// pieceBlock): each of more than fewestDots counted pixels, with the smaller
// ones lying apart added to the nearest (those touching the reference left
// out of its region to none). A thin shape is one piece. Empty when none is
// that large.
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
    const Assignment assigned = assignSets(sets, fewestDots, measured);
    if (assigned.firstSet.size() < 2 && measured.leftOut.empty())
        return whole(); // one shape, small bits and all
    const cv::Mat unexplained = unexplainedBeside(measured);
    const std::vector<double> beside = besideByPiece(measured, unexplained, blockPieces(sets, assigned, unexplained),
                                                     assigned.firstSet.size());
    std::vector<Measured> pieces;
    for (std::size_t index = 0; index < assigned.firstSet.size(); ++index) {
        pieces.push_back(pieceOf(measured, sets, assigned, int(index)));
        pieces.back().faintBeside = faintBeside(beside[index], pieces.back().dots);
    }
    return pieces;
}
