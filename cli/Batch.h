#pragma once
// Measuring a list of pictures with one setting, several at a time; the rows
// come back in the order the pictures were given.
#include "cli/BoxesFile.h"
#include "cli/MeasureOptions.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

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
    FindSettings findSettings;
    bool views = false; // keep each picture's marked view for the report
};

// One task per row of a --boxes file, each starting from defaults: its
// rectangles and area replace the defaults' where given. A row without an
// object rectangle needs objectGiven (--object on the command line), else it
// gets an error. A relative file is read from folder.
std::vector<PictureTask> boxTasks(const std::vector<BoxRow>& rows, const MeasureSettings& defaults, bool objectGiven,
                                  const QString& folder);

// One row per picture (with find, one per object), in the given order. A picture that cannot be read or
// decoded, or whose marked picture cannot be written, carries the program's
// message in its row; the others are measured all the same.
std::vector<PictureRow> measureBatch(const BatchJob& job);

// The machine's cores, but no more workers than pictures (at least 1).
int defaultWorkers(qsizetype pictures);

// The marked pictures' file names in markedFolder, one per picture: its own
// file name with ".bmp" added ("leaf.jpg" -> "leaf.jpg.bmp"); a name given
// before gets "-2", "-3", ... before ".bmp".
QStringList markedFileNames(const QStringList& pictures, const QString& markedFolder);
