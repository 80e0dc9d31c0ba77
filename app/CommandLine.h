// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The desktop program's command line:
//
//   planix [PICTURE...]      opens the first PICTURE once the window is shown
//   planix --help | --version
//
// Qt's own options (-style, -platform, ...) are taken out by the application
// object before this reads the rest.
//
// Only the first picture is opened (a file manager may hand over several).
#include <QString>
#include <QStringList>

struct DesktopCommandLine {
    QString picture; // empty: start with an empty working image
    bool help = false;
    bool version = false;
    QString problem; // why the command line is malformed; empty when it is not
};

// arguments as the process got them, the program's name first.
DesktopCommandLine parseDesktopCommandLine(const QStringList& arguments);

QString desktopUsage(const QString& problem);
QString desktopHelp();
QString desktopVersion();
