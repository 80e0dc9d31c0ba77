#pragma once
// Measuring one picture with --find: the picture (its working image, or with
// fullResolution the picture at its own size) searched for the reference and
// the objects, one row per object in reading order.
#include "cli/PictureRow.h"

#include <QString>
#include <vector>

// The rows of the picture named file, read from path. With no object beside
// the reference there is one row without an object; when the picture cannot
// be read or has no reference, one row with the error. markedFile (when not
// empty) gets the marked view as a BMP; with view, the first row carries the
// marked view for the report.
std::vector<PictureRow> findRows(const QString& file, const QString& path, const MeasureSettings& settings,
                                 const FindSettings& find, const QString& markedFile, bool view);
