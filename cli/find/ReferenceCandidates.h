// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The regions that may be the reference: those whose core's outline roughly
// fits its shape at a plausible size or, for a coin touching another shape,
// the widest circles inside the regions; each fitted to sub-pixel precision
// along lines across its edge (see ReferenceFit.h), the best fit first.
#include "cli/find/ReferenceFit.h"
#include "cli/find/ReferenceShape.h"
#include "cli/find/Regions.h"

#include <vector>

struct Candidate {
    int label = 0;
    ShapeFit fit;
    cv::Vec3f colour; // the region's own, that the outline was fitted against
};

// The regions that fit shape, best first (none that fits: empty). Where no
// disc fits, the rims are looked for wider, then further inward too, and a
// disc found that way is in doubt. The best disc is widened to a faint rim
// found beyond it (see FaintRim.h).
std::vector<Candidate> referenceCandidates(const Finding& found, ReferenceShape shape);

// Discs touching another shape, best first: a coin and a shape it touches
// make one region whose outline is no disc, and the widest circles inside
// the regions are fitted instead. Their outlines are doubtful (something lies
// against them). The best is widened to a faint rim found beyond it.
std::vector<Candidate> touchingDiscCandidates(const Finding& found);
