// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/TImage.h"

#include "base/PlanixError.h"

#include <QMouseEvent>
#include <QPainter>

TMouseButton mouseButtonOf(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        return mbRight;
    if (button == Qt::MiddleButton)
        return mbMiddle;
    return mbLeft;
}

TShiftState shiftStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    int flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= ssShift;
    if (modifiers & Qt::AltModifier)
        flags |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        flags |= ssCtrl;
    if (buttons & Qt::LeftButton)
        flags |= ssLeft;
    if (buttons & Qt::RightButton)
        flags |= ssRight;
    if (buttons & Qt::MiddleButton)
        flags |= ssMiddle;
    return TShiftState(flags);
}

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::assignPicture(const Picture& source)
{
    held = source;
    followPictureSize();
    update();
}

void TImage::clearPicture()
{
    held.clear();
    update();
}

TBitmap& TImage::pictureAsBitmap()
{
    update();
    return held.asBitmap();
}

Surface TImage::canvas()
{
    if (held.isEmpty()) {
        held = Picture(TBitmap::white(width(), height()));
        update();
    }
    TBitmap* bitmap = held.bitmap();
    if (!bitmap)
        throw PlanixError(QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です"));
    return Surface(*bitmap, [this](const QRect& area) { update(area); });
}

void TImage::followPictureSize()
{
    if (autoSize && held.width() > 0 && held.height() > 0)
        resize(held.width(), held.height());
}

void TImage::paintEvent(QPaintEvent* event)
{
    const TBitmap* bitmap = held.bitmap();
    if (!bitmap || bitmap->isEmpty())
        return;
    QPainter painter(this);
    const QRect area = event->rect() & bitmap->image().rect();
    painter.drawImage(area.topLeft(), bitmap->image(), area);
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown) {
        const QPoint p = event->position().toPoint();
        OnMouseDown(mouseButtonOf(event->button()), shiftStateOf(event->buttons(), event->modifiers()), p.x(), p.y());
    }
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove) {
        const QPoint p = event->position().toPoint();
        OnMouseMove(shiftStateOf(event->buttons(), event->modifiers()), p.x(), p.y());
    }
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp) {
        const QPoint p = event->position().toPoint();
        OnMouseUp(mouseButtonOf(event->button()), shiftStateOf(event->buttons(), event->modifiers()), p.x(), p.y());
    }
}
