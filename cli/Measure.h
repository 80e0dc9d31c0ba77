#pragma once
// Measuring one picture exactly as the main window does it: opened as the
// open command opens it, counted as the counting commands count (the object
// first, then the reference on the same, already marked, working image), and
// the area worked out as the "＝" button works it out.
#include "cli/MeasureOptions.h"
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Surface.h"

#include <QString>
#include <cstdint>
#include <optional>

// The open command's working image: the file read by its extension, then a
// new white bitmap of the fitted size (at most 1024 x 768) with the whole
// picture stretched over it; a side fitted to 0 leaves it empty. Throws
// PlanixError with the program's message when the file cannot be read or
// decoded.
TBitmap loadWorkingImage(const QString& fileName);

// Counts the dots of rect on canvas by rule and marks each counted one, as
// the brightness or colour command does (thresholdTenths 1 .. 9 picks the
// threshold submenu's value; only the brightness rule uses it).
std::int32_t countDots(Surface& canvas, const SelectionRect& rect, CountRule rule, int thresholdTenths);

struct Measurement {
    TBitmap workingImage; // marked by the counts
    std::int32_t objectDots = 0;
    std::optional<std::int32_t> referenceDots; // none without a reference rectangle
};

Measurement measurePicture(const QString& fileName, const MeasureSettings& settings);

// The calculator's area: roundToDigits(2, referenceArea x objectDots /
// referenceDots) in extended precision with the floating-point checks, as
// text with "." for the decimal point. Empty when referenceDots is 0. Throws
// PlanixError with the calculator's message on a floating-point fault.
std::optional<QString> areaText(std::int32_t objectDots, std::int32_t referenceDots, long double referenceArea);

// The calculator's text of value, with "." as the decimal point whatever the
// user's separator is.
QString pointDecimalText(long double value);
