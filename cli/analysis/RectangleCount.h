// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One rectangle of planix-measure counted by the chosen levels and rule,
// with the checks that tell whether to trust the count.
//
// Brightness with the window's levels counts exactly as the window does;
// with robust levels the limit comes from the rectangle's own pixels
// (Levels.h). A colour counts when its channel leads each other channel by
// more than the margin (0: the window's rule). Every counted dot is marked as
// the window marks it. The checks look at the picture as it was before this
// count.
#include "cli/analysis/Levels.h"
#include "cli/analysis/Warnings.h"
#include "surface/pixels/Surface.h"

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>

struct RectangleRule {
    LevelRule levels = LevelRule::Window;
    std::optional<Channel> colour;          // none: by brightness
    std::optional<int> thresholdTenths = 5; // 1 .. 9; none: at the split (robust only)
    int colourMargin = 0;
};

struct RectangleCount {
    std::int32_t dots = 0;
    Warnings warnings;
    RectangleLevels levels; // brightness only
};

// Counts rect of canvas. canvas may be a part of the picture: its top-left
// pixel is the picture's offset, and picture is the picture's whole size
// (for rectangle-outside). A reference also gets reference-small.
RectangleCount countRectangle(Surface& canvas, const SelectionRect& rect, const RectangleRule& rule, bool reference,
                              QSize picture, QPoint offset = {});
