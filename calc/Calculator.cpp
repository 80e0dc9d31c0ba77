// The "＝" button: measured dots x reference area / reference dots, rounded
// to two decimals, in 80-bit extended precision.
#include "app/Unit1.h"
#include "calc/DecimalText.h"
#include "calc/FloatingPoint.h"

void TForm1::Button1Click(QObject*)
{
    // A reference count of exactly zero: nothing to compute, nothing to say.
    if (textToNumber(Edit4->text()) == 0)
        return;
    const long double measuredDots = textToNumber(Edit2->text());
    const long double referenceArea = textToNumber(Edit3->text());
    const long double product = checkedProduct(referenceArea, measuredDots);
    const long double referenceDots = textToNumber(Edit4->text());
    const long double area = checkedQuotient(product, referenceDots);
    const long double rounded = roundToDigits(2, area);
    Edit5->setText(numberToText(rounded));
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
