// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Measuring a list of pictures with one setting, several at a time; the rows
// come back in the order the pictures were given.
#include "cli/BoxesFile.h"
#include "cli/MeasureOptions.h"
#include "cli/PictureRow.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A picture measured with settings of its own (a row of --boxes).
struct PictureTask {
    QString path; // where to read it; empty: the name as given
    MeasureSettings settings;
    QString error; // not empty: the picture is not measured, its row has this error
};

struct BatchJob {
    QStringList pictures;           // as the rows name them
    MeasureSettings settings;       // for every picture without a task
    QString markedFolder;           // empty: no marked pictures
    int workers = 1;                // pictures measured at the same time, 1 or more
    std::vector<PictureTask> tasks; // empty, or one per picture
    bool find = false;              // --find: rows per object
    FindSettings findSettings{};
    bool views = false; // keep each picture's marked view for the report
};

// Where each picture is read: its task's path, or its name as given.
QStringList readPaths(const BatchJob& job);

// One task per row of a --boxes file, each starting from defaults: its
// rectangles and area replace the defaults' where given. A row without an
// object rectangle needs objectGiven (--object on the command line), else it
// gets an error. A relative file is read from folder.
std::vector<PictureTask> boxTasks(const std::vector<BoxRow>& rows, const MeasureSettings& defaults, bool objectGiven,
                                  const QString& folder);

// Takes each row as soon as it and every row before it are done, in the
// given order, one at a time. An exception it throws stops the batch and is
// thrown again by measureBatch.
using RowReady = std::function<void(const PictureRow&)>;

// One row per picture (with find, one per object), in the given order. A picture that cannot be read or
// decoded, or whose marked picture cannot be written, carries the program's
// message in its row; the others are measured all the same. A marked picture
// is written whole or not at all, and never over a picture of the batch.
std::vector<PictureRow> measureBatch(const BatchJob& job, const RowReady& ready = {});

// The processors this process may run on, but no more workers than pictures
// (at least 1).
int defaultWorkers(qsizetype pictures);

// The marked pictures' file names in markedFolder, one per picture: its own
// file name with ".bmp" added ("leaf.jpg" -> "leaf.jpg.bmp"); a name given
// before gets "-2", "-3", ... before ".bmp".
QStringList markedFileNames(const QStringList& pictures, const QString& markedFolder);
