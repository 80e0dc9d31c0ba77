// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/MemoryBudget.h"

#include "base/PlanixError.h"

#include <QString>

#include <unistd.h>

namespace {

constexpr std::uint64_t bytesPerPixel = 8;
// Where the system does not say how much memory it has.
constexpr std::uint64_t assumedMemory = std::uint64_t(4) << 30;

std::uint64_t computerMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : assumedMemory;
}

QString gigabytes(std::uint64_t bytes) { return QString::number(double(bytes) / double(1 << 30), 'f', 1); }

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
    std::unique_lock lock(mutex);
    freed.wait(lock, [&] { return held + bytes <= total; });
    held += bytes;
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
    return std::uint64_t(std::max(ownSize.width(), 0)) * std::uint64_t(std::max(ownSize.height(), 0)) * bytesPerPixel;
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
                          .arg(gigabytes(bytes), gigabytes(2 * budget.size())));
}
