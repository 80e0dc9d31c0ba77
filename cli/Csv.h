#pragma once
// The batch's results as CSV (RFC 4180): a header row, then one row per
// picture; every row ends in CR LF.
//
//   file,width,height,object_dots,reference_dots,reference_area,area,error
//   leaf.jpg,1024,683,48213,5120,3.14,29.57,
//   "a,b.bmp",,,,,,,ファイル a,b.bmp は開けません
//
// A failed picture has only its file and error; reference_dots and area are
// empty without a reference rectangle, area also when no reference dot was
// counted.
#include "cli/Batch.h"

#include <QString>
#include <QStringList>
#include <vector>

// A file name's bytes that are not UTF-8 are written as \xHH
// (surface/FileName.h).
//
// The field as it is, or in double quotes with each quote doubled when it
// holds a comma, a quote, a CR or an LF.
QString csvField(const QString& text);
QString csvRecord(const QStringList& fields);

QString csvHeader();
// referenceArea is the reference area's text, written on measured rows.
QString csvRow(const PictureRow& row, const QString& referenceArea);
QString csvTable(const std::vector<PictureRow>& rows, const QString& referenceArea);
