#include "cli/MeasureOptions.h"

#include "calc/DecimalText.h"

#include <QCommandLineParser>
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
    QCommandLineOption threshold{QStringLiteral("threshold"), QString(), QStringLiteral("percent")};
    QCommandLineOption marked{QStringLiteral("marked"), QString(), QStringLiteral("DIR")};
    QCommandLineOption csv{QStringLiteral("csv"), QString(), QStringLiteral("FILE")};
    QCommandLineOption help{QStringLiteral("help")};
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
    const SelectionRect rect{coordinate(parts[0], option), coordinate(parts[1], option),
                             coordinate(parts[2], option), coordinate(parts[3], option)};
    if (rect.right < rect.left || rect.bottom < rect.top)
        throw OptionError(QStringLiteral("--%1: right and bottom must not lie left of or above left and top").arg(option));
    return rect;
}

long double areaOption(const QString& text)
{
    const std::optional<long double> area = parseNumber(text);
    if (!area)
        throw OptionError(QStringLiteral("--reference-area: '%1' is not a number").arg(text));
    return *area;
}

CountRule ruleOption(const QString& text)
{
    if (text == QLatin1String("brightness"))
        return CountRule::Brightness;
    if (text == QLatin1String("blue"))
        return CountRule::Blue;
    if (text == QLatin1String("green"))
        return CountRule::Green;
    if (text == QLatin1String("red"))
        return CountRule::Red;
    throw OptionError(QStringLiteral("--by wants brightness, blue, green or red, not '%1'").arg(text));
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

MeasureSettings settingsFrom(const QCommandLineParser& parser, const Options& o)
{
    if (!parser.isSet(o.object))
        throw OptionError(QStringLiteral("--object is required"));
    MeasureSettings settings;
    settings.object = rectangleOption(parser.value(o.object), o.object.names().first());
    if (parser.isSet(o.reference))
        settings.reference = rectangleOption(parser.value(o.reference), o.reference.names().first());
    settings.referenceArea = areaOption(parser.isSet(o.referenceArea) ? parser.value(o.referenceArea) : defaultReferenceArea);
    if (parser.isSet(o.by))
        settings.rule = ruleOption(parser.value(o.by));
    if (parser.isSet(o.threshold))
        settings.thresholdTenths = thresholdOption(parser.value(o.threshold));
    return settings;
}

} // namespace

MeasureOptions parseMeasureOptions(const QStringList& arguments)
{
    const Options o;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({o.object, o.reference, o.referenceArea, o.by, o.threshold, o.marked, o.csv, o.help, o.version});
    if (!parser.parse(arguments))
        throw OptionError(parser.errorText());

    MeasureOptions options;
    options.help = parser.isSet(o.help);
    options.version = parser.isSet(o.version);
    if (options.help || options.version)
        return options;
    options.settings = settingsFrom(parser, o);
    options.markedFolder = parser.value(o.marked);
    options.csvFile = parser.value(o.csv);
    options.pictures = parser.positionalArguments();
    if (options.pictures.isEmpty())
        throw OptionError(QStringLiteral("no pictures given"));
    return options;
}

QString measureUsage(const QString& problem)
{
    return QStringLiteral("%1: %2\n"
                          "Usage: %1 --object L,T,R,B [options] PICTURE...\n"
                          "Try '%1 --help' for more information.\n")
        .arg(programName, problem);
}

QString measureHelp()
{
    return QStringLiteral(
        "Usage: planix-measure [options] PICTURE...\n"
        "Measures the area of a flat shape in each picture by counting dots, as the\n"
        "PLANIX window does, and writes one CSV row per picture.\n"
        "\n"
        "  --object L,T,R,B          rectangle around the shape, in working-image pixels\n"
        "                            (right and bottom exclusive); required\n"
        "  --reference L,T,R,B       rectangle around the reference object (optional)\n"
        "  --reference-area A        known area of the reference (default 3.14)\n"
        "  --by brightness|blue|green|red   counting rule (default brightness)\n"
        "  --threshold 10|20|...|90  brightness threshold in percent (default 50)\n"
        "  --marked DIR              write each marked working image there as a BMP\n"
        "  --csv FILE                write the results as CSV (default: standard output);\n"
        "                            the rows go to FILE.partial, which becomes FILE once\n"
        "                            every picture is done\n"
        "  --help                    show this help\n"
        "  --version                 show the version\n"
        "\n"
        "Pictures are fitted to 1024 x 768 as the window opens them; width and height\n"
        "are the working image's. Columns: file,width,height,object_dots,\n"
        "reference_dots,reference_area,area,error. Rows are written as they are done.\n"
        "A marked picture is written whole or not at all, and never over a picture\n"
        "being measured.\n"
        "\n"
        "Exit status: 0 when every picture was measured, 1 when one or more failed\n"
        "(or a marked picture could not be written), 2 for a malformed command line\n"
        "(also when the CSV file is one of the pictures), 3 when the results could\n"
        "not all be written (a full disk, say), 130 or 143 when interrupted by\n"
        "SIGINT or SIGTERM. After 3, 130 or 143 FILE is unchanged and the rows done\n"
        "so far are in FILE.partial, as standard error says.\n");
}

QString measureVersion()
{
    return QStringLiteral("%1 %2\n").arg(programName, QStringLiteral(PLANIX_PRODUCT_VERSION));
}
