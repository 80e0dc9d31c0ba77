// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// When the dots counted on a rectangle's border say that the shape reaches
// it (object-touches-edge): more than noise, at least 3 and one per thousand
// border pixels.

#include <algorithm>
#include <cstdint>

inline bool dotsOnBorder(std::int64_t counted, std::int64_t pixels)
{
    constexpr std::int64_t fewest = 3;
    return counted >= std::max(fewest, pixels / 1000);
}
