// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/MemoryBudget.h"

#include "base/PlanixError.h"

#include <QString>

#include <algorithm>
#include <limits>

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

QString gigabytes(double bytes) { return QString::number(bytes / double(1 << 30), 'f', 1); }

} // namespace

MemoryBudget& MemoryBudget::forPictures()
{
    static MemoryBudget budget(computerMemory() / 2);
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
                                     "about %3 GB, more than half of the %4 GB this computer has; measure it "
                                     "without --full-resolution")
                          .arg(ownSize.width())
                          .arg(ownSize.height())
                          .arg(gigabytes(double(ownSize.width()) * double(ownSize.height()) * double(bytesPerPixel)),
                               gigabytes(2 * double(budget.size()))));
}
