// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Csv.h"

#include "cli/Measure.h"
#include "surface/readers/FileName.h"

namespace {

template <class Number>
QString optionalNumber(const std::optional<Number>& value)
{
    return value ? QString::number(*value) : QString();
}

} // namespace

QString csvField(const QString& text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvRecord(const QStringList& fields)
{
    QStringList written;
    for (const QString& field : fields)
        written << csvField(printableName(field));
    return written.join(u',') + QStringLiteral("\r\n");
}

QStringList csvColumns(bool find)
{
    QStringList columns{
        QStringLiteral("file"),        QStringLiteral("width"),          QStringLiteral("height"),
        QStringLiteral("object_dots"), QStringLiteral("reference_dots"), QStringLiteral("reference_area"),
        QStringLiteral("area"),        QStringLiteral("error"),          QStringLiteral("warnings"),
        QStringLiteral("levels"),      QStringLiteral("object_by"),      QStringLiteral("reference_by"),
        QStringLiteral("threshold"),   QStringLiteral("full_resolution")};
    if (find)
        columns << QStringLiteral("object") << QStringLiteral("box");
    return columns;
}

QString csvHeader(bool find) { return csvRecord(csvColumns(find)); }

QString ruleName(CountRule rule)
{
    switch (rule) {
    case CountRule::Brightness: return QStringLiteral("brightness");
    case CountRule::Blue: return QStringLiteral("blue");
    case CountRule::Green: return QStringLiteral("green");
    case CountRule::Red: return QStringLiteral("red");
    }
    return {};
}

QStringList csvFields(const PictureRow& row, bool find)
{
    const bool measured = row.size.has_value();
    const MeasureSettings& how = row.settings;
    const auto described = [&](const QString& text) { return measured ? text : QString(); };
    if (find) {
        const QRect box = row.box.value_or(QRect());
        return {row.file,
                measured ? QString::number(row.size->width()) : QString(),
                measured ? QString::number(row.size->height()) : QString(),
                optionalNumber(row.objectDots),
                row.referencePixels ? QString::number(*row.referencePixels, 'f', 1) : QString(),
                described(pointDecimalText(how.referenceArea)),
                row.area,
                row.error,
                row.warnings.text(),
                described(QStringLiteral("find")),
                QString(),
                QString(),
                QString(),
                described(how.fullResolution ? QStringLiteral("yes") : QStringLiteral("no")),
                optionalNumber(row.object),
                row.box ? QStringLiteral("%1,%2,%3,%4")
                              .arg(box.left())
                              .arg(box.top())
                              .arg(box.right() + 1)
                              .arg(box.bottom() + 1)
                        : QString()};
    }
    return {row.file,
            measured ? QString::number(row.size->width()) : QString(),
            measured ? QString::number(row.size->height()) : QString(),
            optionalNumber(row.objectDots),
            optionalNumber(row.referenceDots),
            described(pointDecimalText(how.referenceArea)),
            row.area,
            row.error,
            row.warnings.text(),
            described(how.levels == LevelRule::Robust ? QStringLiteral("robust") : QStringLiteral("window")),
            described(ruleName(how.rule)),
            described(how.reference ? ruleName(how.referenceRule) : QString()),
            described(how.autoThreshold ? QStringLiteral("auto") : QString::number(how.thresholdTenths * 10)),
            described(how.fullResolution ? QStringLiteral("yes") : QStringLiteral("no"))};
}

QString csvRow(const PictureRow& row, bool find) { return csvRecord(csvFields(row, find)); }

QString csvTable(const std::vector<PictureRow>& rows, bool find)
{
    QString table = csvHeader(find);
    for (const PictureRow& row : rows)
        table += csvRow(row, find);
    return table;
}
