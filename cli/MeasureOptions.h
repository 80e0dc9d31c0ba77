#pragma once
// The command line of planix-measure:
//
//   planix-measure [options] PICTURE...
//     --object L,T,R,B          rectangle around the shape (required)
//     --reference L,T,R,B       rectangle around the reference (optional)
//     --reference-area A        known area of the reference (default 3.14)
//     --by brightness|blue|green|red   counting rule (default brightness)
//     --threshold 10|20|...|90  brightness threshold in percent (default 50)
//     --marked DIR              marked working images as BMP files there
//     --csv FILE                results as CSV (default: standard output)
//     --help, --version
//
// Rectangles are in working-image pixels, right and bottom exclusive, and may
// reach beyond the picture. A malformed command line throws OptionError.
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
    CountRule rule = CountRule::Brightness;
    int thresholdTenths = 5; // 1 .. 9
};

struct MeasureOptions {
    MeasureSettings settings;
    QString markedFolder; // empty: no marked pictures
    QString csvFile;      // empty: standard output
    QStringList pictures;
    bool help = false;
    bool version = false;
};

class OptionError : public std::runtime_error {
public:
    explicit OptionError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// arguments as the process got them, the program's name first. The decimal
// separator of --reference-area is ".".
MeasureOptions parseMeasureOptions(const QStringList& arguments);

// "planix-measure: <problem>" with the one-line usage and a pointer to --help.
QString measureUsage(const QString& problem);
QString measureHelp();
QString measureVersion();
