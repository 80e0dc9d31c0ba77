// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A rectangle per picture: the --boxes file of planix-measure.
//
//   file,object,reference,reference_area
//   leaf1.jpg,"120,80,900,700","950,100,1010,160",3.14
//   leaf2.jpg,"100,60,880,690",,
//
// CSV (RFC 4180; LF or CR LF; a UTF-8 byte order mark is skipped; blank lines
// are skipped). Rectangles are "L,T,R,B" (right and bottom exclusive, in the
// units --units names); an empty field takes the value the command line
// gives (--object, --reference, --reference-area). reference_area is
// optional per row and may be left out of the header altogether. Relative
// picture names are taken from the boxes file's own folder.
#include "selection/SelectionRect.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

struct BoxRow {
    int line = 0; // where the row starts in the file, from 1
    QString file; // as written
    std::optional<SelectionRect> object;
    std::optional<SelectionRect> reference;
    std::optional<long double> referenceArea;
    QString error; // what is wrong with the row; empty when it is good
};

// The rows of a boxes file. Throws PlanixError when the header is not
// "file,object,reference[,reference_area]".
std::vector<BoxRow> parseBoxes(const QByteArray& bytes);

// "L,T,R,B" with L <= R and T <= B, blanks around each number allowed; none otherwise.
std::optional<SelectionRect> parseRectangle(const QString& text);

// A reference area: a finite number above zero with "." as the decimal point; none otherwise.
std::optional<long double> parseReferenceArea(const QString& text);
