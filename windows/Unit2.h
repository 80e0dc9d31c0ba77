// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The About box: the program's name, version and maker, shown modally.
#include "surface/ui/TImage.h"

#include <QDialog>
#include <QLabel>

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    TImage* Image1; // a footprint, 70 x 100
    QLabel* Label1; // "PLANIX"
    QLabel* Label3; // "Version 2.00"
    QLabel* Label4; // the maker
    TImage* Image2; // a coin, 20 x 29

protected:
    // The box has no default or cancel key: Enter and Esc do not close it.
    void keyPressEvent(QKeyEvent* event) override;
};

extern TForm2* Form2;
