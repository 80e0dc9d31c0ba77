#include "cli/Measure.h"

#include "calc/DecimalText.h"
#include "counting/Thresholds.h"
#include "measure/Area.h"
#include "measure/Count.h"

Measurement measurePicture(const QString& fileName, const MeasureSettings& settings)
{
    Measurement result;
    result.workingImage = loadWorkingImage(fileName);
    Surface canvas(result.workingImage);
    const float threshold = thresholdValue(settings.thresholdTenths);
    result.objectDots = countDots(canvas, settings.object, settings.rule, threshold).dots;
    if (settings.reference)
        result.referenceDots = countDots(canvas, *settings.reference, settings.rule, threshold).dots;
    return result;
}

std::optional<QString> areaText(std::int32_t objectDots, std::int32_t referenceDots, long double referenceArea)
{
    const std::optional<long double> area = ruleOfThreeArea(objectDots, referenceArea, referenceDots);
    if (!area)
        return std::nullopt;
    return pointDecimalText(*area);
}

QString pointDecimalText(long double value)
{
    // The calculator's text holds no other separator and no thousands
    // separators, so its decimal separator is the only character to swap.
    QString text = numberToText(value);
    text.replace(decimalSeparator(), u'.');
    return text;
}
