// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Measuring one picture with --find: the picture (its working image, or with
// fullResolution the picture at its own size) searched for the reference and
// the objects, one row per object in reading order.
#include "cli/MemoryBudget.h"
#include "cli/PictureRow.h"

#include <QImage>
#include <QString>
#include <vector>

struct FoundRows {
    std::vector<PictureRow> rows;
    QImage marked;     // with marked: the marked view, when the picture was searched
    MemoryHeld memory; // with fullResolution: what searching the picture is counted to take
};

// The rows of the picture named file, read from path. With no object beside
// the reference there is one row without an object, with the warning
// no-object; when the picture cannot
// be read or has no reference, one row with the error. With view, the first
// row carries the marked view for the report.
FoundRows findRows(const QString& file, const QString& path, const MeasureSettings& settings, const FindSettings& find,
                   bool marked, bool view);
