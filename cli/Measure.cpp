// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Measure.h"

#include "cli/PicturePart.h"
#include "cli/Units.h"
#include "cli/analysis/RectangleCount.h"

#include "calc/DecimalText.h"
#include "counting/Thresholds.h"
#include "measure/Area.h"
#include "measure/Fit.h"
#include "surface/readers/PictureFile.h"

#include <algorithm>

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
    return QRect(QPoint(clamp(rect.left), clamp(rect.top)),
                 QPoint(clamp(std::int64_t(rect.right) - 1), clamp(std::int64_t(rect.bottom) - 1)));
}

// The part of rect inside the picture and the picture round it that its
// count may read.
QRect withSurround(const SelectionRect& rect, QSize picture)
{
    const QRect part = insidePart(rect, picture.width(), picture.height());
    if (part.isEmpty())
        return areaOf(rect);
    const int reach = surroundReach();
    return part.adjusted(-reach, -reach, reach, reach);
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
        const QRect box = wholePicture
                              ? QRect(QPoint(0, 0), own)
                              : withSurround(object, own) | (reference ? withSurround(*reference, own) : QRect());
        result.memory = holdToMeasure((box & QRect(QPoint(0, 0), own)).size());
        PicturePart part = picturePart(picture, box);
        result.workingImage = std::move(part.pixels);
        offset = part.offset;
        result.countedSize = own;
    } else {
        result.workingImage = fittedBitmap(picture); // the open command's working image
        if (settings.pictureUnits && !own.isEmpty() && !fitted.isEmpty()) {
            object = toWorkingUnits(object, own, fitted);
            if (reference)
                reference = toWorkingUnits(*reference, own, fitted);
        }
        result.countedSize = fitted;
    }

    if (picture.cutShort())
        result.warnings.add(Warning::PictureCutShort);
    Surface canvas(result.workingImage);
    const RectangleCount objectCount = countRectangle(
        canvas, shifted(object, -offset), rectangleRule(settings.rule, settings), false, result.countedSize, offset);
    result.objectDots = objectCount.dots;
    result.warnings.add(objectCount.warnings);
    if (reference) {
        const RectangleCount referenceCount = countRectangle(canvas, shifted(*reference, -offset),
                                                             rectangleRule(settings.referenceRule, settings), true,
                                                             result.countedSize, offset);
        result.referenceDots = referenceCount.dots;
        result.warnings.add(referenceCount.warnings);
    }
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
