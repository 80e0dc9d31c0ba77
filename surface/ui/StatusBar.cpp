#include "surface/ui/StatusBar.h"

#include <QPainter>

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QFrame(parent)
{
    setFixedWidth(width);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TStatusPanel::setText(const QString& text)
{
    if (text == shown)
        return;
    shown = text;
    update();
}

void TStatusPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect().adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int width : {200, 100}) {
        auto* panel = new TStatusPanel(width, this);
        addWidget(panel);
        panels.push_back(panel);
    }
}

void TStatusBar::setPanelText(int index, const QString& text) { panels.at(index)->setText(text); }

QString TStatusBar::panelText(int index) const { return panels.at(index)->text(); }
