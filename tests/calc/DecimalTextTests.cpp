// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Field text to extended-precision number and back.
#include "SeparatorScope.h"
#include "calc/DecimalText.h"
#include "base/PlanixError.h"

#include <QStringList>
#include <cfloat>
#include <gtest/gtest.h>

namespace {

class DecimalText : public ::testing::Test {
protected:
    SeparatorScope fullStop{u'.'};
};

long double parsed(const char* text)
{
    const auto value = parseNumber(QString::fromUtf8(text));
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(-12345);
}

bool rejected(const QString& text) { return !parseNumber(text).has_value(); }

TEST_F(DecimalText, DigitsAreScaledInExtendedPrecision)
{
    EXPECT_EQ(parsed("3.14"), 314.0L / 100);
    EXPECT_NE(parsed("3.14"), static_cast<long double>(3.14)); // not a double's value
    EXPECT_EQ(parsed("0.1"), 1.0L / 10);
    EXPECT_EQ(parsed("3.140000"), parsed("3.14"));
    EXPECT_EQ(parsed("-2.5e-3"), -25.0L / 10000);
    EXPECT_EQ(parsed("12.5e-1"), 1.25L);
    EXPECT_EQ(parsed("0.125"), 0.125L);
    EXPECT_EQ(parsed("1234567890123456789"), 1234567890123456789.0L); // 19 digits, exact
    EXPECT_EQ(parsed("1e14"), 1e14L);
    EXPECT_EQ(parsed("1e499"), 1e499L);
    EXPECT_NEAR(parsed("1e-499") / 1e-499L, 1, 1e-18L);
}

TEST_F(DecimalText, AcceptedForms)
{
    EXPECT_EQ(parsed("5"), 5);
    EXPECT_EQ(parsed("5."), 5);
    EXPECT_EQ(parsed(".5"), 0.5L);
    EXPECT_EQ(parsed("."), 0);
    EXPECT_EQ(parsed("+7"), 7);
    EXPECT_EQ(parsed("-7"), -7);
    EXPECT_EQ(parsed(" 12 "), 12);
    EXPECT_EQ(parsed("   -1.5E3   "), -1500);
    EXPECT_EQ(parsed("1e"), 1);
    EXPECT_EQ(parsed("1E+"), 1);
    EXPECT_EQ(parsed("1e-"), 1);
    EXPECT_EQ(parsed("2E+2"), 200);
    EXPECT_EQ(parsed(".e5"), 0);
    EXPECT_EQ(parsed("007"), 7);
}

TEST_F(DecimalText, ZeroInEveryForm)
{
    for (const char* zero : {"0", "0.00", "-0", "0e7", " 0 ", "0e4999", "-.", "0.0e-4999"})
        EXPECT_EQ(parsed(zero), 0) << zero;
}

TEST_F(DecimalText, RejectedForms)
{
    const QStringList texts = {
        "",
        " ",
        "+",
        "-",
        "e5",
        "E",
        "abc",
        "1a",
        "1..2",
        "1.2.3",
        "1,5",
        "1,234",
        "++1",
        "+-1",
        "1e+-2",
        "1e2.5",
        "1e5 5",
        "1 2",
        "0x10",
        "\t12",
        "12\t",
        "1\t2",
        "\n1",
        QStringLiteral("３．１４"),
        QStringLiteral("１２"),
        QStringLiteral("3．14"),
        QStringLiteral("　12"),    // full-width space
        QStringLiteral("1\u00a0"), // no-break space
        QStringLiteral("\u0663"),  // Arabic-Indic three
    };
    for (const QString& text : texts)
        EXPECT_TRUE(rejected(text)) << text.toStdString();
}

TEST_F(DecimalText, ExponentDigitsStopAtFiveHundred)
{
    EXPECT_EQ(parsed("1e500"), 1e500L);
    EXPECT_NEAR(parsed("1e-500") / 1e-500L, 1, 1e-18L);
    EXPECT_EQ(parsed("1e0500"), 1e500L);
    EXPECT_EQ(parsed("1e00000000499"), 1e499L);
    EXPECT_EQ(parsed("1e-4999"), 0); // underflow passes silently
    EXPECT_TRUE(rejected("1e5000")); // 500 reached with a digit left
    EXPECT_TRUE(rejected("1e-5000"));
    EXPECT_TRUE(rejected("1e05000"));
    EXPECT_TRUE(rejected("1e4999")); // read whole, but beyond the extended range
    EXPECT_TRUE(rejected("0e5000"));
}

TEST_F(DecimalText, ExtendedRangeLimits)
{
    EXPECT_EQ(parsed("1e4932"), 1e4932L);
    EXPECT_NEAR(parsed("-1.18e4932") / 1.18e4932L, -1, 1e-18L);
    EXPECT_TRUE(rejected("2e4932"));
    EXPECT_TRUE(rejected("-2e4932"));
    EXPECT_TRUE(rejected("1" + QString(5000, u'0')));                         // digits alone overflow
    EXPECT_GT(parsed("1e-4940"), 0);                                          // denormal, not zero
    EXPECT_EQ(parseNumber("0." + QString(6000, u'0') + "1").value_or(-1), 0); // underflows to 0
    EXPECT_EQ(parseNumber(QString(6000, u'9') + "e-4999").has_value(), false);
}

TEST_F(DecimalText, ErrorNamesTheWholeText)
{
    for (const QString& text : {QString(), QStringLiteral(" abc "), QStringLiteral("３．１４")}) {
        try {
            textToNumber(text);
            ADD_FAILURE() << "accepted " << text.toStdString();
        } catch (const PlanixError& error) {
            EXPECT_EQ(error.message(), "'" + text + QStringLiteral("' は浮動小数点数ではありません"));
        }
    }
    EXPECT_EQ(textToNumber(" 12 "), 12);
}

TEST_F(DecimalText, CommaSeparator)
{
    SeparatorScope comma(u',');
    EXPECT_EQ(parsed("3,14"), 314.0L / 100);
    EXPECT_EQ(parsed(","), 0);
    EXPECT_EQ(parsed("-1,5e-5"), -15.0L / 1000000);
    EXPECT_TRUE(rejected("3.14"));
    EXPECT_TRUE(rejected("1,234,5"));
    EXPECT_EQ(numberToText(314.0L / 100), "3,14");
    EXPECT_EQ(numberToText(1.5e-5L), "1,5E-5");
    EXPECT_EQ(numberToText(12), "12");
}

TEST_F(DecimalText, FixedNotationUpToFifteenDigits)
{
    EXPECT_EQ(numberToText(0), "0");
    EXPECT_EQ(numberToText(-0.0L), "0");
    EXPECT_EQ(numberToText(683.0L / 100), "6.83");
    EXPECT_EQ(numberToText(-31.0L / 100), "-0.31");
    EXPECT_EQ(numberToText(0.5L), "0.5");
    EXPECT_EQ(numberToText(12), "12");
    EXPECT_EQ(numberToText(1.0L / 100), "0.01");
    EXPECT_EQ(numberToText(1.0L / 10), "0.1");
    EXPECT_EQ(numberToText(2.0L / 3), "0.666666666666667");
    EXPECT_EQ(numberToText(1e-4L), "0.0001"); // e = -3
    EXPECT_EQ(numberToText(1.25e-4L), "0.000125");
    EXPECT_EQ(numberToText(1e14L), "100000000000000");
    EXPECT_EQ(numberToText(999999999999999.0L), "999999999999999"); // e = 15
    EXPECT_EQ(numberToText(123456789012345.67L), "123456789012346");
    EXPECT_EQ(numberToText(1.2e14L), "120000000000000");
    EXPECT_EQ(numberToText(9.9999999999999999L), "10"); // rounding carries into a new digit
}

TEST_F(DecimalText, ScientificNotationOutside)
{
    EXPECT_EQ(numberToText(1e15L), "1E15");
    EXPECT_EQ(numberToText(-1e15L), "-1E15");
    EXPECT_EQ(numberToText(9999999999999999.0L), "1E16");
    EXPECT_EQ(numberToText(1234567890123456.0L), "1.23456789012346E15");
    EXPECT_EQ(numberToText(1.5e-5L), "1.5E-5");
    EXPECT_EQ(numberToText(1e-5L), "1E-5");
    EXPECT_EQ(numberToText(-2.5e300L), "-2.5E300");
    EXPECT_EQ(numberToText(LDBL_MAX), "1.18973149535723E4932");
    EXPECT_EQ(numberToText(1e-4900L), "1E-4900");
}

} // namespace
