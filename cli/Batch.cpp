// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Batch.h"

#include "cli/AtomicFile.h"
#include "cli/FindPicture.h"
#include "cli/find/FindObjects.h"
#include "cli/report/Report.h"
#include "cli/Measure.h"
#include "base/PlanixError.h"
#include "surface/readers/FileName.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// The BMP is made in memory and written through a checked temporary file:
// QImage::save can miss a failed last write and leaves a cut file behind.
void writeMarkedPicture(const QImage& workingImage, const QString& fileName, const FileSet& inputs)
{
    // A working image with a side of 0 has no pixels to keep.
    if (workingImage.isNull() || workingImage.width() == 0 || workingImage.height() == 0)
        return;
    const auto cannotWrite = [&](const QString& reason) {
        return PlanixError(QStringLiteral("cannot write the marked picture %1: %2").arg(fileName, reason));
    };
    if (inputs.contains(fileName))
        throw cannotWrite(QStringLiteral("it is a picture of this batch"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!workingImage.save(&buffer, "BMP"))
        throw cannotWrite(QStringLiteral("no BMP made"));
    try {
        AtomicFile file(fileName);
        file.write(bytes);
        if (inputs.contains(fileName)) // it may have appeared meanwhile
            throw cannotWrite(QStringLiteral("it is a picture of this batch"));
        file.commit();
    } catch (const PlanixError& error) {
        if (error.message().startsWith(QLatin1String("cannot write")))
            throw;
        throw PlanixError(QStringLiteral("cannot write the marked picture %1").arg(error.message()));
    }
}

PictureRow measuredRow(qsizetype index, const BatchJob& job, const QString& markedFile, const FileSet& inputs)
{
    PictureRow row;
    row.file = job.pictures[index];
    const PictureTask* task = job.tasks.empty() ? nullptr : &job.tasks[std::size_t(index)];
    row.settings = task ? task->settings : job.settings;
    if (task && !task->error.isEmpty()) {
        row.error = task->error;
        return row;
    }
    const QString path = task && !task->path.isEmpty() ? task->path : row.file;
    try {
        const Measurement measured = measurePicture(path, row.settings, !markedFile.isEmpty());
        row.size = measured.countedSize;
        row.objectDots = measured.objectDots;
        row.referenceDots = measured.referenceDots;
        row.warnings = measured.warnings;
        if (measured.referenceDots)
            row.area =
                areaText(measured.objectDots, *measured.referenceDots, row.settings.referenceArea).value_or(QString());
        if (!markedFile.isEmpty())
            writeMarkedPicture(measured.workingImage.image(), markedFile, inputs);
        if (job.views)
            row.view = reportImage(measured.workingImage.image());
    } catch (const PlanixError& error) {
        row.error = error.message();
    }
    return row;
}

// A picture's rows with --find; its marked view written as the counting
// modes write theirs.
std::vector<PictureRow> foundRows(qsizetype index, const BatchJob& job, const QString& markedFile,
                                  const FileSet& inputs)
{
    const QString& file = job.pictures[index];
    FoundRows found = findRows(file, file, job.settings, job.findSettings, !markedFile.isEmpty(), job.views);
    if (!markedFile.isEmpty() && !found.marked.isNull()) {
        try {
            writeMarkedPicture(found.marked, markedFile, inputs);
        } catch (const PlanixError& error) {
            PictureRow failed;
            failed.file = file;
            failed.settings = job.settings;
            failed.error = error.message();
            return {failed};
        }
    }
    return found.rows;
}

// Hands out picture indices to the workers, and keeps the first failure that
// is not the program's own (running out of memory, say) to be thrown again
// on the calling thread once every worker has stopped.
class WorkQueue {
public:
    explicit WorkQueue(qsizetype size) : size(size) { }

    std::optional<qsizetype> next()
    {
        if (stopped.load())
            return std::nullopt;
        const qsizetype index = taken.fetch_add(1);
        return index < size ? std::optional(index) : std::nullopt;
    }

    void stopWith(std::exception_ptr failure)
    {
        const std::lock_guard lock(mutex);
        if (!firstFailure)
            firstFailure = failure;
        stopped = true;
    }

    void rethrowFailure() const
    {
        if (firstFailure)
            std::rethrow_exception(firstFailure);
    }

private:
    const qsizetype size;
    std::atomic<qsizetype> taken{0};
    std::atomic<bool> stopped{false};
    std::mutex mutex;
    std::exception_ptr firstFailure;
};

// Hands each finished row on once every row before it has been handed on.
class InOrder {
public:
    InOrder(std::vector<std::vector<PictureRow>>& rows, const RowReady& ready)
        : rows(rows), ready(ready), done(rows.size(), false)
    {
    }

    void finished(std::size_t index)
    {
        const std::lock_guard lock(mutex);
        done[index] = true;
        while (next < rows.size() && done[next]) {
            for (PictureRow& row : rows[next]) {
                row.picture = int(next);
                if (ready)
                    ready(row);
            }
            ++next;
        }
    }

private:
    std::vector<std::vector<PictureRow>>& rows; // each picture's
    const RowReady& ready;
    std::vector<bool> done;
    std::size_t next = 0;
    std::mutex mutex;
};

} // namespace

std::vector<PictureRow> measureBatch(const BatchJob& job, const RowReady& ready)
{
    const FileSet inputs(job.markedFolder.isEmpty() ? QStringList() : readPaths(job));
    const QStringList markedFiles = job.markedFolder.isEmpty() ? QStringList()
                                                               : markedFileNames(job.pictures, job.markedFolder);
    if (!job.markedFolder.isEmpty())
        QDir().mkpath(job.markedFolder); // a failure shows on each picture's write
    analyseOnCallingThreads();
    // Qt looks up its image plugins the first time a picture is encoded (a
    // marked picture, a report's view); two workers doing so at once
    // corrupted the heap. Looked up here, before any worker starts.
    if (!job.markedFolder.isEmpty() || job.views)
        QImageWriter::supportedImageFormats();
    std::vector<std::vector<PictureRow>> rows(static_cast<std::size_t>(job.pictures.size()));
    WorkQueue queue(job.pictures.size());
    InOrder inOrder(rows, ready);
    const auto work = [&] {
        try {
            while (const auto index = queue.next()) {
                const QString markedFile = markedFiles.isEmpty() ? QString() : markedFiles[*index];
                rows[std::size_t(*index)] = job.find ? foundRows(*index, job, markedFile, inputs)
                                                     : std::vector{measuredRow(*index, job, markedFile, inputs)};
                inOrder.finished(std::size_t(*index));
            }
        } catch (...) { // not swallowed: carried to the calling thread
            queue.stopWith(std::current_exception());
        }
    };
    std::vector<std::jthread> workers;
    for (int i = 1; i < job.workers; ++i)
        workers.emplace_back(work);
    work();
    workers.clear(); // joins
    queue.rethrowFailure();
    std::vector<PictureRow> all;
    for (std::vector<PictureRow>& picture : rows)
        for (PictureRow& row : picture)
            all.push_back(std::move(row));
    return all;
}

int defaultWorkers(qsizetype pictures)
{
    // The processors this process may run on (taskset, a container's CPU
    // set), not all the machine has: more workers would only share them.
    const qsizetype cores = std::max(1, QThread::idealThreadCount());
    return static_cast<int>(std::clamp<qsizetype>(pictures, 1, cores));
}

QStringList markedFileNames(const QStringList& pictures, const QString& markedFolder)
{
    const QDir folder(markedFolder);
    QSet<QString> taken;
    QStringList names;
    for (const QString& picture : pictures) {
        const QString own = QFileInfo(picture).fileName();
        QString name = own + QStringLiteral(".bmp");
        for (int n = 2; taken.contains(name); ++n)
            name = QStringLiteral("%1-%2.bmp").arg(own).arg(n);
        taken.insert(name);
        names << folder.filePath(name);
    }
    return names;
}

std::vector<PictureTask> boxTasks(const std::vector<BoxRow>& rows, const MeasureSettings& defaults, bool objectGiven,
                                  const QString& folder)
{
    std::vector<PictureTask> tasks;
    for (const BoxRow& row : rows) {
        PictureTask task;
        task.settings = defaults;
        task.error = row.error;
        if (row.object)
            task.settings.object = *row.object;
        else if (!objectGiven && task.error.isEmpty())
            task.error = QStringLiteral("--boxes line %1: no object rectangle, and no --object").arg(row.line);
        if (row.reference)
            task.settings.reference = row.reference;
        if (row.referenceArea)
            task.settings.referenceArea = *row.referenceArea;
        task.path = QDir::isRelativePath(row.file) ? QDir(folder).filePath(row.file) : row.file;
        tasks.push_back(task);
    }
    return tasks;
}

// Where each picture is read: its task's path, or its name as given.
QStringList readPaths(const BatchJob& job)
{
    QStringList paths;
    for (qsizetype i = 0; i < job.pictures.size(); ++i) {
        const bool ownPath = !job.tasks.empty() && !job.tasks[std::size_t(i)].path.isEmpty();
        paths << (ownPath ? job.tasks[std::size_t(i)].path : job.pictures[i]);
    }
    return paths;
}
