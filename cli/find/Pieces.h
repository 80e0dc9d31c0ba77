// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A counted region parted into the shapes it holds: the reduced copy joins
// shapes a few pixels apart into one region, while on the picture paper lies
// between them.
#include "cli/find/RegionCount.h"

#include <cstdint>
#include <vector>

// The pieces of a shape (not thin) lying apart from each other (a gap of
// paper 6 pixels wide parts two), each of more than fewestDots counted
// pixels; smaller ones lying apart go with the nearest, or with none where
// they touch the reference left out of the region. A piece touching it is
// marked againstReference. Each piece is weighed on its own for what shows
// beside it (faintBeside), beyond the blurred edges of all the region's
// counted pixels, each pixel going with the piece it lies against, or else
// the nearest. A thin shape, or one without the reference that
// makes fewer than two pieces, is one piece as a whole, small bits and all.
// Empty when it is no larger than fewestDots, or none of its pieces is.
std::vector<Measured> piecesOf(const Measured& measured, std::int64_t fewestDots);
