// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/readers/FileName.h"

namespace {

constexpr char16_t keptByteBase = 0xDC00; // + the byte, 0x80 .. 0xFF

bool isKeptByte(char16_t c) { return c >= keptByteBase + 0x80 && c <= keptByteBase + 0xFF; }

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at bytes[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
int validSequence(const QByteArray& bytes, qsizetype i, char32_t& codePoint)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    int length = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return codePoint = lead, 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, value = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, value = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, value = lead & 0x07;
    else
        return 0;
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(at(i + k)))
            return 0;
        value = value << 6 | (at(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

} // namespace

QString fileNameFromBytes(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const int length = validSequence(bytes, i, codePoint);
        if (length == 0) {
            name += QChar(char16_t(keptByteBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        name += QString::fromUcs4(&codePoint, 1);
        i += length;
    }
    return name;
}

QByteArray fileNameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0; // of the run of ordinary characters not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isKeptByte(name[i].unicode()))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        bytes += static_cast<char>(name[i].unicode() - keptByteBase);
        start = i + 1;
    }
    bytes += QStringView(name).mid(start).toUtf8();
    return bytes;
}

QString printableName(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (isKeptByte(c.unicode()))
            shown += QStringLiteral("\\x") + QString::number(c.unicode() - keptByteBase, 16).toUpper();
        else
            shown += c;
    }
    return shown;
}
