// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix-measure: measures a batch of pictures, by default as the PLANIX
// window would, and writes the results as CSV. Needs no display.
#include "cli/AtomicFile.h"
#include "cli/BatchReport.h"
#include "cli/Batch.h"
#include "cli/BoxesFile.h"
#include "cli/Csv.h"
#include "cli/Interruption.h"
#include "cli/Measure.h"
#include "cli/MeasureOptions.h"
#include "cli/Progress.h"
#include "cli/RowWriter.h"
#include "base/PlanixError.h"
#include "measure/Fit.h"
#include "surface/readers/FileName.h"
#include "surface/readers/PictureFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <fcntl.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// The exit status when every picture was measured but some carry warnings.
constexpr int warnedStatus = 3;
// The exit status when the results could not all be written.
constexpr int outputFailed = 4;

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = printableName(text).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// What an unfinished run says about its rows, and about its report while
// that is not yet in place (reportFile: empty once it is, or without one).
QString unfinishedNote(const RowWriter& output, const QString& csvFile, const QString& reportFile)
{
    QString note;
    if (!output.partialFile().isEmpty())
        note = QStringLiteral("planix-measure: %1 is unchanged; the rows done so far are in %2\n")
                   .arg(csvFile, output.partialFile());
    if (!reportFile.isEmpty())
        note += QStringLiteral("planix-measure: the report %1 is unchanged\n").arg(reportFile);
    return note;
}

// Whether two names given for files name the same one (existing or not).
bool sameFile(const QString& one, const QString& other)
{
    return QFileInfo(one).absoluteFilePath() == QFileInfo(other).absoluteFilePath() || FileSet({one}).contains(other);
}

// The CSV file and the report may not overwrite a picture being read, nor
// each other.
void checkOutputsAreNotInputs(const MeasureOptions& options, const QStringList& pictures)
{
    const FileSet inputs(pictures);
    const auto isInput = [&](const QString& file) { return inputs.contains(file) || pictures.contains(file); };
    const QString& csv = options.csvFile;
    const QString& report = options.reportFile;
    if (!csv.isEmpty() && (isInput(csv) || isInput(csv + QStringLiteral(".partial"))))
        throw OptionError(QStringLiteral("--csv %1 is also a picture to measure").arg(csv));
    if (!report.isEmpty() && isInput(report))
        throw OptionError(QStringLiteral("--report %1 is also a picture to measure").arg(report));
    if (!csv.isEmpty() && !report.isEmpty()
        && (sameFile(csv, report) || sameFile(csv + QStringLiteral(".partial"), report)))
        throw OptionError(QStringLiteral("--report %1 is also the --csv file").arg(report));
}

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
    // A list of rectangles is a small file: a far larger one (a film named by
    // mistake, a device without end) is not one, and is not read whole.
    constexpr qint64 largestBoxesFile = qint64(64) << 20;
    const QByteArray text = file.read(largestBoxesFile + 1);
    if (text.size() > largestBoxesFile)
        throw OptionError(
            QStringLiteral("--boxes %1: larger than 64 MB, not a list of rectangles").arg(options.boxesFile));
    std::vector<BoxRow> rows;
    try {
        rows = parseBoxes(text);
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

// A writer of rows to file (to standard output when file is empty), or none
// once it has said on standard error why what was to go there cannot.
std::unique_ptr<RowWriter> openedWriter(const QString& file, const QString& what)
{
    try {
        return file.isEmpty() ? std::make_unique<RowWriter>() : std::make_unique<RowWriter>(file);
    } catch (const PlanixError& error) {
        writeTo(stderr, QStringLiteral("planix-measure: cannot write %1: %2\n").arg(what, error.message()));
        return nullptr;
    }
}

// --sizes: each picture's own size and its working size, as CSV.
int printSizes(const MeasureOptions& options)
{
    const std::unique_ptr<RowWriter> output = openedWriter(options.csvFile, QStringLiteral("the sizes"));
    if (!output)
        return outputFailed;
    try {
        output->write(
            csvRecord({QStringLiteral("file"), QStringLiteral("width"), QStringLiteral("height"),
                       QStringLiteral("working_width"), QStringLiteral("working_height"), QStringLiteral("error")}));
        bool allRead = true;
        for (const QString& name : options.pictures) {
            try {
                const Picture picture = readPictureFile(name);
                const QSize working = fittedSize(picture.width(), picture.height());
                output->write(
                    csvRecord({name, QString::number(picture.width()), QString::number(picture.height()),
                               QString::number(working.width()), QString::number(working.height()), QString()}));
            } catch (const PlanixError& error) {
                allRead = false;
                writeTo(stderr, QStringLiteral("planix-measure: %1: %2\n").arg(name, error.message()));
                output->write(csvRecord({name, QString(), QString(), QString(), QString(), error.message()}));
            }
        }
        output->finish();
        return allRead ? 0 : 1;
    } catch (const std::exception& error) {
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)));
        return outputFailed;
    }
}

bool isMetafile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName).toLower();
    return extension == u"wmf" || extension == u"emf";
}

// What a batch tells on standard error while its rows come in: each failed
// picture's error and, on a terminal once the batch has run a second, one
// updating progress line (none when standard error goes to a file or a
// pipe). It also tallies the warnings, by picture: with --find a picture has
// a row per object.
class BatchProgress {
public:
    explicit BatchProgress(int pictures) : meter(pictures) { clock.start(); }

    void take(const PictureRow& row)
    {
        if (row.picture == done) { // the first row of the next picture
            endPicture();
            pictureReferenceDots = row.referenceDots;
            ++done;
        }
        pictureWarnings.add(row.warnings);
        const QString line = terminal ? meter.update(done, clock.elapsed() / 1000.0) : QString();
        if (row.failed())
            writeTo(stderr, QStringLiteral("%1planix-measure: %2: %3\n")
                                .arg(lineShown ? QStringLiteral("\r\x1b[K") : QString(), row.file, row.error));
        if (!line.isEmpty()) {
            writeTo(stderr, QStringLiteral("\r%1\x1b[K").arg(line));
            lineShown = true;
        }
    }

    // The batch is done: the progress line ends, and the last picture's
    // warnings are tallied.
    void finish()
    {
        endPicture();
        if (lineShown)
            writeTo(stderr, QStringLiteral("\n"));
    }

    int pictures() const { return done; }
    const WarningTally& warnings() const { return tally; }

private:
    void endPicture()
    {
        if (done > 0)
            tally.add(pictureWarnings, pictureReferenceDots);
        pictureWarnings = Warnings();
    }

    const bool terminal = isatty(fileno(stderr)) != 0;
    ProgressMeter meter;
    bool lineShown = false;
    QElapsedTimer clock;
    int done = 0;
    WarningTally tally;
    Warnings pictureWarnings;
    std::optional<std::int32_t> pictureReferenceDots;
};

// Measures every picture and writes the CSV (and the report, if asked for);
// 0 when all were measured without a warning.
int measureAll(const MeasureOptions& options, BatchJob job, char* programName, const QStringList& arguments)
{
    // The report is written as the rows are (beside its place, put there only
    // at the end; a device or a pipe directly), but whole at the end of the
    // batch: a place it cannot be written to is told before any picture is
    // measured, and a run that does not finish leaves the previous report
    // as it was.
    const QString run = runDescription(arguments, options, job.pictures.size());
    std::unique_ptr<RowWriter> report;
    if (!options.reportFile.isEmpty() && !(report = openedWriter(options.reportFile, QStringLiteral("the report"))))
        return outputFailed;
    const std::unique_ptr<RowWriter> output = openedWriter(options.csvFile, QStringLiteral("the results"));
    if (!output)
        return outputFailed;
    std::atomic<bool> reportInPlace = false;
    const auto unfinished = [&] {
        return unfinishedNote(*output, options.csvFile, reportInPlace ? QString() : options.reportFile);
    };
    // Interrupted: no row is cut, no half-written marked picture or report is
    // left, and the rows done so far stay where they were written.
    const InterruptionWatch watch([&](int) {
        output->stop();
        if (report) {
            report->stop();
            report->discard();
        }
        removeUnfinishedFiles();
        writeTo(stderr, QStringLiteral("planix-measure: interrupted\n") + unfinished());
    });

    // Metafiles may draw text, which needs the font database of a GUI
    // application; the offscreen platform gives one without any display.
    // Made after the watch, so that its threads inherit the blocked signals.
    std::unique_ptr<QGuiApplication> fonts;
    int qtArgc = 1;
    if (std::any_of(job.pictures.begin(), job.pictures.end(), isMetafile)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fonts = std::make_unique<QGuiApplication>(qtArgc, &programName);
    }

    try {
        output->write(csvHeader(options.find));
        job.markedFolder = options.markedFolder;
        job.workers = defaultWorkers(job.pictures.size());
        job.find = options.find;
        job.findSettings = options.findSettings;
        job.views = !options.reportFile.isEmpty();
        BatchProgress progress(int(job.pictures.size()));
        const std::vector<PictureRow> rows = measureBatch(job, [&](const PictureRow& row) {
            progress.take(row);
            output->write(csvRow(row, options.find));
        });
        progress.finish();
        // The report is written out before the rows' file is put in place, and
        // put in place itself after it: a failure on the way leaves both.
        if (report)
            report->write(reportPage(csvColumns(options.find), reportPictures(rows, options.find), run));
        output->finish();
        if (report) {
            report->finish();
            reportInPlace = true;
        }
        // A failed picture has a single row.
        const auto failed = std::count_if(rows.begin(), rows.end(), [](const PictureRow& row) { return row.failed(); });
        if (failed > 0)
            writeTo(stderr, QStringLiteral("planix-measure: %1 of %2 pictures failed; their rows say why\n")
                                .arg(failed)
                                .arg(progress.pictures()));
        writeTo(stderr, progress.warnings().summary(progress.pictures()));
        return failed > 0 ? 1 : progress.warnings().isEmpty() ? 0 : warnedStatus;
    } catch (const std::exception& error) { // a failed write, or out of memory
        if (report && !reportInPlace)
            report->discard();
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)) + unfinished());
        return outputFailed;
    }
}

// Every picture of a batch allocates and frees buffers of megabytes: the
// decoded picture and the analysis' planes. By default the C library maps
// each such buffer afresh and hands it back when freed, so every picture
// faults in all of its pages again. Kept on the heap and not given back,
// the memory of one picture is reused by the next.
void keepLargeBuffers()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024); // the largest the library takes
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

// A standard descriptor the caller left closed would be taken by the first
// file the program opens, and rows or messages written into that file. Each
// is held by /dev/null, read-only, so that writing to it still fails as
// writing to a closed one does.
void holdClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY); // takes the lowest free descriptor, this one
}

} // namespace

int main(int argc, char* argv[])
{
    holdClosedStandardDescriptors();
    keepLargeBuffers();
    // Past a file size limit a write fails and is reported like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);

    MeasureOptions options;
    BatchJob job;
    try {
        options = parseMeasureOptions(arguments);
        if (!options.help && !options.version && !options.sizes)
            job = batchJob(options);
        checkOutputsAreNotInputs(options, options.sizes ? options.pictures : readPaths(job));
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
        return measureAll(options, std::move(job), argv[0], arguments);
    } catch (const std::exception& error) { // beyond a single picture, out of memory say
        writeTo(stderr, QStringLiteral("planix-measure: %1\n").arg(messageOf(error)));
        return outputFailed;
    }
}
