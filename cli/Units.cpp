// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Units.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// ceil(value * to / from) for from > 0, to >= 0, clamped to 32 bits.
std::int32_t scaledUp(std::int32_t value, int to, int from)
{
    const std::int64_t product = std::int64_t(value) * to;
    std::int64_t quotient = product / from;
    if (product % from != 0 && product > 0)
        ++quotient; // division truncates toward zero: round the positive side up
    return std::int32_t(std::clamp<std::int64_t>(quotient, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

// floor(value * to / from) for from > 0, to >= 0, clamped to 32 bits.
std::int32_t scaledDown(std::int32_t value, int to, int from)
{
    const std::int64_t product = std::int64_t(value) * to;
    std::int64_t quotient = product / from;
    if (product % from != 0 && product < 0)
        --quotient;
    return std::int32_t(std::clamp<std::int64_t>(quotient, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

} // namespace

SelectionRect toWorkingUnits(const SelectionRect& rect, QSize picture, QSize working)
{
    return {scaledUp(rect.left, working.width(), picture.width()),
            scaledUp(rect.top, working.height(), picture.height()),
            scaledUp(rect.right, working.width(), picture.width()),
            scaledUp(rect.bottom, working.height(), picture.height())};
}

SelectionRect toPictureUnits(const SelectionRect& rect, QSize picture, QSize working)
{
    return {scaledDown(rect.left, picture.width(), working.width()),
            scaledDown(rect.top, picture.height(), working.height()),
            scaledDown(rect.right, picture.width(), working.width()),
            scaledDown(rect.bottom, picture.height(), working.height())};
}
