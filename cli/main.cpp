// planix-measure: measures a batch of pictures with one setting, as the PLANIX
// window would, and writes the results as CSV. Needs no display.
#include "cli/Batch.h"
#include "cli/Csv.h"
#include "cli/Measure.h"
#include "cli/MeasureOptions.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"

#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

// The CSV file, or standard output when none is named; false when the file
// cannot be opened for writing.
bool openOutput(QFile& output, const QString& fileName)
{
    if (fileName.isEmpty())
        return output.open(stdout, QIODevice::WriteOnly);
    output.setFileName(fileName);
    return output.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool isMetafile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName).toLower();
    return extension == u"wmf" || extension == u"emf";
}

// Measures every picture and writes the CSV; 0 when all were measured.
int measureAll(const MeasureOptions& options, char* programName)
{
    // Metafiles may draw text, which needs the font database of a GUI
    // application; the offscreen platform gives one without any display.
    std::unique_ptr<QGuiApplication> fonts;
    int qtArgc = 1;
    if (std::any_of(options.pictures.begin(), options.pictures.end(), isMetafile)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fonts = std::make_unique<QGuiApplication>(qtArgc, &programName);
    }

    QFile output;
    if (!openOutput(output, options.csvFile)) {
        writeTo(stderr, QStringLiteral("planix-measure: cannot write %1\n").arg(options.csvFile));
        return 1;
    }
    const BatchJob job{options.pictures, options.settings, options.markedFolder,
                       defaultWorkers(options.pictures.size())};
    const std::vector<PictureRow> rows = measureBatch(job);
    for (const PictureRow& row : rows)
        if (row.failed())
            writeTo(stderr, QStringLiteral("planix-measure: %1: %2\n").arg(row.file, row.error));
    output.write(csvTable(rows, pointDecimalText(options.settings.referenceArea)).toUtf8());
    output.close();
    const bool allMeasured = std::none_of(rows.begin(), rows.end(), [](const PictureRow& row) { return row.failed(); });
    return allMeasured ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    MeasureOptions options;
    try {
        options = parseMeasureOptions(arguments);
    } catch (const OptionError& error) {
        writeTo(stderr, measureUsage(QString::fromStdString(error.what())));
        return 2;
    }
    if (options.help || options.version) {
        writeTo(stdout, options.help ? measureHelp() : measureVersion());
        return 0;
    }
    try {
        return measureAll(options, argv[0]);
    } catch (const std::exception& error) { // beyond a single picture, out of memory say
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)));
        return 1;
    }
}
