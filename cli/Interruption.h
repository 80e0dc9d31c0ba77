// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Ending a run on SIGINT, SIGTERM or SIGHUP with its work put in order first.
// The signals are blocked in the calling thread (and so in every thread it
// starts afterwards) and taken by a thread of their own, where onSignal runs
// as ordinary code; the process then ends with status 128 + the signal's
// number, as a shell reports a run stopped by it.
#include <functional>
#include <memory>

class InterruptionWatch {
public:
    explicit InterruptionWatch(std::function<void(int signal)> onSignal);
    // From here on a signal ends the process without calling onSignal.
    ~InterruptionWatch();
    InterruptionWatch(const InterruptionWatch&) = delete;
    InterruptionWatch& operator=(const InterruptionWatch&) = delete;

    struct State;

private:
    std::shared_ptr<State> state;
};
