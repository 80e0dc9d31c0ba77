// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/RowWriter.h"

#include "cli/AtomicFile.h"
#include "surface/readers/FileName.h"
#include "base/PlanixError.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString standardOutputName() { return QStringLiteral("standard output"); }

} // namespace

RowWriter::RowWriter() : fd(STDOUT_FILENO) { }

RowWriter::RowWriter(const QString& fileName) : outputName(fileName), ownsDescriptor(true)
{
    const QByteArray bytes = fileNameBytes(fileName);
    struct stat existing { };
    const bool exists = ::stat(bytes.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw PlanixError(systemFailure(fileName, EISDIR));
    if (exists && !S_ISREG(existing.st_mode)) {
        fd = ::open(bytes.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            throw PlanixError(systemFailure(fileName, errno));
        return;
    }
    // A link is followed: the new file takes the place of the file it names.
    QByteArray target = bytes;
    struct stat link { };
    if (exists && ::lstat(bytes.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(bytes.constData(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const QByteArray partial = target + ".partial";
    partialName = fileNameFromBytes(partial);
    struct stat old { };
    if (::lstat(partial.constData(), &old) == 0 && (S_ISREG(old.st_mode) || S_ISLNK(old.st_mode)))
        ::unlink(partial.constData());
    const mode_t mode = exists ? existing.st_mode & 07777 : 0666;
    fd = ::open(partial.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        const int error = errno;
        partialName.clear();
        throw PlanixError(systemFailure(fileNameFromBytes(partial), error));
    }
    outputName = fileNameFromBytes(target);
}

RowWriter::~RowWriter()
{
    if (ownsDescriptor && fd >= 0)
        ::close(fd);
}

void RowWriter::write(const QString& text)
{
    const std::lock_guard<std::timed_mutex> lock(mutex);
    if (stopped)
        throw PlanixError(QStringLiteral("interrupted"));
    const QString& name = partialName.isEmpty() ? (outputName.isEmpty() ? standardOutputName() : outputName)
                                                : partialName;
    const QByteArray bytes = text.toUtf8();
    try {
        writeAllBytes(fd, bytes, name);
    } catch (const PlanixError&) {
        // The partial file keeps whole rows only.
        if (!partialName.isEmpty() && ::ftruncate(fd, whole) != 0) { }
        throw;
    }
    whole += bytes.size();
}

void RowWriter::finish()
{
    const std::lock_guard<std::timed_mutex> lock(mutex);
    if (stopped)
        throw PlanixError(QStringLiteral("interrupted"));
    if (!ownsDescriptor) {
        // Standard output may be a file on a full disk: its data must reach it.
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
            throw PlanixError(systemFailure(standardOutputName(), errno));
        return;
    }
    closeChecked(std::exchange(fd, -1), partialName.isEmpty() ? outputName : partialName);
    if (partialName.isEmpty())
        return;
    if (::rename(fileNameBytes(partialName).constData(), fileNameBytes(outputName).constData()) != 0)
        throw PlanixError(systemFailure(outputName, errno));
    partialName.clear();
}

void RowWriter::discard()
{
    if (!partialName.isEmpty())
        ::unlink(fileNameBytes(partialName).constData());
}

void RowWriter::stop()
{
    // Never unlocked: the process ends. A writer that holds the lock longer
    // than a second is blocked (a reader that stopped reading), not busy.
    [[maybe_unused]] const bool locked = mutex.try_lock_for(std::chrono::seconds(1));
    stopped = true;
}
