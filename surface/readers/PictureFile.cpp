#include "surface/readers/PictureFile.h"

#include "base/PlanixError.h"

#include <QFile>
#include <QFileInfo>

QString pictureExtension(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

namespace {

// Only a regular file (or a link to one) is read: a folder cannot be, and a
// pipe or a device could keep the reader waiting or feed it without end.
QByteArray readWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw PlanixError(QStringLiteral("ファイル %1 は開けません").arg(fileName));
    return file.readAll();
}

} // namespace

Picture readPictureFile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName);
    const QString lower = extension.toLower();
    if (lower == u"bmp")
        return readBmp(readWholeFile(fileName));
    if (lower == u"jpg" || lower == u"jpeg")
        return readJpeg(readWholeFile(fileName));
    if (lower == u"ico")
        return readIcon(readWholeFile(fileName));
    if (lower == u"wmf" || lower == u"emf")
        return readMetafile(readWholeFile(fileName), lower == u"emf");
    throw PlanixError(QStringLiteral("拡張子 .%1 の画像形式は処理できません").arg(extension));
}
