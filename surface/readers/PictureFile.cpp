// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/readers/PictureFile.h"

#include "base/PlanixError.h"
#include "base/SystemIo.h"
#include "surface/readers/FileName.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString pictureExtension(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

namespace {

[[noreturn]] void throwCannotOpen(const QString& fileName)
{
    throw PlanixError(QStringLiteral("ファイル %1 は開けません").arg(printableName(fileName)));
}

// A picture file open for reading, closed when it goes. Only a regular
// file (or a link to one) is read: a folder cannot be, and a pipe or a
// device could keep the reader waiting or feed it without end. The name's
// own bytes open it, also where they are not UTF-8.
class OpenFile {
public:
    explicit OpenFile(const QString& fileName)
        : fd(::open(fileNameBytes(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        struct stat status { };
        if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(fd);
            fd = -1;
        }
        if (fd < 0)
            throwCannotOpen(fileName);
        size = status.st_size;
    }
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd;
    std::int64_t size = 0;
};

// The file's bytes. Where they must begin with start and do not (a film or
// an archive named .jpg by mistake, of any size), only the first few are
// read: the reader refuses them just as it would refuse the whole file.
QByteArray readWholeFile(const QString& fileName, QByteArrayView start = {})
{
    const OpenFile file(fileName);
    QByteArray bytes(qsizetype(std::min<std::int64_t>(file.size, start.size())), Qt::Uninitialized);
    qsizetype done = readUpTo(file.fd, bytes.data(), bytes.size());
    if (done == start.size() && bytes.startsWith(start)) {
        bytes.resize(qsizetype(std::max<std::int64_t>(file.size, done)));
        const qsizetype rest = readUpTo(file.fd, bytes.data() + done, bytes.size() - done);
        done = rest < 0 ? rest : done + rest;
    }
    if (done < 0)
        throwCannotOpen(fileName);
    bytes.truncate(done); // the file may have shrunk meanwhile
    return bytes;
}

} // namespace

Picture readPictureFile(const QString& fileName)
{
    const QString extension = pictureExtension(fileName);
    const QString lower = extension.toLower();
    if (lower == u"bmp") {
        const OpenFile file(fileName);
        return readBmpFile(file.fd, file.size);
    }
    if (lower == u"jpg" || lower == u"jpeg")
        return readJpeg(readWholeFile(fileName, QByteArrayView("\xFF\xD8", 2)));
    if (lower == u"ico")
        return readIcon(readWholeFile(fileName));
    if (lower == u"wmf" || lower == u"emf")
        return readMetafile(readWholeFile(fileName), lower == u"emf");
    throw PlanixError(QStringLiteral("拡張子 .%1 の画像形式は処理できません").arg(extension));
}
