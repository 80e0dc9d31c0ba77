// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a batch's report is made of, from the batch itself: each picture's
// rows as the CSV has them, and how the batch was run.
#include "cli/MeasureOptions.h"
#include "cli/PictureRow.h"
#include "cli/report/Report.h"

#include <QString>
#include <QStringList>
#include <vector>

// The report's pictures: each picture's rows as the CSV has them, with its view.
std::vector<ReportPicture> reportPictures(const std::vector<PictureRow>& rows, bool find);

// How a batch was run: the program and its version, when, and its options;
// the pictures named after them only counted, as a batch may name hundreds.
QString runDescription(const QStringList& arguments, const MeasureOptions& options, qsizetype pictures);
