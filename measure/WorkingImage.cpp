// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "measure/WorkingImage.h"

#include "measure/Fit.h"
#include "surface/readers/PictureFile.h"

TBitmap fittedBitmap(const Picture& picture)
{
    const QSize size = fittedSize(picture.width(), picture.height());
    TBitmap fitted = TBitmap::white(size.width(), size.height());
    if (!fitted.isEmpty())
        picture.stretchDraw(fitted.writableImage(), QRect(QPoint(0, 0), size));
    return fitted;
}

LoadedPicture loadPicture(const QString& fileName)
{
    LoadedPicture loaded;
    loaded.picture = readPictureFile(fileName);
    loaded.working = fittedBitmap(loaded.picture);
    return loaded;
}

TBitmap loadWorkingImage(const QString& fileName) { return loadPicture(fileName).working; }
