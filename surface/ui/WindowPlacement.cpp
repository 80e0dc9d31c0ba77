// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/WindowPlacement.h"

#include <QEvent>
#include <QMargins>
#include <QWidget>
#include <QWindow>

namespace {

QMargins frameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void applyOuterBounds(QWidget& window, const QRect& outer, const QMargins& frame)
{
    window.move(outer.topLeft()); // a window's position is its frame's
    window.resize(outer.size().shrunkBy(frame));
}

// Watches a window that has no frame yet and applies the bounds again when
// the window manager gives it one (the window then moves or resizes).
class FrameWatch : public QObject {
public:
    static constexpr const char* name = "outerBoundsWatch";

    FrameWatch(QWidget& window, const QRect& outer, std::function<void()> placed)
        : QObject(&window), window(window), outer(outer), placed(std::move(placed))
    {
        setObjectName(name);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange) {
            finish();
        } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            const QMargins frame = frameOf(window);
            if (!frame.isNull()) {
                finish();
                applyOuterBounds(window, outer, frame);
                placed();
            }
        }
        return false;
    }

private:
    void finish()
    {
        window.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window;
    QRect outer;
    std::function<void()> placed;
};

} // namespace

void placeByOuterBounds(QWidget& window, const QRect& outer, const std::function<void()>& placed)
{
    const QMargins frame = frameOf(window);
    applyOuterBounds(window, outer, frame);
    placed();
    delete window.findChild<QObject*>(FrameWatch::name, Qt::FindDirectChildrenOnly);
    if (frame.isNull())
        new FrameWatch(window, outer, placed);
}
