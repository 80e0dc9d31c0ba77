// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/BoxesFile.h"

#include "calc/DecimalText.h"
#include "base/PlanixError.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace {

struct Record {
    int line = 0;
    QStringList fields;
};

// Splits CSV text into records; quoted fields may hold commas, quotes
// (doubled) and line breaks.
std::vector<Record> csvRecords(const QString& text)
{
    std::vector<Record> records;
    Record record{1, {}};
    QString field;
    bool quoted = false, fieldStarted = false;
    int line = 1;
    const auto endField = [&] {
        record.fields << field;
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        const bool blank = record.fields.size() == 1 && record.fields.front().isEmpty();
        if (!blank)
            records.push_back(record);
        record = Record{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty() || fieldStarted)
        endRecord();
    return records;
}

std::optional<std::int32_t> coordinate(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<SelectionRect> parseRectangle(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    std::int32_t values[4];
    for (int i = 0; i < 4; ++i) {
        const std::optional<std::int32_t> value = coordinate(parts[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    const SelectionRect rect{values[0], values[1], values[2], values[3]};
    if (rect.right < rect.left || rect.bottom < rect.top)
        return std::nullopt;
    return rect;
}

std::optional<long double> parseReferenceArea(const QString& text)
{
    // planix-measure keeps "." as the decimal separator.
    const std::optional<long double> area = parseNumber(text);
    if (!area || !std::isfinite(*area) || !(*area > 0))
        return std::nullopt;
    return area;
}

std::vector<BoxRow> parseBoxes(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::vector<Record> records = csvRecords(text);

    const QStringList header = records.empty() ? QStringList() : records.front().fields;
    const QStringList expected = {QStringLiteral("file"), QStringLiteral("object"), QStringLiteral("reference"),
                                  QStringLiteral("reference_area")};
    QStringList trimmedHeader;
    for (const QString& name : header)
        trimmedHeader << name.trimmed();
    if (trimmedHeader != expected && trimmedHeader != expected.mid(0, 3))
        throw PlanixError(QStringLiteral("the first line must be file,object,reference,reference_area"));
    const qsizetype columns = header.size();

    std::vector<BoxRow> rows;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const Record& record = records[i];
        BoxRow row;
        row.line = record.line;
        row.file = record.fields.value(0);
        const auto fail = [&](const QString& problem) {
            if (row.error.isEmpty())
                row.error = QStringLiteral("--boxes line %1: %2").arg(row.line).arg(problem);
        };
        if (record.fields.size() != columns)
            fail(QStringLiteral("%1 fields instead of %2").arg(record.fields.size()).arg(columns));
        if (row.file.isEmpty())
            fail(QStringLiteral("no file"));
        const QString object = record.fields.value(1).trimmed();
        const QString reference = record.fields.value(2).trimmed();
        const QString area = record.fields.value(3).trimmed();
        if (!object.isEmpty() && !(row.object = parseRectangle(object)))
            fail(QStringLiteral("object '%1' is not L,T,R,B").arg(object));
        if (!reference.isEmpty() && !(row.reference = parseRectangle(reference)))
            fail(QStringLiteral("reference '%1' is not L,T,R,B").arg(reference));
        if (!area.isEmpty() && !(row.referenceArea = parseReferenceArea(area)))
            fail(QStringLiteral("reference_area '%1' is not a number above zero").arg(area));
        rows.push_back(row);
    }
    return rows;
}
