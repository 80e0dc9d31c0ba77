// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Extended-precision arithmetic whose faults are the program's errors.
//
// Each operation clears the floating-point fault flags, computes in 80-bit
// extended precision (rounding to nearest, ties to even) and then tests the
// flags: invalid operation, division by zero and overflow throw PlanixError
// with the program's message; underflow, denormal operands and inexact
// results pass silently. The flags are tested instead of enabling hardware
// traps, so the rest of the program runs with the default environment.
#include <cstdint>

long double checkedProduct(long double a, long double b);
long double checkedQuotient(long double a, long double b);

// value rounded to the nearest integer, a tie going to the even one. Outside
// the signed 64-bit range (or not a number) it is an invalid operation.
std::int64_t checkedRoundToInt64(long double value);

// value rounded to digits decimal places, ties to even (the calculator's
// rule); the main window's unit declares it too.
long double roundToDigits(std::int32_t digits, long double value);
