// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The "＝" button: measured dots x reference area / reference dots, rounded
// to two decimals, in 80-bit extended precision.
#include "app/Unit1.h"
#include "calc/DecimalText.h"
#include "measure/Area.h"

void TForm1::Button1Click(QObject*)
{
    // A reference count of exactly zero: nothing to compute, nothing to say.
    // The fields are read in this order, so a faulty one is named in it.
    const long double referenceDots = textToNumber(Edit4->text());
    if (referenceDots == 0)
        return;
    const long double measuredDots = textToNumber(Edit2->text());
    const long double referenceArea = textToNumber(Edit3->text());
    const std::optional<long double> area = ruleOfThreeArea(measuredDots, referenceArea, referenceDots);
    Edit5->setText(numberToText(*area));
}
