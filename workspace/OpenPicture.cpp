// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a picture into the working image, and the main window's show handler.
#include "app/Unit1.h"

#include "measure/WorkingImage.h"
#include "surface/ui/ErrorBox.h"
#include "surface/ui/WindowPlacement.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>

namespace {

// The chosen file's folder becomes the process's current directory, as the
// platform's own open dialog leaves it; later relative names (the memo file)
// resolve there.
void followChosenFolder(const QString& fileName) { QDir::setCurrent(QFileInfo(fileName).absolutePath()); }

// Redoes the layouts from the window down to panel, so that panel has the
// size the window's current size gives it.
void layOutDownTo(QWidget& panel)
{
    QList<QWidget*> chain; // the window first
    for (QWidget* w = panel.parentWidget(); w; w = w->parentWidget()) {
        chain.prepend(w);
        if (w->isWindow())
            break;
    }
    for (QWidget* w : chain)
        if (w->layout())
            w->layout()->activate();
}

// The image at the panel's top-left corner with the panel's size.
void coverPanel(TImage& image, QWidget& panel)
{
    layOutDownTo(panel);
    image.setTop(0);
    image.setLeft(0);
    image.setWidth(panel.width());
    image.setHeight(panel.height());
}

} // namespace

void TForm1::Action1Execute(QObject*)
{
    if (!OpenPictureDialog1->Execute())
        return;
    openPicture(OpenPictureDialog1->FileName);
}

void TForm1::openPicture(const QString& fileName)
{
    const QString chosen = QFileInfo(fileName).absoluteFilePath();
    OpenPictureDialog1->FileName = chosen; // the dialog starts there next time
    runGuarded([&] { openIntoWorkingImage(chosen); });
}

// Loads and fits the new picture completely before touching the window: a
// file that fails to load or decode leaves the working image, the overlay and
// the history exactly as they were, and its error reaches the error box.
void TForm1::openIntoWorkingImage(const QString& fileName)
{
    followChosenFolder(fileName);
    const LoadedPicture loaded = loadPicture(fileName);

    jikkoufuka();
    rireki1();
    Image1->clearPicture();
    Image2->clearPicture();
    Image1->assignPicture(loaded.picture);
    Image2->setTop(0);
    Image2->setLeft(0);
    Image2->setWidth(loaded.working.width());
    Image2->setHeight(loaded.working.height());
    Image2->assignPicture(Picture(loaded.working));
}

void TForm1::FormShow(QObject*)
{
    threshold = 0.5f;
    // Until the window manager frames the window its outer size is not known;
    // the working image follows the panel again once it is.
    placeByOuterBounds(*this, QRect(0, 0, 1024, 744), [this] { coverPanel(*Image2, *kabe); });
}
