// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "windows/MemoFile.h"

#include "base/PlanixError.h"
#include "base/SystemIo.h"
#include "surface/readers/FileName.h"
#include "windows/Cp932.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How a character is named in the message: itself and its code point,
// as 「€」(U+20AC).
QString characterName(char32_t codePoint)
{
    const QString hex = QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("「%1」(U+%2)").arg(QString::fromUcs4(&codePoint, 1), hex);
}

QByteArray memoBytes(const QString& text)
{
    Cp932Encoding encoded = encodeCp932(text);
    if (encoded.unencodable)
        throw PlanixError(QStringLiteral("文字 %1 は保存できません").arg(characterName(*encoded.unencodable)));
    return std::move(encoded.bytes);
}

PlanixError cannotCreate(const QString& path)
{
    return PlanixError(QStringLiteral("ファイル %1 を作成できません").arg(path));
}

PlanixError writeError() { return PlanixError(QStringLiteral("ストリームへの書き込みエラー")); }

} // namespace

QString normaliseLineBreaks(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            result += QStringLiteral("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

QString memoTextFromBytes(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return normaliseLineBreaks(decodeCp932(zero < 0 ? bytes : bytes.left(zero)));
}

namespace {

// A descriptor closed when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool writeAll(int fd, const QByteArray& bytes) { return writeEveryByte(fd, bytes.constData(), bytes.size()) == 0; }

// Closes the descriptor, reporting whether everything reached the file.
bool closeChecked(Descriptor& file)
{
    const int fd = std::exchange(file.fd, -1);
    return ::close(fd) == 0 || errno == EINTR;
}

// The file a name stands for: a link's final target, so that saving
// replaces the file and keeps the link.
QByteArray resolvedName(const QByteArray& name)
{
    char* resolved = ::realpath(name.constData(), nullptr);
    if (!resolved)
        return name;
    const QByteArray target(resolved);
    std::free(resolved);
    return target;
}

// The memo's save steps on the file itself: emptied, written, closed; a
// write that stops short leaves what was written.
void rewriteInPlace(const QByteArray& name, const QString& path, const QByteArray& bytes)
{
    Descriptor file{::open(name.constData(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        throw cannotCreate(path);
    if (!writeAll(file.fd, bytes) || !closeChecked(file))
        throw writeError();
}

} // namespace

std::optional<QString> readMemoFile(const QString& path)
{
    // Without blocking: a pipe must not hold the program up.
    Descriptor file{::open(fileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat status { };
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxMemoFileBytes)
        return std::nullopt;
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized); // one more: a file that grew shows
    const qsizetype done = readUpTo(file.fd, bytes.data(), bytes.size());
    if (done < 0 || done > maxMemoFileBytes)
        return std::nullopt;
    bytes.truncate(done);
    return memoTextFromBytes(bytes);
}

void writeMemoFile(const QString& path, const QString& text)
{
    const QByteArray bytes = memoBytes(text);
    const QByteArray target = resolvedName(fileNameBytes(path));
    struct stat existing { };
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        throw cannotCreate(path); // a device, a pipe or a folder is never replaced

    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    Descriptor file{::mkostemp(temporary.data(), O_CLOEXEC)};
    if (file.fd < 0) {
        // No room for a second file beside it (a read-only folder, say): a
        // file that may itself be written is rewritten where it is.
        if (exists)
            return rewriteInPlace(target, path, bytes);
        throw cannotCreate(path);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.fd, exists ? existing.st_mode & 07777 : 0666 & ~mask);
    const bool written = writeAll(file.fd, bytes) && closeChecked(file);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throw written ? cannotCreate(path) : writeError();
    }
}
