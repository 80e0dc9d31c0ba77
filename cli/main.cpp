// planix-measure: measures a batch of pictures with one setting, as the PLANIX
// window would, and writes the results as CSV. Needs no display.
#include "cli/Batch.h"
#include "cli/BoxesFile.h"
#include "cli/Csv.h"
#include "cli/Measure.h"
#include "cli/MeasureOptions.h"
#include "cli/report/Report.h"
#include "base/PlanixError.h"
#include "measure/Fit.h"
#include "surface/readers/PictureFile.h"

#include <QFile>
#include <QFileInfo>
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

// The report's pictures: each picture's rows as the CSV has them, with its view.
std::vector<ReportPicture> reportPictures(const std::vector<PictureRow>& rows, bool find)
{
    std::vector<ReportPicture> pictures;
    int last = -1;
    for (const PictureRow& row : rows) {
        if (row.picture != last)
            pictures.push_back({row.file, row.view, {}});
        last = row.picture;
        pictures.back().rows.push_back(
            {csvFields(row, find), row.error.isEmpty() ? row.area : QString(), row.warnings.codes(), row.error});
    }
    return pictures;
}

// The exit status when every picture was measured but some carry warnings.
constexpr int warnedStatus = 3;

// The pictures of the command line, or those of --boxes followed by those of
// the command line. Throws OptionError when the boxes file cannot be read or
// has no proper header.
BatchJob batchJob(const MeasureOptions& options)
{
    BatchJob job;
    job.settings = options.settings;
    if (options.boxesFile.isEmpty()) {
        job.pictures = options.pictures;
        return job;
    }
    QFile file(options.boxesFile);
    if (!file.open(QIODevice::ReadOnly))
        throw OptionError(QStringLiteral("--boxes: cannot read %1").arg(options.boxesFile));
    std::vector<BoxRow> rows;
    try {
        rows = parseBoxes(file.readAll());
    } catch (const PlanixError& error) {
        throw OptionError(QStringLiteral("--boxes %1: %2").arg(options.boxesFile, error.message()));
    }
    job.tasks = boxTasks(rows, options.settings, options.objectGiven, QFileInfo(options.boxesFile).path());
    for (const BoxRow& row : rows)
        job.pictures << row.file;
    for (const QString& picture : options.pictures) {
        job.pictures << picture;
        job.tasks.push_back(PictureTask{QString(), options.settings, QString()});
    }
    return job;
}

// --sizes: each picture's own size and its working size, as CSV.
int printSizes(const MeasureOptions& options)
{
    QFile output;
    if (!openOutput(output, options.csvFile)) {
        writeTo(stderr, QStringLiteral("planix-measure: cannot write %1\n").arg(options.csvFile));
        return 1;
    }
    bool allRead = true;
    output.write(csvRecord({QStringLiteral("file"), QStringLiteral("width"), QStringLiteral("height"),
                            QStringLiteral("working_width"), QStringLiteral("working_height"), QStringLiteral("error")})
                     .toUtf8());
    for (const QString& name : options.pictures) {
        try {
            const Picture picture = readPictureFile(name);
            const QSize working = fittedSize(picture.width(), picture.height());
            output.write(csvRecord({name, QString::number(picture.width()), QString::number(picture.height()),
                                    QString::number(working.width()), QString::number(working.height()), QString()})
                             .toUtf8());
        } catch (const PlanixError& error) {
            allRead = false;
            writeTo(stderr, QStringLiteral("planix-measure: %1: %2\n").arg(name, error.message()));
            output.write(csvRecord({name, QString(), QString(), QString(), QString(), error.message()}).toUtf8());
        }
    }
    return allRead ? 0 : 1;
}

bool isMetafile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName).toLower();
    return extension == u"wmf" || extension == u"emf";
}

// Measures every picture and writes the CSV; 0 when all were measured.
int measureAll(const MeasureOptions& options, BatchJob job, char* programName)
{
    // Metafiles may draw text, which needs the font database of a GUI
    // application; the offscreen platform gives one without any display.
    std::unique_ptr<QGuiApplication> fonts;
    int qtArgc = 1;
    if (std::any_of(job.pictures.begin(), job.pictures.end(), isMetafile)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fonts = std::make_unique<QGuiApplication>(qtArgc, &programName);
    }

    QFile output;
    if (!openOutput(output, options.csvFile)) {
        writeTo(stderr, QStringLiteral("planix-measure: cannot write %1\n").arg(options.csvFile));
        return 1;
    }
    job.markedFolder = options.markedFolder;
    job.workers = defaultWorkers(job.pictures.size());
    job.find = options.find;
    job.findSettings = options.findSettings;
    job.views = !options.reportFile.isEmpty();
    const std::vector<PictureRow> rows = measureBatch(job);
    // Warnings are tallied by picture: with --find a picture has a row per object.
    WarningTally warnings;
    int pictures = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PictureRow& row = rows[i];
        if (row.failed())
            writeTo(stderr, QStringLiteral("planix-measure: %1: %2\n").arg(row.file, row.error));
        if (i > 0 && rows[i - 1].picture == row.picture)
            continue;
        Warnings picture;
        for (std::size_t j = i; j < rows.size() && rows[j].picture == row.picture; ++j)
            picture.add(rows[j].warnings);
        warnings.add(picture, row.referenceDots);
        ++pictures;
    }
    output.write(csvTable(rows, options.find).toUtf8());
    output.close();
    if (!options.reportFile.isEmpty()) {
        try {
            writeReport(options.reportFile, reportPage(csvColumns(options.find), reportPictures(rows, options.find)));
        } catch (const PlanixError& error) {
            writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(error.message()));
            return 1;
        }
    }
    writeTo(stderr, warnings.summary(pictures));
    const bool allMeasured = std::none_of(rows.begin(), rows.end(), [](const PictureRow& row) { return row.failed(); });
    return !allMeasured ? 1 : warnings.isEmpty() ? 0 : warnedStatus;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    MeasureOptions options;
    BatchJob job;
    try {
        options = parseMeasureOptions(arguments);
        if (!options.help && !options.version && !options.sizes)
            job = batchJob(options);
    } catch (const OptionError& error) {
        writeTo(stderr, measureUsage(QString::fromStdString(error.what())));
        return 2;
    }
    if (options.help || options.version) {
        writeTo(stdout, options.help ? measureHelp() : measureVersion());
        return 0;
    }
    try {
        if (options.sizes)
            return printSizes(options);
        return measureAll(options, job, argv[0]);
    } catch (const std::exception& error) { // beyond a single picture, out of memory say
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)));
        return 1;
    }
}
