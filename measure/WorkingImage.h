// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The working image every measurement is made on: a picture file read by its
// extension, then fitted into a new bitmap of at most 1024 x 768 (Fit.h).
// The main window's open command and planix-measure both open pictures here.
#include "surface/pixels/Bitmap.h"
#include "surface/pixels/Picture.h"

#include <QString>

// A new white bitmap of the picture's fitted size with the whole picture
// stretched over it (nearest source pixel, never blended). A side fitted to
// 0 leaves an empty bitmap with nothing drawn. Decoding happens here, so it
// may throw PlanixError with a decoder's message.
TBitmap fittedBitmap(const Picture& picture);

struct LoadedPicture {
    Picture picture; // the file's picture as read (the window's loader image)
    TBitmap working; // fittedBitmap(picture)
};

// Reads fileName (the extension picks the reader) and fits it. Nothing is
// kept on failure: PlanixError with the program's message ("ファイル %s は
// 開けません", "拡張子 .%s の画像形式は処理できません", a reader's own).
LoadedPicture loadPicture(const QString& fileName);

// loadPicture(fileName).working.
TBitmap loadWorkingImage(const QString& fileName);
