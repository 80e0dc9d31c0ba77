#include "surface/StatusBar.h"

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int width : {200, 100}) {
        auto* panel = new QLabel(this);
        panel->setFixedWidth(width);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel);
        panels.push_back(panel);
    }
}

void TStatusBar::setPanelText(int index, const QString& text)
{
    QLabel* panel = panels.at(index);
    if (panel->text() != text)
        panel->setText(text);
}

QString TStatusBar::panelText(int index) const { return panels.at(index)->text(); }
