// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/MeasureOptions.h"

#include "cli/BoxesFile.h"

#include <QCommandLineParser>
#include <cmath>
#include <limits>

namespace {

const QString programName = QStringLiteral("planix-measure");

// The calculator's reference-area field starts with this text.
const QString defaultReferenceArea = QStringLiteral("3.14");

struct Options {
    QCommandLineOption object{QStringLiteral("object"), QString(), QStringLiteral("L,T,R,B")};
    QCommandLineOption reference{QStringLiteral("reference"), QString(), QStringLiteral("L,T,R,B")};
    QCommandLineOption referenceArea{QStringLiteral("reference-area"), QString(), QStringLiteral("A")};
    QCommandLineOption by{QStringLiteral("by"), QString(), QStringLiteral("rule")};
    QCommandLineOption objectBy{QStringLiteral("object-by"), QString(), QStringLiteral("rule")};
    QCommandLineOption referenceBy{QStringLiteral("reference-by"), QString(), QStringLiteral("rule")};
    QCommandLineOption threshold{QStringLiteral("threshold"), QString(), QStringLiteral("percent")};
    QCommandLineOption levels{QStringLiteral("levels"), QString(), QStringLiteral("rule")};
    QCommandLineOption colourMargin{QStringLiteral("colour-margin"), QString(), QStringLiteral("N")};
    QCommandLineOption fullResolution{QStringLiteral("full-resolution")};
    QCommandLineOption units{QStringLiteral("units"), QString(), QStringLiteral("units")};
    QCommandLineOption boxes{QStringLiteral("boxes"), QString(), QStringLiteral("FILE")};
    QCommandLineOption sizes{QStringLiteral("sizes")};
    QCommandLineOption marked{QStringLiteral("marked"), QString(), QStringLiteral("DIR")};
    QCommandLineOption csv{QStringLiteral("csv"), QString(), QStringLiteral("FILE")};
    QCommandLineOption find{QStringLiteral("find")};
    QCommandLineOption referenceShape{QStringLiteral("reference-shape"), QString(), QStringLiteral("shape")};
    QCommandLineOption minArea{QStringLiteral("min-area"), QString(), QStringLiteral("A")};
    QCommandLineOption report{QStringLiteral("report"), QString(), QStringLiteral("FILE")};
    QCommandLineOption help{QStringList{QStringLiteral("help"), QStringLiteral("h")}};
    QCommandLineOption version{QStringLiteral("version")};
};

std::int32_t coordinate(const QString& text, const QString& option)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw OptionError(QStringLiteral("--%1: '%2' is not a whole number").arg(option, text));
    return static_cast<std::int32_t>(value);
}

// "L,T,R,B" with L <= R and T <= B.
SelectionRect rectangleOption(const QString& text, const QString& option)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        throw OptionError(QStringLiteral("--%1 wants L,T,R,B, not '%2'").arg(option, text));
    const SelectionRect rect{coordinate(parts[0], option), coordinate(parts[1], option), coordinate(parts[2], option),
                             coordinate(parts[3], option)};
    if (rect.right < rect.left || rect.bottom < rect.top)
        throw OptionError(
            QStringLiteral("--%1: right and bottom must not lie left of or above left and top").arg(option));
    return rect;
}

long double areaOption(const QString& text)
{
    const std::optional<long double> area = parseReferenceArea(text);
    if (!area)
        throw OptionError(QStringLiteral("--reference-area wants a number above zero, not '%1'").arg(text));
    return *area;
}

CountRule ruleOption(const QString& text, const QString& option)
{
    if (text == QLatin1String("brightness"))
        return CountRule::Brightness;
    if (text == QLatin1String("blue"))
        return CountRule::Blue;
    if (text == QLatin1String("green"))
        return CountRule::Green;
    if (text == QLatin1String("red"))
        return CountRule::Red;
    throw OptionError(QStringLiteral("--%1 wants brightness, blue, green or red, not '%2'").arg(option, text));
}

// "10" .. "90" in steps of 10, as tenths.
int thresholdOption(const QString& text)
{
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (!ok || percent < 10 || percent > 90 || percent % 10 != 0)
        throw OptionError(QStringLiteral("--threshold wants 10, 20, ... or 90, not '%1'").arg(text));
    return percent / 10;
}

int marginOption(const QString& text)
{
    bool ok = false;
    const int margin = text.toInt(&ok);
    if (!ok || margin < 0 || margin > 254)
        throw OptionError(QStringLiteral("--colour-margin wants a whole number from 0 to 254, not '%1'").arg(text));
    return margin;
}

// One of choices, by name.
int choiceOption(const QString& text, const QString& option, const QStringList& choices)
{
    const qsizetype at = choices.indexOf(text);
    if (at < 0)
        throw OptionError(
            QStringLiteral("--%1 wants %2, not '%3'").arg(option, choices.join(QStringLiteral(" or ")), text));
    return int(at);
}

MeasureSettings settingsFrom(const QCommandLineParser& parser, const Options& o, bool objectNeeded)
{
    if (!parser.isSet(o.object) && objectNeeded)
        throw OptionError(QStringLiteral("--object is required"));
    MeasureSettings settings;
    if (parser.isSet(o.object))
        settings.object = rectangleOption(parser.value(o.object), o.object.names().first());
    if (parser.isSet(o.reference))
        settings.reference = rectangleOption(parser.value(o.reference), o.reference.names().first());
    settings.referenceArea = areaOption(parser.isSet(o.referenceArea) ? parser.value(o.referenceArea)
                                                                      : defaultReferenceArea);
    if (parser.isSet(o.by))
        settings.rule = settings.referenceRule = ruleOption(parser.value(o.by), QStringLiteral("by"));
    if (parser.isSet(o.objectBy))
        settings.rule = ruleOption(parser.value(o.objectBy), QStringLiteral("object-by"));
    if (parser.isSet(o.referenceBy))
        settings.referenceRule = ruleOption(parser.value(o.referenceBy), QStringLiteral("reference-by"));
    if (parser.isSet(o.levels))
        settings.levels = choiceOption(parser.value(o.levels), QStringLiteral("levels"),
                                       {QStringLiteral("window"), QStringLiteral("robust")})
                                  == 1
                              ? LevelRule::Robust
                              : LevelRule::Window;
    if (parser.isSet(o.threshold)) {
        if (parser.value(o.threshold) == QLatin1String("auto")) {
            if (settings.levels != LevelRule::Robust)
                throw OptionError(QStringLiteral("--threshold auto needs --levels robust"));
            settings.autoThreshold = true;
        } else {
            settings.thresholdTenths = thresholdOption(parser.value(o.threshold));
        }
    }
    if (parser.isSet(o.colourMargin))
        settings.colourMargin = marginOption(parser.value(o.colourMargin));
    settings.fullResolution = parser.isSet(o.fullResolution);
    if (parser.isSet(o.units))
        settings.pictureUnits = choiceOption(parser.value(o.units), QStringLiteral("units"),
                                             {QStringLiteral("working"), QStringLiteral("picture")})
                                == 1;
    return settings;
}

// --find's own settings (its reference's shape and the smallest area kept),
// and the rectangles and counting options it does without refused.
FindSettings findSettingsFrom(const QCommandLineParser& parser, const Options& o)
{
    if (parser.isSet(o.object) || parser.isSet(o.reference) || parser.isSet(o.boxes))
        throw OptionError(QStringLiteral("--find measures without rectangles: leave out --object, --reference "
                                         "and --boxes"));
    for (const auto* counting :
         {&o.levels, &o.threshold, &o.by, &o.objectBy, &o.referenceBy, &o.colourMargin, &o.units})
        if (parser.isSet(*counting))
            throw OptionError(QStringLiteral("--find sets its own limit for each shape: leave out --%1")
                                  .arg(counting->names().constFirst()));
    if (!parser.isSet(o.referenceShape))
        throw OptionError(QStringLiteral("--find needs --reference-shape disc or square"));
    FindSettings find;
    find.shape = choiceOption(parser.value(o.referenceShape), QStringLiteral("reference-shape"),
                              {QStringLiteral("disc"), QStringLiteral("square")})
                         == 1
                     ? ReferenceShape::Square
                     : ReferenceShape::Disc;
    if (parser.isSet(o.minArea)) {
        bool ok = false;
        const double minArea = parser.value(o.minArea).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(minArea) || minArea < 0)
            throw OptionError(
                QStringLiteral("--min-area wants a number of zero or more, not '%1'").arg(parser.value(o.minArea)));
        find.minArea = minArea;
    }
    return find;
}

// --sizes measures nothing: the options for measuring are refused with it.
void refuseMeasuringOptions(const QCommandLineParser& parser, const Options& o)
{
    for (const auto* measuring : {&o.report, &o.marked, &o.object, &o.reference, &o.boxes, &o.find})
        if (parser.isSet(*measuring))
            throw OptionError(
                QStringLiteral("--sizes measures nothing: leave out --%1").arg(measuring->names().constFirst()));
}

// A name that looks like an option is the name forgotten before the next
// option ("--report --csv out.csv"); a file named so is given as ./--csv.
void checkFileNames(const QCommandLineParser& parser, const Options& o)
{
    for (const auto* named : {&o.report, &o.marked, &o.csv, &o.boxes}) {
        const QString option = named->names().constFirst(), name = parser.value(*named);
        if (!parser.isSet(*named) || (named == &o.csv && name == u"-"))
            continue;
        if (name.isEmpty())
            throw OptionError(QStringLiteral("--%1 needs a name").arg(option));
        if (name.startsWith(u'-'))
            throw OptionError(
                QStringLiteral("--%1 needs a name, not '%2' (a file named so is given as ./%2)").arg(option, name));
    }
}

} // namespace

MeasureOptions parseMeasureOptions(const QStringList& arguments)
{
    const Options o;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({o.object, o.reference,    o.referenceArea,  o.by,      o.objectBy, o.referenceBy, o.threshold,
                       o.levels, o.colourMargin, o.fullResolution, o.units,   o.boxes,    o.sizes,       o.marked,
                       o.csv,    o.find,         o.referenceShape, o.minArea, o.report,   o.help,        o.version});
    if (!parser.parse(arguments))
        throw OptionError(parser.errorText());

    MeasureOptions options;
    options.help = parser.isSet(o.help);
    options.version = parser.isSet(o.version);
    if (options.help || options.version)
        return options;
    options.sizes = parser.isSet(o.sizes);
    options.boxesFile = parser.value(o.boxes);
    options.objectGiven = parser.isSet(o.object);
    options.find = parser.isSet(o.find);
    if (options.find)
        options.findSettings = findSettingsFrom(parser, o);
    else if (parser.isSet(o.referenceShape) || parser.isSet(o.minArea))
        throw OptionError(QStringLiteral("--reference-shape and --min-area go with --find"));
    options.settings = settingsFrom(parser, o, !options.sizes && !options.find && options.boxesFile.isEmpty());
    options.findSettings.referenceArea = double(options.settings.referenceArea);
    options.reportFile = parser.value(o.report);
    options.markedFolder = parser.value(o.marked);
    options.csvFile = parser.value(o.csv) == u"-" ? QString() : parser.value(o.csv); // "-": standard output
    if (options.sizes)
        refuseMeasuringOptions(parser, o);
    checkFileNames(parser, o);
    options.pictures = parser.positionalArguments();
    if (options.pictures.isEmpty() && options.boxesFile.isEmpty())
        throw OptionError(QStringLiteral("no pictures given"));
    if (!options.pictures.isEmpty() && !options.objectGiven && !options.sizes && !options.find)
        throw OptionError(QStringLiteral("--object is required for the pictures named on the command line"));
    return options;
}

QString measureUsage(const QString& problem)
{
    return QStringLiteral(
               "%1: %2\n"
               "Usage: %1 --object L,T,R,B | --boxes FILE | --find --reference-shape S [options] PICTURE...\n"
               "Try '%1 --help' for more information.\n")
        .arg(programName, problem);
}

QString measureHelp()
{
    return QStringLiteral("Usage: planix-measure --object L,T,R,B [options] PICTURE...\n"
                          "       planix-measure --boxes FILE [options] [PICTURE...]\n"
                          "       planix-measure --find --reference-shape disc|square [options] PICTURE...\n"
                          "       planix-measure --sizes PICTURE...\n"
                          "Measures the area of a flat shape in each picture by counting dots, as the\n"
                          "PLANIX window does, and writes one CSV row per picture.\n"
                          "\n"
                          "Rectangles are L,T,R,B: left, top, right, bottom, right and bottom exclusive.\n"
                          "  --object L,T,R,B          rectangle around the shape; required unless each\n"
                          "                            --boxes row gives one\n"
                          "  --reference L,T,R,B       rectangle around the reference object (optional)\n"
                          "  --reference-area A        known area of the reference, above zero (default 3.14)\n"
                          "  --boxes FILE              a rectangle per picture: CSV with the header\n"
                          "                            file,object,reference,reference_area; an empty field\n"
                          "                            takes the option's value; relative picture names are\n"
                          "                            read from FILE's folder; a bad row gets an error row\n"
                          "  --units working|picture   rectangles in pixels of the working image (default)\n"
                          "                            or of the picture itself\n"
                          "  --levels window|robust    how a brightness count finds its levels: window\n"
                          "                            (default) takes the rectangle's centre pixel as the\n"
                          "                            object and its top-left pixel as the background, as\n"
                          "                            the window does; robust takes the background from the\n"
                          "                            median of the rectangle's border and the object from\n"
                          "                            the rectangle's histogram (the level just inside the\n"
                          "                            shape's outline), and where the border shows the\n"
                          "                            paper lighter or darker (a shadow, light falling\n"
                          "                            off) moves the limit with the paper across it\n"
                          "  --threshold 10|20|...|90|auto\n"
                          "                            how far from the background towards the object a dot\n"
                          "                            must lie, in percent (default 50); auto (robust\n"
                          "                            only): at the split of the histogram (Otsu's)\n"
                          "  --by brightness|blue|green|red   counting rule of both rectangles\n"
                          "  --object-by RULE          counting rule of the object's rectangle\n"
                          "  --reference-by RULE       counting rule of the reference's rectangle\n"
                          "  --colour-margin N         a dot counts for a colour when that channel exceeds\n"
                          "                            each other channel by more than N (default 0)\n"
                          "  --full-resolution         count the picture at its own size, not the working\n"
                          "                            image fitted to 1024 x 768\n"
                          "  --sizes                   print each picture's own and working size as CSV\n"
                          "                            (file,width,height,working_width,working_height,error)\n"
                          "                            and measure nothing\n"
                          "  --find                    find the shapes on each picture instead of counting\n"
                          "                            in rectangles: the paper's level across the picture,\n"
                          "                            the shapes standing out from it (holes left out),\n"
                          "                            the reference as the shape whose outline best fits\n"
                          "                            --reference-shape, its area from that fitted outline;\n"
                          "                            one row per object, numbered in reading order, with\n"
                          "                            two more columns: object and box (L,T,R,B in the\n"
                          "                            picture's own pixels); reference_dots is then the\n"
                          "                            fitted outline's area in pixels. Without\n"
                          "                            --full-resolution it measures the working image.\n"
                          "                            It sets its own limit for each shape: not with\n"
                          "                            --levels, --threshold, --by, --object-by,\n"
                          "                            --reference-by, --colour-margin or --units\n"
                          "  --reference-shape disc|square   the reference's shape (required with --find)\n"
                          "  --min-area A              with --find, objects no larger than A in the\n"
                          "                            reference area's unit are left out (default 0.1)\n"
                          "  --report FILE             also write a page (HTML, self-contained) showing\n"
                          "                            each picture's marked view, rows and warnings,\n"
                          "                            failures first, and a summary; put in place\n"
                          "                            only once the whole batch is done\n"
                          "  --marked DIR              write each marked image there as a BMP\n"
                          "  --csv FILE                write the results as CSV (default, or '-': standard\n"
                          "                            output);\n"
                          "                            the rows go to FILE.partial, which becomes FILE once\n"
                          "                            every picture is done\n"
                          "  -h, --help                show this help\n"
                          "  --version                 show the version\n"
                          "\n"
                          "Which mode: the default gives the window's own numbers. For photographs use\n"
                          "--levels robust --full-resolution: a rectangle dragged loosely around the\n"
                          "shape is enough, and small references keep all their dots.\n"
                          "\n"
                          "Columns: file,width,height,object_dots,reference_dots,reference_area,area,\n"
                          "error,warnings,levels,object_by,reference_by,threshold,full_resolution.\n"
                          "width and height are the counted image's (the picture's own with\n"
                          "--full-resolution). Rows are written as they are done. A marked picture is\n"
                          "written whole or not at all, and never over a picture being measured.\n"
                          "warnings holds these codes, separated by ';':\n")
           + warningHelp()
           + QStringLiteral("A summary of the warnings goes to standard error.\n"
                            "\n"
                            "Exit status: 0 when every picture was measured without a warning, 1 when\n"
                            "one or more failed (or a marked picture could not be written), 2 for a\n"
                            "malformed command line (also a --reference-area not above zero, a --boxes\n"
                            "file that cannot be read, a CSV file that is one of the pictures), 3 when\n"
                            "every picture was measured but some carry warnings, 4 when the results\n"
                            "could not all be written (a full disk, say), 130, 143 or 129 when\n"
                            "interrupted by SIGINT, SIGTERM or SIGHUP. After 4 or an interruption FILE\n"
                            "and the report are unchanged and the rows done so far are in\n"
                            "FILE.partial, as standard error says.\n");
}

QString measureVersion() { return QStringLiteral("%1 %2\n").arg(programName, QStringLiteral(PLANIX_PRODUCT_VERSION)); }
