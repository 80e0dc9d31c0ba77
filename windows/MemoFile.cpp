#include "windows/MemoFile.h"

#include "base/PlanixError.h"
#include "windows/Cp932.h"

#include <QFile>
#include <QSaveFile>

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

PlanixError writeError()
{
    return PlanixError(QStringLiteral("ストリームへの書き込みエラー"));
}

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

std::optional<QString> readMemoFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return memoTextFromBytes(bytes);
}

void writeMemoFile(const QString& path, const QString& text)
{
    const QByteArray bytes = memoBytes(text);
    QSaveFile file(path);
    // Unbuffered: a buffered write that fails while committing goes unreported
    // by QSaveFile, and the shortened file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw cannotCreate(path);
    if (file.write(bytes) != bytes.size())
        throw writeError();
    if (!file.commit())
        throw file.error() == QFileDevice::RenameError ? cannotCreate(path) : writeError();
}
