// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calculator's numbers as text: reading a field's text into an 80-bit
// extended-precision value and writing a result back, both with the user's
// decimal separator.
#include <QChar>
#include <QString>
#include <optional>

// The decimal separator both directions use. Read once at start-up from the
// user's locale; "." until then, and "." when the locale names none.
QChar decimalSeparator();
void setDecimalSeparator(QChar separator);
void useSystemDecimalSeparator();

// Reads text of the form
//
//     spaces  [+|-]  digits [sep digits]  [(E|e) [+|-] digits]  spaces
//
// Spaces are U+0020 only; digits are ASCII "0".."9" only; the mantissa may be
// "5", "5.", ".5" or a lone separator (0); the exponent's digit run may be
// empty ("1e", "1E+" read as 1). Exponent digits are read only while the
// exponent is below 500: a digit left after it reaches 500 or more makes the
// text invalid. The mantissa's digits are accumulated into an extended value
// as a whole number, then scaled by 10^(exponent - digits after the
// separator). Empty when the text does not match or the value overflows the
// extended range; values too small for it become 0.
std::optional<long double> parseNumber(const QString& text);

// parseNumber, or the program's error "'<text>' は浮動小数点数ではありません".
long double textToNumber(const QString& text);

// General format with 15 significant digits: "0" for zero; fixed notation
// when the value is 0.d1d2..dk x 10^e with -3 <= e <= 15 ("6.83", "12",
// "0.0001"), scientific otherwise ("1E15", "1.5E-5", "-2.5E300"). Trailing
// zeros are dropped, no "+" and no thousands separators are written.
// value must be finite.
QString numberToText(long double value);
