// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/StatusBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace {

// A panel is read out as a static text whose name and value are the text it
// shows, so that a screen reader can read the read-outs.
class StatusPanelAccessible : public QAccessibleWidget {
public:
    explicit StatusPanelAccessible(TStatusPanel* panel) : QAccessibleWidget(panel, QAccessible::StaticText) { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return static_cast<const TStatusPanel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* statusPanelAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TStatusPanel"))
        return new StatusPanelAccessible(static_cast<TStatusPanel*>(object));
    return nullptr;
}

} // namespace

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QFrame(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(statusPanelAccessible), true);
    Q_UNUSED(factoryInstalled);
    setFixedWidth(width);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TStatusPanel::setText(const QString& text)
{
    if (text == shown)
        return;
    shown = text;
    update();
    // Only while an assistive technology listens: a drag changes the text at
    // every move.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
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
