// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The batch report: one self-contained HTML page to check a batch at a
// glance. A summary (how the batch was run, pictures, objects, total and
// mean area, warnings by code, each with what it means), then one section
// per picture, those that failed first: its marked view (embedded as PNG
// data, at most reportImageWidth wide, shown small and at that width on a
// click), its rows as in the CSV (without the file, its heading, and
// without the columns empty throughout), its objects' total area where it
// has several, and its warnings (their meaning shown on hovering) and error
// highlighted. The page needs no other file, no script file and no network.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

struct ReportRow {
    QStringList cells;    // as written in the CSV
    QString area;         // "." decimal; empty when there is none
    QStringList warnings; // codes
    QString error;        // empty when measured
};

struct ReportPicture {
    QString file;
    QByteArray png; // from reportImage; empty: no view
    std::vector<ReportRow> rows;

    bool failed() const;
};

// The widest view embedded.
inline constexpr int reportImageWidth = 800;
// What one view may take before it is coarsened (fewer levels per channel,
// then fewer pixels), so that a page of hundreds of pictures stays small.
inline constexpr qsizetype reportImageBudget = 150 * 1024;

// The view of marked for the page: PNG, at most reportImageWidth wide.
QByteArray reportImage(const QImage& marked);

// The page. header: the CSV's column names, in the order of every row's
// cells; run: how the batch was run (the program, its version, its
// options), shown at the top unless empty.
QString reportPage(const QStringList& header, const std::vector<ReportPicture>& pictures,
                   const QString& run = QString());
