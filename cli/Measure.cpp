#include "cli/Measure.h"

#include "calc/DecimalText.h"
#include "calc/FloatingPoint.h"
#include "counting/Kernels.h"
#include "counting/Thresholds.h"
#include "surface/readers/PictureFile.h"
#include "measure/Fit.h"

TBitmap loadWorkingImage(const QString& fileName)
{
    const Picture loaded = readPictureFile(fileName);
    const QSize size = fittedSize(loaded.width(), loaded.height());
    TBitmap fitted = TBitmap::white(size.width(), size.height());
    if (!fitted.isEmpty())
        loaded.stretchDraw(fitted.writableImage(), QRect(QPoint(0, 0), size));
    return fitted;
}

namespace {

// The brightness command: the levels of the rectangle's centre and top-left
// corner, as they are now, set the band of levels that count.
std::int32_t countByBrightness(Surface& canvas, const SelectionRect& rect, int thresholdTenths)
{
    const QPoint centre = centreOf(rect);
    const int centreLevel = levelOf(canvas.pixel(centre.x(), centre.y()));
    const int cornerLevel = levelOf(canvas.pixel(rect.left, rect.top));
    const LevelBand counted = countedLevels(centreLevel, cornerLevel, thresholdValue(thresholdTenths));
    return countBrightness(canvas, rect, counted).dots;
}

} // namespace

std::int32_t countDots(Surface& canvas, const SelectionRect& rect, CountRule rule, int thresholdTenths)
{
    switch (rule) {
    case CountRule::Brightness: return countByBrightness(canvas, rect, thresholdTenths);
    case CountRule::Blue: return countDominant(canvas, rect, Channel::Blue);
    case CountRule::Green: return countDominant(canvas, rect, Channel::Green);
    case CountRule::Red: return countDominant(canvas, rect, Channel::Red);
    }
    return 0;
}

Measurement measurePicture(const QString& fileName, const MeasureSettings& settings)
{
    Measurement result;
    result.workingImage = loadWorkingImage(fileName);
    Surface canvas(result.workingImage);
    result.objectDots = countDots(canvas, settings.object, settings.rule, settings.thresholdTenths);
    if (settings.reference)
        result.referenceDots = countDots(canvas, *settings.reference, settings.rule, settings.thresholdTenths);
    return result;
}

std::optional<QString> areaText(std::int32_t objectDots, std::int32_t referenceDots, long double referenceArea)
{
    if (referenceDots == 0)
        return std::nullopt;
    const long double product = checkedProduct(referenceArea, objectDots);
    const long double area = checkedQuotient(product, referenceDots);
    return pointDecimalText(roundToDigits(2, area));
}

QString pointDecimalText(long double value)
{
    // The calculator's text holds no other separator and no thousands
    // separators, so its decimal separator is the only character to swap.
    QString text = numberToText(value);
    text.replace(decimalSeparator(), u'.');
    return text;
}
