// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up: the command line, the application object, the main window, the
// About box and the memo window (both hidden), the picture named on the
// command line, then the message loop.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/OpenOnceShown.h"
#include "app/Unit1.h"
#include "surface/readers/FileName.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <cstdio>

namespace {

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version are answered before the application object, so
    // that they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]); // a picture's name keeps its bytes
    const DesktopCommandLine early = parseDesktopCommandLine(arguments);
    if (early.problem.isEmpty() && (early.help || early.version)) {
        writeTo(stdout, early.help ? desktopHelp() : desktopVersion());
        return 0;
    }

    // Qt takes its own options (-style, -platform, -reverse, ...) out of argc
    // and argv; the program reads what is left, by the names' own bytes.
    QApplication app(argc, argv);
    arguments.clear();
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);
    const DesktopCommandLine commandLine = parseDesktopCommandLine(arguments);
    if (!commandLine.problem.isEmpty()) {
        writeTo(stderr, desktopUsage(commandLine.problem));
        return 2;
    }
    if (commandLine.help || commandLine.version) {
        writeTo(stdout, commandLine.help ? desktopHelp() : desktopVersion());
        return 0;
    }
    configureApplication(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.planix.Planix"));

    Form1 = new TForm1;
    Form1->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(Form1, &QObject::destroyed, &app, &QApplication::quit);
    Form2 = new TForm2;
    Form3 = new TForm3;

    Form1->show();
    if (!commandLine.picture.isEmpty())
        openOnceShown(*Form1, commandLine.picture);
    const int result = app.exec();
    delete Form3;
    delete Form2;
    return result;
}
