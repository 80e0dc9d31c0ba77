#pragma once
// Measuring a list of pictures with one setting, several at a time; the rows
// come back in the order the pictures were given.
#include "cli/MeasureOptions.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct PictureRow {
    QString file;                       // as given
    std::optional<QSize> size;          // the working image's; none when the picture failed
    std::optional<std::int32_t> objectDots;
    std::optional<std::int32_t> referenceDots;
    QString area;                       // empty: no reference, no reference dots, or a failure
    QString error;                      // the program's message; empty when all went well

    bool failed() const { return !error.isEmpty(); }
};

struct BatchJob {
    QStringList pictures;
    MeasureSettings settings;
    QString markedFolder; // empty: no marked pictures
    int workers = 1;      // pictures measured at the same time, 1 or more
};

// Takes each row as soon as it and every row before it are done, in the
// given order, one at a time. An exception it throws stops the batch and is
// thrown again by measureBatch.
using RowReady = std::function<void(const PictureRow&)>;

// One row per picture, in the given order. A picture that cannot be read or
// decoded, or whose marked picture cannot be written, carries the program's
// message in its row; the others are measured all the same. A marked picture
// is written whole or not at all, and never over a picture of the batch.
std::vector<PictureRow> measureBatch(const BatchJob& job, const RowReady& ready = {});

// The machine's cores, but no more workers than pictures (at least 1).
int defaultWorkers(qsizetype pictures);

// The marked pictures' file names in markedFolder, one per picture: its own
// file name with ".bmp" added ("leaf.jpg" -> "leaf.jpg.bmp"); a name given
// before gets "-2", "-3", ... before ".bmp".
QStringList markedFileNames(const QStringList& pictures, const QString& markedFolder);
