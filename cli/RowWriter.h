// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the batch's rows go, one writer for the whole run.
//
//   standard output   each row as soon as it is written;
//   FILE              the rows go to FILE.partial beside it, written as they
//                     come; finish() renames FILE.partial to FILE once the
//                     batch is complete. Until then FILE keeps its previous
//                     content, and after a failure or an interruption the
//                     rows done so far stay in FILE.partial.
//   FILE that is not a regular file (a device, a pipe): written to directly.
//
// Every write, the final close and the rename are checked; a failure throws
// PlanixError with the name and the system's reason. Safe to use from
// several threads.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <sys/types.h>

class RowWriter {
public:
    RowWriter(); // standard output
    explicit RowWriter(const QString& fileName);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    void write(const QString& text); // as UTF-8
    void finish();
    // Removes FILE.partial, for an output of no use unless whole (written at
    // the end of the batch) when the run will not finish.
    void discard();

    // The file that keeps the rows of an unfinished run (FILE.partial), or
    // empty when the rows go straight to their output.
    QString partialFile() const { return partialName; }

    // Waits a moment for a write in progress and lets no other start: the
    // process is about to end. A write blocked on a full pipe is not waited
    // for.
    void stop();

private:
    QString outputName; // empty: standard output
    QString partialName;
    int fd = -1;
    off_t whole = 0; // bytes of the rows written completely
    bool ownsDescriptor = false;
    std::timed_mutex mutex;
    std::atomic<bool> stopped = false;
};
