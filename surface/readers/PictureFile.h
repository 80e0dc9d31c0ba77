// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading picture files. The extension, not the content, picks the reader:
// bmp -> bitmap, jpg/jpeg -> JPEG, ico -> icon, wmf/emf -> metafile
// (compared without regard to case). Failures throw PlanixError with the
// program's messages:
//   "拡張子 .%s の画像形式は処理できません"  unknown or missing extension
//   "ファイル %s は開けません"               the file cannot be opened
// and the readers' own messages.
#include "surface/pixels/Picture.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The text after the last dot of the file name (not of a folder), as written;
// empty when there is none.
QString pictureExtension(const QString& fileName);

Picture readPictureFile(const QString& fileName);

// The readers, each over the file's whole content.
Picture readBmp(const QByteArray& bytes);
// A BMP file from an open descriptor of a regular file of size bytes: its
// headers and palette first, checked before any pixel is read, then its
// rows a chunk at a time, so that the file's pixel data is never held whole.
Picture readBmpFile(int fd, std::int64_t size);
Picture readJpeg(const QByteArray& bytes);
Picture readIcon(const QByteArray& bytes);
Picture readMetafile(const QByteArray& bytes, bool enhanced);
