// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The memory that pictures measured at their own size may take at once. A
// picture needing more than the others leave waits for them; one needing
// more than the whole budget is not measured at its own size: a damaged file
// of a few kilobytes that claims 60 000 x 60 000 pixels would otherwise take
// tens of gigabytes and minutes before failing, or bring the computer down.
#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// Memory held for as long as any copy of it is kept.
using MemoryHeld = std::shared_ptr<void>;

class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t bytes) : total(bytes) { }

    // Half the memory this program may use (the computer's, or less in a
    // container or under `ulimit -v`), shared by the whole process.
    static MemoryBudget& forPictures();

    // bytes held, once those held by others leave room for them; none when
    // they exceed the whole budget.
    std::optional<MemoryHeld> hold(std::uint64_t bytes);

    std::uint64_t size() const { return total; }

private:
    void release(std::uint64_t bytes);

    const std::uint64_t total;
    std::uint64_t held = 0;
    std::mutex mutex;
    std::condition_variable freed;
};

// What measuring a picture at its own size is counted to take: its pixels,
// a marked copy of them, the planes of the analysis and a report's view
// (10 bytes a pixel).
std::uint64_t bytesToMeasure(QSize ownSize);

// Holds what measuring a picture of ownSize at its own size takes, from the
// process's budget. Throws PlanixError when that can never fit.
MemoryHeld holdToMeasure(QSize ownSize);
