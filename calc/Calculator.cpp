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
