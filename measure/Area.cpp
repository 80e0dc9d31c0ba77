// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "measure/Area.h"

#include "calc/FloatingPoint.h"

std::optional<long double> ruleOfThreeArea(long double objectDots, long double referenceArea, long double referenceDots)
{
    if (referenceDots == 0)
        return std::nullopt;
    const long double product = checkedProduct(referenceArea, objectDots);
    const long double area = checkedQuotient(product, referenceDots);
    return roundToDigits(2, area);
}
