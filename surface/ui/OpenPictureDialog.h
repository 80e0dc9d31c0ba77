// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The picture-open dialog: modal, with the form's filter and a preview pane
// beside the file list.
#include <QString>
#include <QStringList>

class QWidget;

class TOpenPictureDialog {
public:
    explicit TOpenPictureDialog(QWidget* owner) : owner(owner) { }
    virtual ~TOpenPictureDialog() = default;

    // Runs the dialog; true with FileName set to the chosen full path when the
    // user confirmed a file, false on cancel. Starts with FileName filled in;
    // a typed name need not exist.
    virtual bool Execute();

    // "caption|patterns", pairs joined by "|", patterns separated by ";".
    QString Filter;
    QString FileName;

protected:
    QWidget* owner;
};

// Qt's name filters for a Filter: each entry reads as its caption, written as
// it is, and matches its patterns (the file dialog is told to hide the
// pattern part it appends).
QStringList qtNameFilters(const QString& filter);
