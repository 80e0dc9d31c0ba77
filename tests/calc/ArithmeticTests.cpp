// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Extended-precision steps with their faults, and rounding to decimals.
#include "calc/FloatingPoint.h"
#include "base/PlanixError.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QString invalidOperation = QStringLiteral("不正な浮動小数点数演算命令");
const QString overflow = QStringLiteral("浮動小数点数のオーバーフロー");

// The message the call throws, or "" when it returns.
template <class Call>
QString failureOf(Call call)
{
    try {
        call();
    } catch (const PlanixError& error) {
        return error.message();
    }
    return QString();
}

constexpr long double twoTo63 = 9223372036854775808.0L;

TEST(CheckedArithmetic, OverflowIsAnError)
{
    EXPECT_EQ(failureOf([] { checkedProduct(LDBL_MAX, 2); }), overflow);
    EXPECT_EQ(failureOf([] { checkedProduct(-1e4000L, 1e4000L); }), overflow);
    EXPECT_EQ(failureOf([] { checkedQuotient(1, 1e-4940L); }), overflow);
    EXPECT_EQ(checkedProduct(LDBL_MAX, 1), LDBL_MAX);
}

TEST(CheckedArithmetic, InvalidOperationAndDivisionByZeroAreErrors)
{
    EXPECT_EQ(failureOf([] { checkedQuotient(0, 0); }), invalidOperation);
    EXPECT_EQ(failureOf([] { checkedProduct(0, HUGE_VALL); }), invalidOperation);
    const QString byZero = failureOf([] { checkedQuotient(1, 0); });
    EXPECT_FALSE(byZero.isEmpty());
    EXPECT_NE(byZero, invalidOperation);
    EXPECT_NE(byZero, overflow);
}

TEST(CheckedArithmetic, UnderflowAndInexactPass)
{
    EXPECT_EQ(checkedProduct(1e-4000L, 1e-4000L), 0);
    EXPECT_GT(checkedQuotient(1e-4930L, 1000), 0); // denormal result
    EXPECT_EQ(checkedQuotient(1, 3), 1.0L / 3);
    EXPECT_EQ(checkedProduct(1234, 314.0L / 100), 1234 * (314.0L / 100));
}

TEST(CheckedArithmetic, RoundsToInt64TiesToEven)
{
    EXPECT_EQ(checkedRoundToInt64(2.5L), 2);
    EXPECT_EQ(checkedRoundToInt64(3.5L), 4);
    EXPECT_EQ(checkedRoundToInt64(-2.5L), -2);
    EXPECT_EQ(checkedRoundToInt64(2.5000000000000001L), 3);
    EXPECT_EQ(checkedRoundToInt64(twoTo63 - 1), INT64_MAX);
    EXPECT_EQ(checkedRoundToInt64(-twoTo63), INT64_MIN);
    EXPECT_EQ(failureOf([] { checkedRoundToInt64(twoTo63); }), invalidOperation);
    EXPECT_EQ(failureOf([] { checkedRoundToInt64(-twoTo63 - 2); }), invalidOperation);
    EXPECT_EQ(failureOf([] { checkedRoundToInt64(HUGE_VALL); }), invalidOperation);
    EXPECT_EQ(failureOf([] { checkedRoundToInt64(NAN); }), invalidOperation);
}

TEST(RoundToDigits, TwoDecimalsTiesToEven)
{
    EXPECT_EQ(roundToDigits(2, 0.125L), 12.0L / 100);
    EXPECT_EQ(roundToDigits(2, 0.375L), 38.0L / 100);
    EXPECT_EQ(roundToDigits(2, -0.314L), -31.0L / 100);
    EXPECT_EQ(roundToDigits(2, -0.125L), -12.0L / 100);
    EXPECT_EQ(roundToDigits(2, 1234 * (314.0L / 100) / 567), 683.0L / 100);
    EXPECT_EQ(roundToDigits(2, 0.004L), 0);
    EXPECT_FALSE(std::signbit(roundToDigits(2, -0.004L))); // the integer zero has no sign
}

TEST(RoundToDigits, OtherDigitCounts)
{
    EXPECT_EQ(roundToDigits(0, 2.5L), 2);
    EXPECT_EQ(roundToDigits(0, 3.5L), 4);
    EXPECT_EQ(roundToDigits(1, 0.25L), 2.0L / 10);
    EXPECT_EQ(roundToDigits(1, 0.75L), 8.0L / 10);
    EXPECT_EQ(roundToDigits(3, 0.0625L), 62.0L / 1000);
    EXPECT_EQ(roundToDigits(3, 2.0L / 3), 667.0L / 1000);
    EXPECT_EQ(roundToDigits(18, 1.5L), 1.5L); // 10^18 is exact
    EXPECT_EQ(roundToDigits(0, twoTo63 - 1), twoTo63 - 1);
}

TEST(RoundToDigits, BeyondInt64IsInvalid)
{
    EXPECT_EQ(roundToDigits(2, 9.2e16L), 9.2e16L);
    EXPECT_EQ(failureOf([] { roundToDigits(2, 9.23e16L); }), invalidOperation);
    EXPECT_EQ(failureOf([] { roundToDigits(2, -9.23e16L); }), invalidOperation);
    EXPECT_EQ(failureOf([] { roundToDigits(2, 1e20L); }), invalidOperation);
    EXPECT_EQ(failureOf([] { roundToDigits(0, twoTo63); }), invalidOperation);
    EXPECT_EQ(failureOf([] { roundToDigits(2, LDBL_MAX); }), overflow);
}

} // namespace
