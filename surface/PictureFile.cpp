#include "surface/PictureFile.h"

#include "surface/FileName.h"
#include "surface/PlanixError.h"

#include <QFileInfo>
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
    throw PlanixError(QStringLiteral("ファイル %1 は開けません").arg(fileName));
}

// Only a regular file (or a link to one) is read: a folder cannot be, and a
// pipe or a device could keep the reader waiting or feed it without end. The
// name's own bytes open it, also where they are not UTF-8.
QByteArray readWholeFile(const QString& fileName)
{
    const int fd = ::open(fileNameBytes(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throwCannotOpen(fileName);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        throwCannotOpen(fileName);
    QByteArray bytes;
    bytes.resize(qsizetype(status.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throwCannotOpen(fileName);
        if (got == 0)
            break; // the file shrank meanwhile
        done += got;
    }
    bytes.truncate(done);
    return bytes;
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
