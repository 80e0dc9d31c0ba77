// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "windows/KeepAbove.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

void setStaysOnTop(QWidget& window, bool onTop)
{
    const Qt::WindowFlags flags = window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (flags == window.windowFlags())
        return;
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
}

void follow(QWidget& window, Qt::ApplicationState state)
{
    setStaysOnTop(window, staysAbove(window, state));
    if (QWindow* modal = QGuiApplication::modalWindow(); modal && state == Qt::ApplicationActive)
        modal->raise();
}

} // namespace

bool staysAbove(const QWidget& window, Qt::ApplicationState state)
{
    const QWindow* modal = QGuiApplication::modalWindow();
    return state == Qt::ApplicationActive && (!modal || modal == window.windowHandle());
}

void keepAboveWhileActive(QWidget& window)
{
    auto* application = qGuiApp;
    QObject::connect(application, &QGuiApplication::applicationStateChanged, &window,
                     [&window](Qt::ApplicationState state) { follow(window, state); });
    QObject::connect(application, &QGuiApplication::focusWindowChanged, &window,
                     [&window] { follow(window, QGuiApplication::applicationState()); });
    follow(window, QGuiApplication::applicationState());
}
