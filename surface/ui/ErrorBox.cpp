// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/ErrorBox.h"

#include "base/PlanixError.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace {

ErrorPresenter presenter;

} // namespace

std::unique_ptr<QMessageBox> errorBox(const QString& title, const QString& text)
{
    return std::make_unique<QMessageBox>(QMessageBox::Critical, title, text, QMessageBox::Ok,
                                         QApplication::activeWindow());
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

QString applicationTitleFor(const QString& programFileName)
{
    QString name = QFileInfo(programFileName).fileName();
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name.left(1) + name.mid(1).toLower();
}

QString applicationTitle() { return applicationTitleFor(QCoreApplication::applicationFilePath()); }

void setErrorPresenter(ErrorPresenter replacement) { presenter = std::move(replacement); }

void showException(const std::exception& error)
{
    const QString text = errorBoxText(messageOf(error));
    if (presenter)
        presenter(applicationTitle(), text);
    else
        errorBox(applicationTitle(), text)->exec();
}
