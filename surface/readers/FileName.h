// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// File names as the system holds them: bytes, almost always UTF-8. A name
// whose bytes are not valid UTF-8 still names a file that opens, so the bytes
// that do not decode are kept in the QString as U+DC80 + (byte - 0x80), lone
// low surrogates that no valid UTF-8 decodes to, and come back unchanged.
//
//   "bad\xff\xfeutf.jpg"  <->  u"bad\uDCFF\uDCFEutf.jpg"  ->  shown "bad\xFF\xFEutf.jpg"
#include <QByteArray>
#include <QString>

QString fileNameFromBytes(const QByteArray& bytes);
QByteArray fileNameBytes(const QString& name);

// text with each kept byte written as \xHH, for messages and CSV fields.
QString printableName(const QString& text);
