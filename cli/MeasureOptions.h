// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The command line of planix-measure (measureHelp() tells it all):
//
//   planix-measure [options] PICTURE...
//   planix-measure --boxes FILE [options] [PICTURE...]
//   planix-measure --sizes PICTURE...
//
// Rectangles are right and bottom exclusive and may reach beyond the
// picture. A malformed command line throws OptionError.
#include "cli/analysis/Warnings.h"
#include "cli/find/FindObjects.h"
#include "measure/Count.h"
#include "selection/SelectionRect.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

// What every picture of a batch is measured with.
struct MeasureSettings {
    SelectionRect object;
    std::optional<SelectionRect> reference;
    // The reference area as the calculator reads its field ("3.14" at start).
    long double referenceArea = 0;
    CountRule rule = CountRule::Brightness;          // the object's
    CountRule referenceRule = CountRule::Brightness; // the reference's
    int thresholdTenths = 5;                         // 1 .. 9
    bool autoThreshold = false;                      // robust levels only: the limit at the histogram's split
    LevelRule levels = LevelRule::Window;
    int colourMargin = 0;        // 0 .. 254; 0 is the window's rule
    bool fullResolution = false; // count the picture at its own size
    bool pictureUnits = false;   // rectangles in the picture's own pixels
};

struct MeasureOptions {
    MeasureSettings settings;
    bool objectGiven = false;  // --object (else each --boxes row must give one)
    QString boxesFile;         // empty: none
    bool sizes = false;        // print the sizes, measure nothing
    QString markedFolder;      // empty: no marked pictures
    QString csvFile;           // empty: standard output
    bool find = false;         // find the objects and the reference, no rectangles
    FindSettings findSettings; // with find
    QString reportFile;        // empty: no report page
    QStringList pictures;
    bool help = false;
    bool version = false;
};

class OptionError : public std::runtime_error {
public:
    explicit OptionError(const QString& message) : std::runtime_error(message.toStdString()) { }
};

// arguments as the process got them, the program's name first. The decimal
// separator of --reference-area is ".".
MeasureOptions parseMeasureOptions(const QStringList& arguments);

// "planix-measure: <problem>" with the one-line usage and a pointer to --help.
QString measureUsage(const QString& problem);
QString measureHelp();
QString measureVersion();
