// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The batch's results as CSV (RFC 4180): a header row, then one row per
// picture; every row ends in CR LF.
//
//   file,width,height,object_dots,reference_dots,reference_area,area,error,
//     warnings,levels,object_by,reference_by,threshold,full_resolution
//   leaf.jpg,1024,683,48213,5120,3.14,29.57,,,window,brightness,brightness,50,no
//   "a,b.bmp",,,,,,,ファイル a,b.bmp は開けません,,,,,,
//
// A failed picture has only its file and error; reference_dots, area and
// reference_by are empty without a reference rectangle, area also when no
// reference dot was counted. warnings holds codes separated by ";". width
// and height are the counted image's: the working image, or the picture's
// own size with full_resolution "yes".
#include "cli/Batch.h"

#include <QString>
#include <QStringList>
#include <vector>

// A file name's bytes that are not UTF-8 are written as \xHH
// (surface/readers/FileName.h).
//
// The field as it is, or in double quotes with each quote doubled when it
// holds a comma, a quote, a CR or an LF.
QString csvField(const QString& text);
QString csvRecord(const QStringList& fields);

// The columns, and a row's fields; with find, two more at the end: object
// and box.
QStringList csvColumns(bool find = false);
QStringList csvFields(const PictureRow& row, bool find = false);
QString csvHeader(bool find = false);
QString csvRow(const PictureRow& row, bool find = false);
QString csvTable(const std::vector<PictureRow>& rows, bool find = false);
// "brightness", "blue", "green", "red".
QString ruleName(CountRule rule);
