// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The system clipboard as the program's commands see it: a format test, and
// placing and taking a bitmap. The commands reach it through clipboard(); a
// test puts its own stand-in there with ScopedClipboard.
#include "surface/pixels/Bitmap.h"

#include <QStringList>

// Clipboard format identifiers. CF_BITMAP, CF_METAFILEPICT and CF_ENHMETAFILE
// name what another program may have placed; CF_PICTURE is the picture
// service's own: any of those three.
constexpr int CF_BITMAP = 2;
constexpr int CF_METAFILEPICT = 3;
constexpr int CF_ENHMETAFILE = 14;
constexpr int CF_PICTURE = 0xC000;

// The messages of the clipboard's failures.
QString clipboardCannotOpenMessage();  // "クリップボードを開くことができません"
QString clipboardUnsupportedMessage(); // "未対応のクリップボード データです"

class ClipboardService {
public:
    virtual ~ClipboardService() = default;

    // CF_BITMAP: whether a bitmap is there; never fails (a clipboard that
    // cannot be read holds no bitmap).
    // CF_PICTURE: whether a bitmap or a metafile is there; fails with
    // PlanixError clipboardCannotOpenMessage() when the clipboard cannot be
    // read. Any other format: false.
    virtual bool hasFormat(int format) = 0;

    // Empties the clipboard and places the bitmap as it is (an indexed bitmap
    // keeps its palette). A clipboard that cannot be read fails before it is
    // emptied, with clipboardCannotOpenMessage().
    virtual void setBitmap(const TBitmap& bitmap) = 0;

    // The bitmap on the clipboard, with its palette when it has one.
    // Fails with clipboardCannotOpenMessage() when the clipboard cannot be
    // read, and with clipboardUnsupportedMessage() when it holds no bitmap.
    virtual TBitmap bitmap() = 0;
};

// The program's clipboard: the system clipboard, unless a test replaced it.
ClipboardService& clipboard();

// Puts service in place of the program's clipboard for the guard's lifetime.
class ScopedClipboard {
public:
    explicit ScopedClipboard(ClipboardService& service);
    ~ScopedClipboard();
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;

private:
    ClipboardService* previous;
};

// The MIME types under which a metafile picture or an enhanced metafile
// reaches the clipboard from other programs.
const QStringList& metafileMimeTypes();
