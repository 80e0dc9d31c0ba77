// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The levels a brightness count compares against, found from a rectangle's
// own pixels rather than from two single pixels.
//
// A level is red + green + blue, 0 .. 765, as the window counts. Of a
// rectangle only its part inside the picture is looked at:
//
//   background  the median level of that part's border: the paper around a
//               shape dragged loosely. A few object pixels touching the
//               border do not move a median.
//   paper       the paper's level across the part, from its border
//               (PaperAcross.h): where a shadow or light falling off makes
//               it lie off the background, the robust limit moves with it.
//   split       Otsu's split of the part's histogram: the level that best
//               divides it into two classes (levels <= split, levels above).
//   object      the median level of the class on the far side of the split
//               from the background.
//   edge        the object's level just inside its outline, past the blur of
//               its edge (see edgeLevel in the source): a coin whose rim is
//               lighter than its middle has the rim's level here. The robust
//               limit lies between the background and this level, so each
//               pixel of the outline counts when the shape covers more than
//               half of it. Of a disc, it is the level whose halfway limit
//               counts the outline fitted to its edge (DiscEdge.h).
//
// The window's rule instead takes the centre pixel as the object and the
// top-left pixel as the background; both are kept here for the checks.
#include "cli/analysis/PaperAcross.h"
#include "counting/Kernels.h"
#include "selection/SelectionRect.h"
#include "surface/pixels/Surface.h"

#include <QRect>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The part of rect inside a width x height picture; empty when none is.
QRect insidePart(const SelectionRect& rect, int width, int height);

// How far (pixels) past a rectangle's part inside the picture the robust
// levels may read the picture round it (the fit of a disc's edge): a canvas
// cut from the picture for a rectangle should hold that much round it.
int surroundReach();

// True when some of rect lies outside the picture (an empty rectangle never does).
bool reachesOutside(const SelectionRect& rect, int width, int height);

struct RectangleLevels {
    int centre = maxLevel;   // the window's object level (765 outside the picture)
    int corner = maxLevel;   // the window's background level
    std::int64_t pixels = 0; // pixels inside the picture
    // The rest only when some pixels are inside.
    std::optional<int> background;
    // The standard deviation of the paper's noise, from the differences
    // between neighbouring pixels of the border.
    double backgroundSpread = 0;
    PaperAcross paper; // even unless the object's level is known
    std::optional<int> split;
    std::optional<int> object; // none when the part holds a single level
    std::optional<int> edge;   // the object's level just inside its outline
    // Where the shape is a clean disc: the pixels inside its outline fitted
    // to its edge (see DiscEdge.h), which then also gives the edge's level.
    std::optional<double> discArea;
    // Where the shape is round, but its edge shows what a shadow or
    // something lying against it leaves (see DiscEdge.h); no discArea then.
    bool discShadow = false;
};

// findEdge: also the edge's level (the robust rule needs it; it costs a
// few passes over the rectangle).
RectangleLevels rectangleLevels(const Surface& surface, const SelectionRect& rect, bool findEdge = true);

// How the robust rule sets the limit: a fraction of the way from the
// background towards the object (the window's nine thresholds), or the split.
struct RobustLimit {
    std::optional<int> thresholdTenths; // none: at the split ("auto")
};

// The levels a robust brightness count counts; empty when background and
// object cannot be told apart.
LevelBand robustBand(const RectangleLevels& levels, const RobustLimit& limit);

// The limit in levels the robust rule uses where the paper lies at the
// background's level (for the report); none when empty.
std::optional<double> robustLimitLevel(const RectangleLevels& levels, const RobustLimit& limit);

// The robust limit where it follows the paper's level across the rectangle:
// where the paper lies off the background, the limit moves with it, keeping
// its share of the way to the object (halfway: by half the paper's
// difference).
class FollowedLimit {
public:
    FollowedLimit(PaperAcross paper, float limit, float follows, float background, bool above)
        : paper(std::move(paper)), limit(limit), follows(follows), background(background), objectAbove(above)
    {
    }

    // A pixel of the rectangle's part is counted when its level lies beyond
    // its limit: above it when the object is lighter, else below it.
    bool above() const { return objectAbove; }
    // The limit in single precision, rounded away from the levels counted:
    // each whole level then lies on the same side of it as of the limit
    // itself, so where the paper lies at the background's level the count
    // is robustBand's.
    static float single(double limit, bool above);
    bool counts(int level, float limitThere) const
    {
        return objectAbove ? float(level) > limitThere : float(level) < limitThere;
    }
    // The limit at pixel (x, y) of the part, and along row y (one per column).
    float at(int x, int y) const { return limitAt(paper.at(x, y)); }
    void row(int y, std::vector<float>& out) const;

private:
    float limitAt(float paperLevel) const { return limit + follows * (paperLevel - background); }

    PaperAcross paper;
    float limit, follows, background;
    bool objectAbove;
};

// None where the paper is even, or the levels give no limit: the band of
// robustBand then holds throughout.
std::optional<FollowedLimit> followedLimit(const RectangleLevels& levels, const RobustLimit& limit);
