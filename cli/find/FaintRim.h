// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A coin's rim can lie within a few levels of the paper's colour: a worn or
// polished rim, a light coin under bright light. Its outer step is then too
// faint to be the steepest rise along any line across the edge, and the
// disc is fitted to the rim's inner edge, a tenth or more of its area short.
// Seen all round the fitted outline at once, such a rim shows clearly: a
// flat band a little off the paper, ending in a step as sharp as the coin's
// own edge, the same in every direction. A shadow fades out instead of
// ending in a step, and lies on one side; the paper beyond a disc fitted
// true shows neither.
#include "cli/find/EdgeProfile.h"
#include "cli/find/ReferenceFit.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

// The radius (pixels) of a faint rim's outer step beyond a disc fitted at
// centre with radius and blur (one standard deviation of its edge, pixels);
// none where the paper round the disc shows no such rim, or the patch does
// not reach far enough round it to tell.
std::optional<double> faintRimOutside(const ContrastPatch& patch, cv::Point2d centre, double radius, double blur);

// How far beyond a disc of that radius a faint rim is looked for (pixels):
// a patch must reach that much further round it.
double faintRimReach(double radius, double blur);

// Widens a disc (its outline and area) to a faint rim found beyond it on
// patch, blur being its edge's; the outline is then in doubt (paper taken
// in would make it too large). Whether it was widened.
bool widenedToFaintRim(const ContrastPatch& patch, double blur, ShapeFit& fit);
