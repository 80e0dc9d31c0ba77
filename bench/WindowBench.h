// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the window benchmarks share: the program's windows on the offscreen
// platform, and mouse events sent straight to a widget.
#include "app/Application.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <QMouseEvent>

// Called first in main: the application object set up as the program sets it
// up, and the About box and memo window that the main window reaches.
inline void startOffscreenWindows(int& argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    configureApplication(app);
    Form2 = new TForm2;
    Form3 = new TForm3;
}

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
