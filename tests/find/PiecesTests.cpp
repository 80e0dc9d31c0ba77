// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// A counted region parted into the shapes it holds, on hand-made masks: the
// last blocks of a row or column that hold fewer pixels than a whole block,
// pixels reached but not counted joining two parts, a part lying against
// the reference taken out of the region, and what shows beside each part.
#include "cli/find/Pieces.h"

#include <gtest/gtest.h>

namespace {

// A region of size (placed at 100, 50 on the picture) counting the pixels of
// counted; reached also holds those of faint (shown, not counted).
Measured regionOf(cv::Size size, const std::vector<cv::Rect>& counted, const std::vector<cv::Rect>& faint = {})
{
    Measured region;
    region.within = cv::Rect(cv::Point(100, 50), size);
    region.mask = cv::Mat(size, CV_8U, cv::Scalar(0));
    for (const cv::Rect& rect : counted)
        region.mask(rect).setTo(255);
    region.reached = region.mask.clone();
    for (const cv::Rect& rect : faint)
        region.reached(rect).setTo(255);
    region.dots = cv::countNonZero(region.mask);
    traceOutline(region);
    return region;
}

TEST(Pieces, PartialBlocksAFaintBridgeAndTheReferencesNeighbour)
{
    // 20 x 11 pixels: the last two columns and the last two rows make blocks
    // of fewer than three.
    const std::vector<Measured> apart = piecesOf(regionOf({20, 11}, {{0, 0, 6, 8}, {18, 9, 2, 2}}), 3);
    ASSERT_EQ(apart.size(), 2U);
    EXPECT_EQ(apart[0].dots, 48);
    EXPECT_EQ(apart[1].dots, 4);
    EXPECT_EQ(apart[1].box, cv::Rect(118, 59, 2, 2));

    const Measured bridged = regionOf({20, 8}, {{0, 0, 6, 8}, {12, 0, 6, 8}}, {{6, 0, 6, 8}});
    ASSERT_EQ(piecesOf(bridged, 3).size(), 1U);
    EXPECT_EQ(piecesOf(bridged, 3)[0].dots, 96);

    // The reference taken out of the first six columns: the shape against it
    // is an object said to lie against it, a speck against it goes with none.
    Measured withReference = regionOf({30, 11}, {{6, 0, 6, 8}, {24, 0, 6, 8}, {0, 9, 2, 2}});
    withReference.leftOut = cv::Mat(withReference.mask.size(), CV_8U, cv::Scalar(0));
    withReference.leftOut(cv::Rect(0, 0, 6, 9)).setTo(255);
    const std::vector<Measured> beside = piecesOf(withReference, 5);
    ASSERT_EQ(beside.size(), 2U);
    EXPECT_EQ(beside[0].dots + beside[1].dots, 96);
    EXPECT_TRUE(beside[0].againstReference);
    EXPECT_FALSE(beside[1].againstReference);
}

// A region counting the pixels of counted, with what shows beside them
// (shares of the colour, not reached) in the rectangles of faint.
Measured weighedRegion(cv::Size size, const std::vector<cv::Rect>& counted,
                       const std::vector<std::pair<cv::Rect, double>>& faint)
{
    Measured region = regionOf(size, counted);
    region.edgeBlur = 0.8;
    region.shownBeside = cv::Mat(size, CV_8U, cv::Scalar(0));
    for (const auto& [rect, share] : faint)
        region.shownBeside(rect).setTo(cv::Scalar(std::lround(share * shownScale)));
    region.shownBeside.setTo(notShown, region.mask);
    return region;
}

TEST(Pieces, WhatShowsBesideGoesWithThePartItLiesAgainstOrElseTheNearestLessThePapersOwn)
{
    // A band too faint to be reached (a fifth of the colour) lying apart
    // right of the second of two squares: only the second has something
    // beside it.
    const std::vector<Measured> apart = piecesOf(
        weighedRegion({60, 12}, {{0, 0, 12, 12}, {30, 0, 12, 12}}, {{{44, 0, 8, 12}, 0.2}}), 10);
    ASSERT_EQ(apart.size(), 2U);
    EXPECT_FALSE(apart[0].faintBeside);
    EXPECT_TRUE(apart[1].faintBeside);

    // The band along the whole side of a large part, ending two pixels from a
    // small one: it is the large part's, though its far half lies nearer the
    // small one.
    const std::vector<Measured> against = piecesOf(
        weighedRegion({60, 40}, {{0, 0, 30, 40}, {44, 15, 8, 8}}, {{{30, 0, 12, 40}, 0.2}}), 10);
    ASSERT_EQ(against.size(), 2U);
    EXPECT_TRUE(against[0].faintBeside);
    EXPECT_FALSE(against[1].faintBeside);

    // The band, along a large part, meets a pale margin round a small one:
    // the margin stays the small part's.
    const std::vector<Measured> meeting = piecesOf(
        weighedRegion({66, 40}, {{0, 0, 40, 40}, {51, 16, 8, 8}}, {{{45, 10, 18, 18}, 0.2}, {{40, 0, 5, 40}, 0.15}}),
        10);
    ASSERT_EQ(meeting.size(), 2U);
    EXPECT_FALSE(meeting[0].faintBeside);
    EXPECT_TRUE(meeting[1].faintBeside);

    // Everything round them, the paper beyond the region's three-pixel frame
    // too, shows a twentieth of the colour: the paper's level is a little
    // off there, and neither part has anything beside it.
    Measured offLevel = weighedRegion({60, 30}, {{3, 3, 24, 24}, {40, 12, 6, 6}}, {{{0, 0, 60, 30}, 0.05}});
    const cv::Mat paper(offLevel.mask.size(), CV_8U, cv::Scalar(std::lround(0.05 * shownScale)));
    paper(cv::Rect(3, 3, 54, 24)).setTo(notShown);
    offLevel.shownBeside.setTo(notShown, paper != notShown);
    offLevel.paperBeside = [paper] { return paper; };
    for (const Measured& piece : piecesOf(offLevel, 10))
        EXPECT_FALSE(piece.faintBeside) << piece.dots;
}

} // namespace
