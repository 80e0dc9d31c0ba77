// planix-measure: measures a batch of pictures with one setting, as the PLANIX
// window would, and writes the results as CSV. Needs no display.
#include "cli/AtomicFile.h"
#include "cli/Batch.h"
#include "cli/Csv.h"
#include "cli/Interruption.h"
#include "cli/Measure.h"
#include "cli/MeasureOptions.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "cli/RowWriter.h"
#include "surface/readers/FileName.h"

#include <QGuiApplication>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// The exit status when the results could not all be written.
constexpr int outputFailed = 3;

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = printableName(text).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// What an unfinished run says about its rows.
QString unfinishedNote(const RowWriter& output, const QString& csvFile)
{
    if (output.partialFile().isEmpty())
        return QString();
    return QStringLiteral("planix-measure: %1 is unchanged; the rows done so far are in %2\n")
        .arg(csvFile, output.partialFile());
}

// The CSV file or a marked picture may not overwrite a picture being read.
void checkOutputsAreNotInputs(const MeasureOptions& options)
{
    if (options.csvFile.isEmpty())
        return;
    const FileSet inputs(options.pictures);
    if (inputs.contains(options.csvFile) || inputs.contains(options.csvFile + QStringLiteral(".partial")) ||
        options.pictures.contains(options.csvFile))
        throw OptionError(QStringLiteral("--csv %1 is also a picture to measure").arg(options.csvFile));
}

bool isMetafile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName).toLower();
    return extension == u"wmf" || extension == u"emf";
}

// Measures every picture and writes the CSV; 0 when all were measured.
int measureAll(const MeasureOptions& options, char* programName)
{
    std::unique_ptr<RowWriter> output;
    try {
        output = options.csvFile.isEmpty() ? std::make_unique<RowWriter>()
                                           : std::make_unique<RowWriter>(options.csvFile);
    } catch (const PlanixError& error) {
        writeTo(stderr, QStringLiteral("planix-measure: cannot write the results: %1\n").arg(error.message()));
        return outputFailed;
    }
    // Interrupted: no row is cut, no half-written marked picture is left, and
    // the rows done so far stay where they were written.
    const InterruptionWatch watch([&](int) {
        output->stop();
        removeUnfinishedFiles();
        writeTo(stderr, QStringLiteral("planix-measure: interrupted\n") + unfinishedNote(*output, options.csvFile));
    });

    // Metafiles may draw text, which needs the font database of a GUI
    // application; the offscreen platform gives one without any display.
    // Made after the watch, so that its threads inherit the blocked signals.
    std::unique_ptr<QGuiApplication> fonts;
    int qtArgc = 1;
    if (std::any_of(options.pictures.begin(), options.pictures.end(), isMetafile)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fonts = std::make_unique<QGuiApplication>(qtArgc, &programName);
    }

    try {
        const QString referenceArea = pointDecimalText(options.settings.referenceArea);
        output->write(csvHeader());
        const BatchJob job{options.pictures, options.settings, options.markedFolder,
                           defaultWorkers(options.pictures.size())};
        const std::vector<PictureRow> rows = measureBatch(job, [&](const PictureRow& row) {
            if (row.failed())
                writeTo(stderr, QStringLiteral("planix-measure: %1: %2\n").arg(row.file, row.error));
            output->write(csvRow(row, referenceArea));
        });
        output->finish();
        const bool allMeasured = std::none_of(rows.begin(), rows.end(), [](const PictureRow& row) { return row.failed(); });
        return allMeasured ? 0 : 1;
    } catch (const std::exception& error) { // a failed write, or out of memory
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)) +
                            unfinishedNote(*output, options.csvFile));
        return outputFailed;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Past a file size limit a write fails and is reported like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);

    MeasureOptions options;
    try {
        options = parseMeasureOptions(arguments);
        checkOutputsAreNotInputs(options);
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
        return outputFailed;
    }
}
