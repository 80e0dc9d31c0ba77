// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "calc/FloatingPoint.h"

#include "base/PlanixError.h"

#include <cfenv>
#include <cmath>

namespace {

constexpr int faultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Keeps the compiler from moving arithmetic on x across the flag calls: x is
// treated as read and rewritten here, in memory, in program order.
template <class T>
void pinned(T& x)
{
    asm volatile("" : "+m"(x) : : "memory");
}

void clearFaults() { std::feclearexcept(faultFlags); }

void throwOnFault()
{
    const int raised = std::fetestexcept(faultFlags);
    if (raised & FE_INVALID)
        throw PlanixError(QStringLiteral("不正な浮動小数点数演算命令"));
    if (raised & FE_DIVBYZERO)
        throw PlanixError(QStringLiteral("浮動小数点数の 0 による除算"));
    if (raised & FE_OVERFLOW)
        throw PlanixError(QStringLiteral("浮動小数点数のオーバーフロー"));
}

} // namespace

long double checkedProduct(long double a, long double b)
{
    clearFaults();
    pinned(a);
    long double product = a * b;
    pinned(product);
    throwOnFault();
    return product;
}

long double checkedQuotient(long double a, long double b)
{
    clearFaults();
    pinned(a);
    long double quotient = a / b;
    pinned(quotient);
    throwOnFault();
    return quotient;
}

std::int64_t checkedRoundToInt64(long double value)
{
    clearFaults();
    pinned(value);
    // Rounds in the current mode, which the program leaves at nearest-even;
    // out of range it raises the invalid-operation flag.
    long long rounded = std::llrint(value);
    pinned(rounded);
    throwOnFault();
    return rounded;
}

// 10^digits as an exact power (repeated squaring), value x 10^digits rounded
// to a signed 64-bit integer with ties to even, divided back by the power.
// digits is 0 or more; the rounding fails with the invalid-operation error
// outside the 64-bit range (|value| from about 9.22e16 for two digits).
long double roundToDigits(std::int32_t digits, long double value)
{
    long double scale = 1;
    long double square = 10;
    for (std::int32_t rest = digits; rest > 0; rest /= 2) {
        if (rest % 2 != 0)
            scale *= square;
        if (rest > 1)
            square *= square;
    }
    const std::int64_t scaled = checkedRoundToInt64(checkedProduct(value, scale));
    return static_cast<long double>(scaled) / scale;
}
