// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/AtomicFile.h"

#include "surface/readers/FileName.h"
#include "base/PlanixError.h"
#include "base/SystemIo.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary files not yet committed, for removeUnfinishedFiles.
struct Unfinished {
    std::mutex mutex;
    std::set<QByteArray> names;
    bool ended = false;
};

Unfinished& unfinished()
{
    static Unfinished files;
    return files;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

QByteArray baseNameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

} // namespace

QString systemFailure(const QString& what, int error)
{
    return QStringLiteral("%1: %2").arg(printableName(what), QString::fromLocal8Bit(std::strerror(error)));
}

void writeAllBytes(int fd, const QByteArray& bytes, const QString& what)
{
    if (const int error = writeEveryByte(fd, bytes.constData(), bytes.size()))
        throw PlanixError(systemFailure(what, error));
}

void closeChecked(int fd, const QString& what)
{
    // Linux releases the descriptor even when close reports an error, so it
    // is not retried.
    if (::close(fd) != 0 && errno != EINTR)
        throw PlanixError(systemFailure(what, errno));
}

AtomicFile::AtomicFile(const QString& target) : target(target), targetBytes(fileNameBytes(target))
{
    struct stat existing { };
    if (::stat(targetBytes.constData(), &existing) == 0 && !S_ISREG(existing.st_mode))
        throw PlanixError(QStringLiteral("%1: not a regular file").arg(printableName(target)));
    QByteArray pattern = folderOf(targetBytes) + '.' + baseNameOf(targetBytes) + ".XXXXXX";
    Unfinished& files = unfinished();
    const std::lock_guard lock(files.mutex);
    if (files.ended)
        throw PlanixError(QStringLiteral("%1: interrupted").arg(printableName(target)));
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        throw PlanixError(systemFailure(target, errno));
    temporaryBytes = pattern;
    files.names.insert(temporaryBytes);
    // As a file the program creates anew: what the umask allows of rw-rw-rw-.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

AtomicFile::~AtomicFile()
{
    if (fd >= 0)
        ::close(fd);
    if (committed)
        return;
    Unfinished& files = unfinished();
    const std::lock_guard lock(files.mutex);
    if (files.names.erase(temporaryBytes) > 0)
        ::unlink(temporaryBytes.constData());
}

void AtomicFile::write(const QByteArray& bytes) { writeAllBytes(fd, bytes, target); }

void AtomicFile::commit()
{
    const int open = std::exchange(fd, -1);
    closeChecked(open, target);
    Unfinished& files = unfinished();
    const std::lock_guard lock(files.mutex);
    if (files.ended)
        throw PlanixError(QStringLiteral("%1: interrupted").arg(printableName(target)));
    if (::rename(temporaryBytes.constData(), targetBytes.constData()) != 0)
        throw PlanixError(systemFailure(target, errno));
    files.names.erase(temporaryBytes);
    committed = true;
}

void removeUnfinishedFiles()
{
    Unfinished& files = unfinished();
    const std::lock_guard lock(files.mutex);
    for (const QByteArray& name : files.names)
        ::unlink(name.constData());
    files.names.clear();
    files.ended = true;
}

FileSet::FileSet(const QStringList& names)
{
    for (const QString& name : names) {
        struct stat status { };
        if (::stat(fileNameBytes(name).constData(), &status) == 0)
            files.emplace_back(status.st_dev, status.st_ino);
    }
}

bool FileSet::contains(const QString& name) const
{
    struct stat status { };
    if (::stat(fileNameBytes(name).constData(), &status) != 0)
        return false;
    return std::find(files.begin(), files.end(), std::pair(status.st_dev, status.st_ino)) != files.end();
}
