// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One row of a batch's results: a picture (with --find, one of its objects)
// as measured, or its failure.
#include "cli/MeasureOptions.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

struct PictureRow {
    QString file;              // as given
    std::optional<QSize> size; // the working image's; none when the picture failed
    std::optional<std::int32_t> objectDots;
    std::optional<std::int32_t> referenceDots;
    QString area;                          // empty: no reference, no reference dots, or a failure
    QString error;                         // the program's message; empty when all went well
    Warnings warnings;                     // of the measurement; none when the picture failed
    MeasureSettings settings;              // what it was measured with
    std::optional<int> object;             // --find: the object's number, 1, 2, ...
    std::optional<QRect> box;              // --find: its box, L,T,R,B in the picture's own pixels
    std::optional<double> referencePixels; // --find: the reference's fitted area in pixels
    int picture = 0;                       // the picture's place in the batch, from 0
    QByteArray view;                       // --report: the marked view (PNG), on a picture's first row

    bool failed() const { return !error.isEmpty(); }
};
