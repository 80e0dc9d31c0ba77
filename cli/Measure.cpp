#include "cli/Measure.h"

#include "cli/PicturePart.h"
#include "cli/Units.h"
#include "cli/analysis/RectangleCount.h"

#include "calc/DecimalText.h"
#include "calc/FloatingPoint.h"
#include "counting/Kernels.h"
#include "counting/Thresholds.h"
#include "surface/PictureFile.h"
#include "workspace/Fit.h"

#include <algorithm>

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

namespace {

std::optional<Channel> channelOf(CountRule rule)
{
    switch (rule) {
    case CountRule::Brightness: return std::nullopt;
    case CountRule::Blue: return Channel::Blue;
    case CountRule::Green: return Channel::Green;
    case CountRule::Red: return Channel::Red;
    }
    return std::nullopt;
}

RectangleRule rectangleRule(CountRule rule, const MeasureSettings& settings)
{
    RectangleRule result;
    result.levels = settings.levels;
    result.colour = channelOf(rule);
    result.thresholdTenths = settings.autoThreshold ? std::nullopt : std::optional(settings.thresholdTenths);
    result.colourMargin = settings.colourMargin;
    return result;
}

SelectionRect shifted(const SelectionRect& rect, QPoint by)
{
    return {rect.left + by.x(), rect.top + by.y(), rect.right + by.x(), rect.bottom + by.y()};
}

// Columns left .. right - 1 and rows top .. bottom - 1 as a QRect (none when empty).
QRect areaOf(const SelectionRect& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return {};
    const auto clamp = [](std::int64_t v) { return int(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30)); };
    return QRect(QPoint(clamp(rect.left), clamp(rect.top)), QPoint(clamp(std::int64_t(rect.right) - 1),
                                                                    clamp(std::int64_t(rect.bottom) - 1)));
}

} // namespace

Measurement measurePicture(const QString& fileName, const MeasureSettings& settings, bool wholePicture)
{
    Measurement result;
    const Picture picture = readPictureFile(fileName);
    const QSize own(picture.width(), picture.height());
    const QSize fitted = fittedSize(own.width(), own.height());
    SelectionRect object = settings.object;
    std::optional<SelectionRect> reference = settings.reference;
    QPoint offset;
    if (settings.fullResolution) {
        if (!settings.pictureUnits && !fitted.isEmpty()) {
            object = toPictureUnits(object, own, fitted);
            if (reference)
                reference = toPictureUnits(*reference, own, fitted);
        }
        const QRect box = wholePicture ? QRect(QPoint(0, 0), own)
                                       : areaOf(object) | (reference ? areaOf(*reference) : QRect());
        PicturePart part = picturePart(picture, box);
        result.workingImage = std::move(part.pixels);
        offset = part.offset;
        result.countedSize = own;
    } else {
        result.workingImage = TBitmap::white(fitted.width(), fitted.height());
        if (!result.workingImage.isEmpty())
            picture.stretchDraw(result.workingImage.writableImage(), QRect(QPoint(0, 0), fitted));
        if (settings.pictureUnits && !own.isEmpty() && !fitted.isEmpty()) {
            object = toWorkingUnits(object, own, fitted);
            if (reference)
                reference = toWorkingUnits(*reference, own, fitted);
        }
        result.countedSize = fitted;
    }

    Surface canvas(result.workingImage);
    const RectangleCount objectCount = countRectangle(canvas, shifted(object, -offset), rectangleRule(settings.rule, settings),
                                                      false, result.countedSize, offset);
    result.objectDots = objectCount.dots;
    result.warnings.add(objectCount.warnings);
    if (reference) {
        const RectangleCount referenceCount =
            countRectangle(canvas, shifted(*reference, -offset), rectangleRule(settings.referenceRule, settings), true,
                           result.countedSize, offset);
        result.referenceDots = referenceCount.dots;
        result.warnings.add(referenceCount.warnings);
    }
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
