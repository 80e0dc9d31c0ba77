// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Measuring one picture for planix-measure, on the program's one measuring
// path (measure/): opened as the open command opens it, counted as the
// counting commands count (the object first, then the reference on the same,
// already marked, working image), the area by the "＝" button's rule.
#include "cli/MeasureOptions.h"
#include "cli/MemoryBudget.h"
#include "measure/WorkingImage.h"

#include <QString>
#include <cstdint>
#include <optional>

struct Measurement {
    // The image counted, marked by the counts: the working image, or with
    // fullResolution the picture at its own size (only the part the
    // rectangles cover unless the whole picture was asked for).
    TBitmap workingImage;
    QSize countedSize; // the working image's size, or the picture's own
    std::int32_t objectDots = 0;
    std::optional<std::int32_t> referenceDots; // none without a reference rectangle
    Warnings warnings;
    MemoryHeld memory; // with fullResolution: what the image is counted to take, held while it lives
};

// The picture measured by settings: the window's levels and rules count
// exactly as the window does; robust levels, colour margins, full
// resolution and picture units as MeasureSettings says. wholePicture: with
// fullResolution, draw the whole picture (for the marked picture) rather
// than only the rectangles' part.
Measurement measurePicture(const QString& fileName, const MeasureSettings& settings, bool wholePicture = false);

// ruleOfThreeArea(objectDots, referenceArea, referenceDots) as text with "."
// for the decimal point. Empty when referenceDots is 0. Throws PlanixError
// with the calculator's message on a floating-point fault.
std::optional<QString> areaText(std::int32_t objectDots, std::int32_t referenceDots, long double referenceArea);

// The calculator's text of value, with "." as the decimal point whatever the
// user's separator is.
QString pointDecimalText(long double value);
