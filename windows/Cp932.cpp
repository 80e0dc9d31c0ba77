// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "windows/Cp932.h"

#include "base/PlanixError.h"

#include <QList>

#include <cerrno>
#include <iconv.h>

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// One iconv conversion descriptor, closed when it goes.
class Converter {
public:
    Converter(const char* to, const char* from) : handle(iconv_open(to, from))
    {
        if (handle == invalidHandle())
            throw PlanixError(QStringLiteral("文字コード %1 から %2 への変換ができません")
                                  .arg(QLatin1StringView(from), QLatin1StringView(to)));
    }
    ~Converter() { iconv_close(handle); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of [in, in + inLeft) as it can into out (grown as needed).
    // Returns 0 when all was converted, else the errno that stopped it
    // (EILSEQ: no character there; EINVAL: a character cut off at the end).
    int convert(const char*& in, size_t& inLeft, QByteArray& out)
    {
        while (inLeft > 0) {
            const qsizetype used = out.size();
            out.resize(used + qsizetype(inLeft) * 2 + 16);
            char* outPos = out.data() + used;
            size_t outLeft = size_t(out.size() - used);
            const size_t result = iconv(handle, const_cast<char**>(&in), &inLeft, &outPos, &outLeft);
            const int reason = result == size_t(-1) ? errno : 0;
            out.truncate(outPos - out.data());
            if (reason != 0 && reason != E2BIG)
                return reason;
        }
        return 0;
    }

private:
    static iconv_t invalidHandle() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t handle;
};

void appendCodePoint(QByteArray& utf8, char32_t codePoint) { utf8 += QString::fromUcs4(&codePoint, 1).toUtf8(); }

// The code point whose UTF-8 encoding starts at utf8.
char32_t codePointAt(const char* utf8, size_t left)
{
    const QString one = QString::fromUtf8(utf8, qsizetype(std::min<size_t>(left, 4)));
    return one.isEmpty() ? replacementCharacter : one.toUcs4().front();
}

} // namespace

QString decodeCp932(const QByteArray& bytes)
{
    Converter converter("UTF-8", "CP932");
    QByteArray utf8;
    const char* in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    while (converter.convert(in, inLeft, utf8) != 0) {
        appendCodePoint(utf8, replacementCharacter);
        ++in;
        --inLeft;
    }
    return QString::fromUtf8(utf8);
}

Cp932Encoding encodeCp932(const QString& text)
{
    Converter converter("CP932", "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    const char* in = utf8.constData();
    size_t inLeft = size_t(utf8.size());
    Cp932Encoding result;
    if (converter.convert(in, inLeft, result.bytes) != 0)
        return {QByteArray(), codePointAt(in, inLeft)};
    return result;
}
