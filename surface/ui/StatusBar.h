// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A status bar of fixed-width text panels (200 and 100 pixels) and an empty rest.
#include <QFrame>
#include <QStatusBar>
#include <vector>

// One sunken text panel. Setting its text only stores it and asks for a
// repaint of the panel: the mouse read-outs change it at every move.
class TStatusPanel : public QFrame {
    Q_OBJECT
public:
    TStatusPanel(int width, QWidget* parent);
    void setText(const QString& text);
    const QString& text() const { return shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
};

class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Shows text in panel index; the text already shown again does nothing.
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;

private:
    std::vector<TStatusPanel*> panels;
};
