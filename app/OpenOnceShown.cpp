// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/OpenOnceShown.h"

#include "app/Unit1.h"

#include <QTimer>
#include <memory>
#include <utility>

namespace {

// The window placement keeps this child while it waits for the window
// manager's frame; when the frame comes it lays the working image out again.
constexpr const char* placementWatchName = "outerBoundsWatch";

// The longest wait for the frame (a display without window manager never
// gives one).
constexpr int longestFrameWaitMs = 1000;

} // namespace

void openOnceShown(TForm1& form, const QString& fileName)
{
    QTimer::singleShot(0, &form, [&form, fileName] {
        QObject* watch = form.findChild<QObject*>(placementWatchName, Qt::FindDirectChildrenOnly);
        if (!watch) {
            form.openPicture(fileName);
            return;
        }
        auto opened = std::make_shared<bool>(false);
        const auto openOnce = [&form, fileName, opened] {
            if (std::exchange(*opened, true))
                return;
            form.openPicture(fileName);
        };
        QObject::connect(watch, &QObject::destroyed, &form, openOnce, Qt::QueuedConnection);
        QTimer::singleShot(longestFrameWaitMs, &form, openOnce);
    });
}
