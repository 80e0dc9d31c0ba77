// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/Clipboard.h"

#include "base/PlanixError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QString clipboardCannotOpenMessage() { return QStringLiteral("クリップボードを開くことができません"); }

QString clipboardUnsupportedMessage() { return QStringLiteral("未対応のクリップボード データです"); }

const QStringList& metafileMimeTypes()
{
    static const QStringList types{
        QStringLiteral("image/x-wmf"),
        QStringLiteral("image/x-emf"),
        QStringLiteral("image/wmf"),
        QStringLiteral("image/emf"),
        QStringLiteral("application/x-qt-windows-mime;value=\"MetaFilePict\""),
        QStringLiteral("application/x-qt-windows-mime;value=\"Enhanced Metafile\""),
    };
    return types;
}

namespace {

// Qt's clipboard. Without an application object there is none to open.
QClipboard& systemClipboard()
{
    QClipboard* system = QGuiApplication::clipboard();
    if (!system)
        throw PlanixError(clipboardCannotOpenMessage());
    return *system;
}

// What the clipboard holds. Some platforms answer "no data" for a clipboard
// that holds nothing; that reads as empty.
const QMimeData& contentsOf(const QClipboard& system)
{
    static const QMimeData nothing;
    const QMimeData* contents = system.mimeData();
    return contents ? *contents : nothing;
}

bool holdsMetafile(const QMimeData& contents)
{
    for (const QString& type : metafileMimeTypes()) {
        if (contents.hasFormat(type))
            return true;
    }
    return false;
}

// A clipboard image as the program keeps bitmaps: an indexed image stays
// indexed with its palette; any other becomes 32-bit RGB, its alpha dropped
// and its colour channels kept.
TBitmap bitmapOf(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_RGB32: return TBitmap(image);
    default: return TBitmap(image.convertToFormat(QImage::Format_RGB32));
    }
}

class SystemClipboard final : public ClipboardService {
public:
    bool hasFormat(int format) override
    {
        if (format == CF_BITMAP)
            return holdsBitmapQuietly();
        if (format == CF_PICTURE) {
            const QMimeData& contents = contentsOf(systemClipboard());
            return contents.hasImage() || holdsMetafile(contents);
        }
        return false;
    }

    void setBitmap(const TBitmap& bitmap) override
    {
        QClipboard& system = systemClipboard();
        auto* contents = new QMimeData;
        contents->setImageData(bitmap.image());
        system.setMimeData(contents); // the clipboard takes ownership
    }

    TBitmap bitmap() override
    {
        const QMimeData& contents = contentsOf(systemClipboard());
        const QImage image = contents.hasImage() ? qvariant_cast<QImage>(contents.imageData()) : QImage();
        if (image.isNull())
            throw PlanixError(clipboardUnsupportedMessage());
        return bitmapOf(image);
    }

private:
    static bool holdsBitmapQuietly()
    {
        const QClipboard* system = QGuiApplication::clipboard();
        return system && contentsOf(*system).hasImage();
    }
};

ClipboardService* replacement = nullptr;

} // namespace

ClipboardService& clipboard()
{
    static SystemClipboard system;
    return replacement ? *replacement : system;
}

ScopedClipboard::ScopedClipboard(ClipboardService& service) : previous(replacement) { replacement = &service; }

ScopedClipboard::~ScopedClipboard() { replacement = previous; }
