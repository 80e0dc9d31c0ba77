// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/MemoryBudget.h"

#include "base/PlanixError.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <limits>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t bytesPerPixel = 10;
// Where the system does not say how much memory it has.
constexpr std::uint64_t assumedMemory = std::uint64_t(4) << 30;

std::uint64_t computerMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : assumedMemory;
}

// A container's limit, as its control group shows it at the root of its
// own view ("max", or a number far beyond the computer's, where none).
std::uint64_t controlGroupLimit()
{
    std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    for (const char* file : {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
        QFile limitFile(QString::fromLatin1(file));
        if (!limitFile.open(QIODevice::ReadOnly))
            continue;
        bool isNumber = false;
        const std::uint64_t bytes = limitFile.readLine(64).trimmed().toULongLong(&isNumber);
        if (isNumber)
            limit = std::min(limit, bytes);
    }
    return limit;
}

// The memory this program may use: the computer's, or less where a
// container or `ulimit -v` allows less.
std::uint64_t usableMemory()
{
    std::uint64_t memory = std::min(computerMemory(), controlGroupLimit());
    rlimit addressSpace{};
    if (getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY)
        memory = std::min<std::uint64_t>(memory, addressSpace.rlim_cur);
    return memory;
}

QString gigabytes(double bytes) { return QString::number(bytes / double(1 << 30), 'f', 1); }

} // namespace

MemoryBudget& MemoryBudget::forPictures()
{
    static MemoryBudget budget(usableMemory() / 2);
    return budget;
}

std::optional<MemoryHeld> MemoryBudget::hold(std::uint64_t bytes)
{
    if (bytes > total)
        return std::nullopt;
    {
        std::unique_lock lock(mutex);
        freed.wait(lock, [&] { return held + bytes <= total; });
        held += bytes;
    }
    // Made unlocked: should making it fail, it gives the bytes back itself.
    return MemoryHeld(nullptr, [this, bytes](void*) { release(bytes); });
}

void MemoryBudget::release(std::uint64_t bytes)
{
    {
        const std::lock_guard lock(mutex);
        held -= bytes;
    }
    freed.notify_all();
}

std::uint64_t bytesToMeasure(QSize ownSize)
{
    // A metafile may claim 2 147 483 647 pixels each way: the product is
    // then taken as the most there can be, not as what it wraps round to.
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(std::uint64_t(std::max(ownSize.width(), 0)),
                               std::uint64_t(std::max(ownSize.height(), 0)), &bytes)
        || __builtin_mul_overflow(bytes, bytesPerPixel, &bytes))
        return std::numeric_limits<std::uint64_t>::max();
    return bytes;
}

MemoryHeld holdToMeasure(QSize ownSize)
{
    MemoryBudget& budget = MemoryBudget::forPictures();
    const std::uint64_t bytes = bytesToMeasure(ownSize);
    if (std::optional<MemoryHeld> held = budget.hold(bytes))
        return *held;
    throw PlanixError(QStringLiteral("the picture is too large to measure at its own size: %1 x %2 pixels take "
                                     "about %3 GB, more than half of the %4 GB this program may use; measure it "
                                     "without --full-resolution")
                          .arg(ownSize.width())
                          .arg(ownSize.height())
                          .arg(gigabytes(double(ownSize.width()) * double(ownSize.height()) * double(bytesPerPixel)),
                               gigabytes(2 * double(budget.size()))));
}
