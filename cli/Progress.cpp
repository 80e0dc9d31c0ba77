// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Progress.h"

#include <cmath>

QString progressLine(int done, int total, double seconds)
{
    QString line = QStringLiteral("planix-measure: %1 of %2 pictures").arg(done).arg(total);
    if (done > 0 && seconds > 0) {
        const double rate = done / seconds;
        line += QStringLiteral(", %1 per second").arg(rate, 0, 'f', rate < 10 ? 1 : 0);
        if (done < total)
            line += QStringLiteral(", %1 s left").arg(std::ceil((total - done) / rate), 0, 'f', 0);
    }
    return line;
}

QString ProgressMeter::update(int done, double seconds)
{
    if (seconds < 1 || done == lastShown)
        return {};
    lastShown = done;
    return progressLine(done, total, seconds);
}
