// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Rectangles given in a picture's own pixels, carried over to the working
// image the picture was fitted into.
//
// The working image takes column x from the picture's column
// floor(x * pictureWidth / workingWidth) (the fitting's nearest rule), so a
// rectangle covering picture columns L .. R - 1 covers exactly the working
// columns whose source lies among them:
//
//   L <= floor(x * W / w) < R   <=>   ceil(L * w / W) <= x < ceil(R * w / W)
//
// Rows likewise. Rectangles may reach beyond the picture; the rule holds for
// negative and far coordinates too.
#include "selection/SelectionRect.h"

#include <QSize>

// picture and working must not be empty.
SelectionRect toWorkingUnits(const SelectionRect& rect, QSize picture, QSize working);

// The other way, for counting a picture at its own size from rectangles
// given in working pixels: each edge goes to the picture column (row) the
// working column (row) at that edge takes, floor(x * W / w).
SelectionRect toPictureUnits(const SelectionRect& rect, QSize picture, QSize working);
