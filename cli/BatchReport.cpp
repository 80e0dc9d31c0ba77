// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/BatchReport.h"

#include "cli/Csv.h"

#include <QDateTime>
#include <QRegularExpression>

std::vector<ReportPicture> reportPictures(const std::vector<PictureRow>& rows, bool find)
{
    std::vector<ReportPicture> pictures;
    int last = -1;
    for (const PictureRow& row : rows) {
        if (row.picture != last)
            pictures.push_back({row.file, row.view, {}});
        last = row.picture;
        pictures.back().rows.push_back(
            {csvFields(row, find), row.error.isEmpty() ? row.area : QString(), row.warnings.codes(), row.error});
    }
    return pictures;
}

namespace {

// An argument as a shell would take it back.
QString shellWord(const QString& word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./,:=+%@-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    return u'\'' + QString(word).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

} // namespace

QString runDescription(const QStringList& arguments, const MeasureOptions& options, qsizetype pictures)
{
    QStringList given = arguments.mid(1), named = options.pictures;
    while (!given.isEmpty() && !named.isEmpty() && given.last() == named.last()) {
        given.removeLast();
        named.removeLast();
    }
    QStringList words;
    for (const QString& word : given)
        words << shellWord(word);
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("%1, %2: %3 (%4 picture%5)")
        .arg(measureVersion().trimmed(), now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate),
             words.join(u' '))
        .arg(pictures)
        .arg(pictures == 1 ? QString() : QStringLiteral("s"));
}
