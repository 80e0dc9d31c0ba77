#include "cli/Csv.h"

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

QString csvHeader()
{
    return csvRecord({QStringLiteral("file"), QStringLiteral("width"), QStringLiteral("height"),
                      QStringLiteral("object_dots"), QStringLiteral("reference_dots"),
                      QStringLiteral("reference_area"), QStringLiteral("area"), QStringLiteral("error")});
}

QString csvRow(const PictureRow& row, const QString& referenceArea)
{
    const bool measured = row.size.has_value();
    return csvRecord({row.file,
                      measured ? QString::number(row.size->width()) : QString(),
                      measured ? QString::number(row.size->height()) : QString(),
                      optionalNumber(row.objectDots),
                      optionalNumber(row.referenceDots),
                      measured ? referenceArea : QString(),
                      row.area,
                      row.error});
}

QString csvTable(const std::vector<PictureRow>& rows, const QString& referenceArea)
{
    QString table = csvHeader();
    for (const PictureRow& row : rows)
        table += csvRow(row, referenceArea);
    return table;
}
