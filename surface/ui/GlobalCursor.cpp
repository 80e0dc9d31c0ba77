// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/GlobalCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
TCursor current = crDefault;
}

void setScreenCursor(TCursor cursor)
{
    if (cursor == current)
        return;
    if (current != crDefault)
        QGuiApplication::restoreOverrideCursor();
    if (cursor == crHourGlass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (cursor == crHandPoint)
        QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
    current = cursor;
}

TCursor screenCursor() { return current; }
