// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's message of what action throws, or "(no error)".
#include "base/PlanixError.h"

#include <QString>

template <typename Action>
QString errorOf(Action action)
{
    try {
        action();
    } catch (const PlanixError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}
