// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The one updating progress line of a long batch on a terminal:
//
//   planix-measure: 12 of 40 pictures, 3.1 per second, 9 s left
//
// Nothing is shown during the first second, so short batches stay quiet.
#include <QString>

QString progressLine(int done, int total, double seconds);

class ProgressMeter {
public:
    explicit ProgressMeter(int total) : total(total) { }

    // The line to show after done pictures at seconds since the start; empty
    // when nothing should be shown yet or the line would not change.
    QString update(int done, double seconds);

private:
    int total;
    int lastShown = -1;
};
