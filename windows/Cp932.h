// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Text and code page 932 (Shift-JIS as Windows uses it), converted by glibc's
// iconv ("CP932").
#include <QByteArray>
#include <QString>
#include <optional>

// The text of bytes in code page 932. A byte that starts no character of the
// code page, or a lead byte cut off at the end, becomes U+FFFD, one per byte,
// and decoding goes on after it.
QString decodeCp932(const QByteArray& bytes);

// text as code page 932 bytes, or, when it holds a character the code page
// cannot represent, no bytes and the first such character.
struct Cp932Encoding {
    QByteArray bytes;
    std::optional<char32_t> unencodable;
};
Cp932Encoding encodeCp932(const QString& text);
