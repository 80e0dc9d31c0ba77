// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "calc/DecimalText.h"

#include "base/PlanixError.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

QChar separatorInUse = u'.';

// Exponent digits are read only while the exponent stays below this.
constexpr int exponentReadLimit = 500;

// 10^4932 is the largest power of ten the extended range holds.
constexpr int largestFinitePower = 4932;

// 10^n for 0 <= n <= largestFinitePower, correctly rounded to extended
// precision. Up to 10^27 the product of tens is exact; beyond, the C
// library's decimal conversion gives the correctly rounded value.
long double powerOfTen(int n)
{
    if (n <= 27) {
        long double power = 1;
        for (int i = 0; i < n; ++i)
            power *= 10;
        return power;
    }
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", n);
    return std::strtold(text, nullptr);
}

// value x 10^exponent: one multiplication by the power of ten, or one
// division by it for a negative exponent (in more steps only where the power
// itself would leave the extended range).
long double scaledByPowerOfTen(long double value, long long exponent)
{
    const bool down = exponent < 0;
    long long remaining = down ? -exponent : exponent;
    do {
        const int step = int(std::min<long long>(remaining, largestFinitePower));
        value = down ? value / powerOfTen(step) : value * powerOfTen(step);
        remaining -= step;
    } while (remaining > 0 && value != 0 && std::isfinite(value));
    return value;
}

// Reading position in a field's text.
struct Cursor {
    const QString& text;
    qsizetype at = 0;

    bool atEnd() const { return at == text.size(); }
    bool atDigit() const { return !atEnd() && text[at] >= u'0' && text[at] <= u'9'; }
    int takeDigit() { return text[at++].unicode() - u'0'; }
    bool take(QChar c)
    {
        if (atEnd() || text[at] != c)
            return false;
        ++at;
        return true;
    }
    void skipSpaces()
    {
        while (take(u' ')) { }
    }
};

// True for "-", false for "+" or no sign.
bool takeSign(Cursor& in)
{
    if (in.take(u'-'))
        return true;
    in.take(u'+');
    return false;
}

// The mantissa's digits as one whole number, accumulated digit by digit.
struct Mantissa {
    long double digits = 0;
    long long fractionDigits = 0;
    bool empty = true;
};

Mantissa readMantissa(Cursor& in)
{
    Mantissa mantissa;
    while (in.atDigit()) {
        mantissa.digits = mantissa.digits * 10 + in.takeDigit();
        mantissa.empty = false;
    }
    if (!in.take(separatorInUse))
        return mantissa;
    mantissa.empty = false;
    while (in.atDigit()) {
        mantissa.digits = mantissa.digits * 10 + in.takeDigit();
        ++mantissa.fractionDigits;
    }
    return mantissa;
}

// The exponent part, 0 when there is none.
int readExponent(Cursor& in)
{
    if (!in.take(u'E') && !in.take(u'e'))
        return 0;
    const bool negative = takeSign(in);
    int exponent = 0;
    while (exponent < exponentReadLimit && in.atDigit())
        exponent = exponent * 10 + in.takeDigit();
    return negative ? -exponent : exponent;
}

// The significant digits and decimal exponent e of value = 0.d1d2..dk x 10^e,
// the magnitude rounded to 15 significant digits, trailing zeros dropped.
struct Digits {
    QString digits;
    int exponent = 0;
};

Digits significantDigits(long double magnitude)
{
    char printed[64]; // d.dddddddddddddde[+-]x, the point as LC_NUMERIC has it
    std::snprintf(printed, sizeof printed, "%.14Le", magnitude);
    Digits result;
    const char* c = printed;
    for (; *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            result.digits += QLatin1Char(*c);
    result.exponent = std::atoi(c + 1) + 1;
    while (result.digits.endsWith(u'0'))
        result.digits.chop(1);
    return result;
}

QString fixedNotation(const Digits& d)
{
    if (d.exponent <= 0)
        return u'0' + QString(separatorInUse) + QString(-d.exponent, u'0') + d.digits;
    const QString whole = d.digits.left(d.exponent).leftJustified(d.exponent, u'0');
    const QString fraction = d.digits.mid(d.exponent);
    return fraction.isEmpty() ? whole : whole + separatorInUse + fraction;
}

QString scientificNotation(const Digits& d)
{
    QString text = d.digits.left(1);
    if (d.digits.size() > 1)
        text += separatorInUse + d.digits.mid(1);
    return text + u'E' + QString::number(d.exponent - 1);
}

} // namespace

QChar decimalSeparator() { return separatorInUse; }

void setDecimalSeparator(QChar separator) { separatorInUse = separator; }

void useSystemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    setDecimalSeparator(point.isEmpty() ? QChar(u'.') : point.front());
}

std::optional<long double> parseNumber(const QString& text)
{
    Cursor in{text};
    in.skipSpaces();
    const bool negative = takeSign(in);
    const Mantissa mantissa = readMantissa(in);
    if (mantissa.empty)
        return std::nullopt;
    const int exponent = readExponent(in);
    in.skipSpaces();
    if (!in.atEnd())
        return std::nullopt;
    const long double value = scaledByPowerOfTen(mantissa.digits, exponent - mantissa.fractionDigits);
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

long double textToNumber(const QString& text)
{
    if (const auto value = parseNumber(text))
        return *value;
    throw PlanixError(u'\'' + text + QStringLiteral("' は浮動小数点数ではありません"));
}

QString numberToText(long double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const Digits digits = significantDigits(std::fabs(value));
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (digits.exponent >= -3 && digits.exponent <= 15)
        return sign + fixedNotation(digits);
    return sign + scientificNotation(digits);
}
