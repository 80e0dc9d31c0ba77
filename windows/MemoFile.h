// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The memo file: the memo's text as code page 932 bytes with CR LF line
// breaks, no byte-order mark, nothing added after the last line.
#include <QByteArray>
#include <QString>
#include <optional>

// The memo file's name, relative: it lies in the current directory of the
// moment it is read or written.
inline const QString memoFileName = QStringLiteral("PLANIX.TXT");

// Every CR LF pair, lone CR and lone LF of text made one CR LF.
QString normaliseLineBreaks(const QString& text);

// The memo text that file bytes hold: the bytes up to the first zero byte,
// decoded from code page 932, line breaks normalised. A zero byte is always a
// character of its own in code page 932 (trail bytes are 0x40 and above), so
// cutting there never splits a two-byte character; nor can a trail byte be
// taken for CR or LF.
QString memoTextFromBytes(const QByteArray& bytes);

// The largest memo file read; a bigger one is no memo.
constexpr qsizetype maxMemoFileBytes = 16 * 1024 * 1024;

// The memo text held in the file at path, or nothing when the file is
// missing, cannot be read, is not a regular file (a link to one is) or is
// larger than maxMemoFileBytes. Never waits on a pipe.
std::optional<QString> readMemoFile(const QString& path);

// Replaces the file at path (a link's target, keeping the link) by text as
// code page 932 bytes, exactly as held. The bytes go to a temporary file
// beside it, which is renamed over path only once it is whole, so a failed
// save leaves the old file as it was. Where no temporary file can be made
// but the file itself may be written, it is emptied and rewritten in place.
// Something that is not a regular file is never replaced. Throws PlanixError:
//   "文字 %1 は保存できません"          text holds a character code page 932
//                                      cannot (nothing is written);
//   "ファイル %1 を作成できません"      the file cannot be created or is not
//                                      a regular file (%1 = path);
//   "ストリームへの書き込みエラー"      a write stops short.
void writeMemoFile(const QString& path, const QString& text);
