// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The "＝" button on the main window, clicked with the mouse.
#include "SeparatorScope.h"
#include "support/Form1Harness.h"

#include <QtTest/QTest>

namespace {

const QString notANumber = QStringLiteral("' は浮動小数点数ではありません.");

class Calculator : public Form1Test {
protected:
    // Fills the three input fields, marks the result field and clicks "＝".
    void calculate(const QString& measured, const QString& area, const QString& reference)
    {
        form().Edit2->setText(measured);
        form().Edit3->setText(area);
        form().Edit4->setText(reference);
        form().Edit5->setText(QStringLiteral("old"));
        QTest::mouseClick(form().Button1, Qt::LeftButton);
    }
    QString result() { return form().Edit5->text(); }
    static QString notNumberMessage(const QString& text) { return "'" + text + notANumber; }

    SeparatorScope fullStop{u'.'};
};

TEST_F(Calculator, RuleOfThreeRoundedToTwoDecimals)
{
    EXPECT_EQ(form().Edit3->text(), "3.14");
    calculate("1234", "3.14", "567");
    EXPECT_EQ(result(), "6.83");
    calculate("1", "0.125", "1");
    EXPECT_EQ(result(), "0.12");
    calculate("1", "0.375", "1");
    EXPECT_EQ(result(), "0.38");
    calculate("-10", "3.14", "100");
    EXPECT_EQ(result(), "-0.31");
    calculate("3", "1", "1");
    EXPECT_EQ(result(), "3");
    calculate("1e14", "10", "1");
    EXPECT_EQ(result(), "1E15");
    calculate(" 12 ", "1", "1");
    EXPECT_EQ(result(), "12");
    calculate("7", "1", "-2");
    EXPECT_EQ(result(), "-3.5");
    calculate("1", "1", "1e-4940"); // a denormal reference that is not zero
    EXPECT_EQ(errors, QStringList{QStringLiteral("浮動小数点数のオーバーフロー.")});
    EXPECT_EQ(result(), "old");
}

TEST_F(Calculator, ExtendedPrecisionDecidesNearTies)
{
    // 5 x 3.14 / 4 is 3.925 in decimals; in extended precision 3.14 lies just
    // above and the product x 100 stays above 392.5 (in double it is 392.5
    // and would round to 3.92). Likewise 27 x 3.14 / 12 = 7.065.
    calculate("5", "3.14", "4");
    EXPECT_EQ(result(), "3.93");
    calculate("27", "3.14", "12");
    EXPECT_EQ(result(), "7.07");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Calculator, ResultBeyondInt64IsAnInvalidOperation)
{
    calculate("1e20", "1", "1");
    EXPECT_EQ(errors, QStringList{QStringLiteral("不正な浮動小数点数演算命令.")});
    EXPECT_EQ(result(), "old");
}

TEST_F(Calculator, ProductOverflow)
{
    calculate("1e4000", "1e4000", "1");
    EXPECT_EQ(errors, QStringList{QStringLiteral("浮動小数点数のオーバーフロー.")});
    EXPECT_EQ(result(), "old");
}

TEST_F(Calculator, ZeroReferenceDoesNothing)
{
    for (const char* zero : {"0", "0.00", "-0", "0e7", " 0 "}) {
        calculate("abc", "", zero);
        EXPECT_EQ(result(), "old") << zero;
        calculate("", "3.14", zero);
        EXPECT_EQ(result(), "old") << zero;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Calculator, FieldsAreCheckedInOrder)
{
    calculate("abc", "xyz", "");
    calculate("abc", "", "5");
    calculate("12", QStringLiteral("３．１４"), "5");
    calculate("1\t2", "3.14", "5");
    calculate("12", "3.14", "1e5000");
    EXPECT_EQ(errors, (QStringList{"''" + notANumber.mid(1), notNumberMessage("abc"),
                                   notNumberMessage(QStringLiteral("３．１４")), notNumberMessage("1\t2"),
                                   notNumberMessage("1e5000")}));
    EXPECT_EQ(errors.first(), QStringLiteral("'' は浮動小数点数ではありません."));
    EXPECT_EQ(result(), "old");
}

TEST_F(Calculator, StillWorksAfterAnError)
{
    calculate("abc", "3.14", "567");
    ASSERT_EQ(errors.size(), 1);
    form().Edit2->setText("1234");
    QTest::mouseClick(form().Button1, Qt::LeftButton);
    EXPECT_EQ(result(), "6.83");
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(Calculator, CommaSeparatorLocale)
{
    SeparatorScope comma(u',');
    calculate("1234", "3,14", "567");
    EXPECT_EQ(result(), "6,83");
    calculate("1234", "3.14", "567");
    EXPECT_EQ(errors, QStringList{notNumberMessage("3.14")});
    EXPECT_EQ(result(), "old");
}

} // namespace
