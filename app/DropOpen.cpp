// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// A picture file dropped on the main window is opened as if chosen in the
// open dialog. The open waits until the drop has finished, so that an error
// box never holds up the program the file came from.
#include "app/Unit1.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// The first local file the drag carries; empty when it carries none.
QString firstLocalFile(const QMimeData* data)
{
    if (!data)
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString fileName = firstLocalFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, fileName] { openPicture(fileName); });
}
