// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Interruption.h"

#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

struct InterruptionWatch::State {
    std::mutex mutex;
    std::function<void(int)> onSignal; // empty once the watch is over
};

namespace {

sigset_t watchedSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

InterruptionWatch::InterruptionWatch(std::function<void(int signal)> onSignal) : state(std::make_shared<State>())
{
    state->onSignal = std::move(onSignal);
    const sigset_t set = watchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([state = state, set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) { }
        const std::lock_guard lock(state->mutex);
        if (state->onSignal)
            state->onSignal(signal);
        _exit(128 + signal);
    }).detach();
}

InterruptionWatch::~InterruptionWatch()
{
    const std::lock_guard lock(state->mutex);
    state->onSignal = nullptr;
}
