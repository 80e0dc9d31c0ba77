// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The area rule of the "＝" button: the real area of the measured object by
// the rule of three against the reference,
//
//     area = roundToDigits(2, referenceArea x objectDots / referenceDots)
//
// in 80-bit extended precision, each step checked (FloatingPoint.h).
#include <optional>

// None when referenceDots is 0 (nothing to compute). Otherwise the product
// referenceArea x objectDots, then the quotient, rounded to two decimals,
// ties to even. Throws PlanixError with the calculator's message when a step
// overflows or is invalid.
std::optional<long double> ruleOfThreeArea(long double objectDots, long double referenceArea,
                                           long double referenceDots);
