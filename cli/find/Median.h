// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The median of values (the upper of the middle two for an even count; 0 for
// none). Takes the values by value: pass a vector that is no longer needed
// with std::move, and it is reordered in place rather than copied.
#include <algorithm>
#include <vector>

template <typename T>
T median(std::vector<T> values)
{
    if (values.empty())
        return T(0);
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}
