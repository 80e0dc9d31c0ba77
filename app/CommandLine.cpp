// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"

#include <QCommandLineParser>

DesktopCommandLine parseDesktopCommandLine(const QStringList& arguments)
{
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    QCommandLineParser parser;
    parser.addOptions({help, version});
    DesktopCommandLine commandLine;
    if (!parser.parse(arguments)) {
        commandLine.problem = parser.errorText();
        return commandLine;
    }
    commandLine.help = parser.isSet(help);
    commandLine.version = parser.isSet(version);
    if (!parser.positionalArguments().isEmpty())
        commandLine.picture = parser.positionalArguments().first();
    return commandLine;
}

QString desktopUsage(const QString& problem)
{
    return QStringLiteral("planix: %1\n"
                          "Usage: planix [PICTURE]\n"
                          "Try 'planix --help' for more information.\n")
        .arg(problem);
}

QString desktopHelp()
{
    return QStringLiteral("Usage: planix [PICTURE]\n"
                          "Measures the area of a flat shape in a picture by counting dots.\n"
                          "PICTURE (JPEG or BMP) is opened once the window is shown, as if chosen\n"
                          "with the open command.\n"
                          "\n"
                          "  --help     show this help\n"
                          "  --version  show the version\n"
                          "\n"
                          "Qt's own options are taken too, for instance -style fusion, -reverse or\n"
                          "-platform offscreen.\n"
                          "\n"
                          "To measure many pictures from the command line, see planix-measure --help.\n");
}

QString desktopVersion() { return QStringLiteral("planix %1\n").arg(QStringLiteral(PLANIX_PRODUCT_VERSION)); }
