// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Output files that are either whole or not there: the bytes go to a
// temporary file beside the target, every write and the close are checked,
// and only a complete file is renamed over the target. Names may hold bytes
// that are not UTF-8 (surface/FileName.h). Failures throw PlanixError with
// the file's name and the system's reason.
#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

// Writes every byte to the open descriptor fd, going on after interruptions
// and short writes; what names the output in the error.
void writeAllBytes(int fd, const QByteArray& bytes, const QString& what);

// Closes fd, checking the close (a full disk may show only here).
void closeChecked(int fd, const QString& what);

// "NAME: reason" for the system's errno.
QString systemFailure(const QString& what, int error);

class AtomicFile {
public:
    // Creates the temporary file beside target. A target that exists and is
    // not a regular file is refused.
    explicit AtomicFile(const QString& target);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const QByteArray& bytes);
    // Closes the temporary file and renames it over the target.
    void commit();

private:
    QString target;
    QByteArray targetBytes;
    QByteArray temporaryBytes;
    int fd = -1;
    bool committed = false;
};

// Removes the temporary files of every AtomicFile not yet committed, and
// keeps any from being committed afterwards (an interrupted run ends).
void removeUnfinishedFiles();

// Which existing files a list of names refers to, by device and inode, so
// that another name (a link, "./x", a different spelling) for one of them is
// recognised.
class FileSet {
public:
    explicit FileSet(const QStringList& names);
    bool contains(const QString& name) const;

private:
    std::vector<std::pair<dev_t, ino_t>> files;
};
