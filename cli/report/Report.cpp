// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/report/Report.h"

#include "cli/analysis/Warnings.h"

#include <QBuffer>
#include <QMap>
#include <QSet>
#include <algorithm>

namespace {

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 50); // stronger compression gains little and takes several times longer
    return bytes;
}

// Keeps the top bits of each channel: the sensor's noise in the low bits is
// what makes a photograph's PNG large, and the hues stay as they were.
QImage fewerLevels(const QImage& image, int bits)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    const int keep = (0xFF << (8 - bits)) & 0xFF;
    const QRgb mask = qRgb(keep, keep, keep);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] &= mask;
    }
    return out;
}

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

// A warning's code, highlighted, with its meaning shown on hovering.
QString badge(const QString& code)
{
    return QStringLiteral("<span class=\"warning\" title=\"%1\">%2</span>")
        .arg(escaped(warningMeaning(code)), escaped(code));
}

QString number(double value) { return QString::number(value, 'f', 2); }

QString counted(int count, const QString& what)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(what, count == 1 ? QString() : QStringLiteral("s"));
}

const char* const style = R"(
body { font-family: sans-serif; margin: 1.5em; color: #222; }
h1 { font-size: 1.4em; }
h2 { font-size: 1.1em; margin: 0 0 0.4em 0; word-break: break-all; }
table { border-collapse: collapse; font-size: 0.85em; }
th, td { border: 1px solid #bbb; padding: 0.15em 0.5em; text-align: left; vertical-align: top; }
th { background: #eee; }
table.summary th { width: 12em; }
td.meaning { color: #555; max-width: 40em; }
section.picture { display: flex; gap: 1.2em; align-items: flex-start; border-top: 1px solid #ccc; padding: 1em 0; }
section.failed { background: #fdecec; }
section.picture > div { min-width: 0; overflow-x: auto; }
img.view { width: 360px; max-width: 100%; cursor: zoom-in; border: 1px solid #999; }
img.view.full { width: auto; max-width: none; cursor: zoom-out; }
tr.warned td { background: #fff4c2; }
tr.failed td { background: #f8c8c8; }
span.warning { background: #f5c400; color: #000; border-radius: 0.3em; padding: 0 0.3em; margin-right: 0.2em; white-space: nowrap; }
p.error { color: #a00000; font-weight: bold; }
p.total { font-weight: bold; }
p.legend { color: #555; }
)";

// Failures first, each group in the given order.
std::vector<const ReportPicture*> failuresFirst(const std::vector<ReportPicture>& pictures)
{
    std::vector<const ReportPicture*> ordered;
    for (const bool failed : {true, false})
        for (const ReportPicture& picture : pictures)
            if (picture.failed() == failed)
                ordered.push_back(&picture);
    return ordered;
}

// The columns a section's table shows: not the file, each section's
// heading, nor one empty in every row, which says nothing.
std::vector<bool> shownColumns(const QStringList& header, const std::vector<ReportPicture>& pictures)
{
    std::vector<bool> shown(std::size_t(header.size()), false);
    for (const ReportPicture& picture : pictures)
        for (const ReportRow& row : picture.rows)
            for (qsizetype i = 0; i < header.size(); ++i)
                if (i < row.cells.size() && !row.cells[i].isEmpty())
                    shown[std::size_t(i)] = true;
    for (qsizetype i = 0; i < header.size(); ++i)
        if (header[i] == u"file")
            shown[std::size_t(i)] = false;
    return shown;
}

// The areas measured: how many, and their sum.
struct AreaSum {
    int objects = 0;
    double total = 0;

    void add(const std::vector<ReportRow>& rows)
    {
        for (const ReportRow& row : rows)
            if (row.error.isEmpty() && !row.area.isEmpty()) {
                ++objects;
                total += row.area.toDouble();
            }
    }
};

QString summaryTable(const std::vector<ReportPicture>& pictures, const QString& run)
{
    AreaSum areas;
    int failed = 0, warned = 0;
    QMap<QString, QPair<int, int>> byCode; // pictures, rows
    for (const ReportPicture& picture : pictures) {
        areas.add(picture.rows);
        failed += picture.failed() ? 1 : 0;
        QSet<QString> codes;
        for (const ReportRow& row : picture.rows)
            for (const QString& code : row.warnings) {
                ++byCode[code].second;
                codes.insert(code);
            }
        for (const QString& code : codes)
            ++byCode[code].first;
        warned += codes.isEmpty() ? 0 : 1;
    }
    QString table = QStringLiteral("<table class=\"summary\" id=\"summary\">\n");
    if (!run.isEmpty())
        table += QStringLiteral("<tr><th>run</th><td colspan=\"2\"><code>%1</code></td></tr>\n").arg(escaped(run));
    table += QStringLiteral("<tr><th>pictures</th><td>%1 (%2 failed, %3 with warnings)</td></tr>\n")
                 .arg(pictures.size())
                 .arg(failed)
                 .arg(warned);
    table += QStringLiteral("<tr><th>objects</th><td>%1</td></tr>\n").arg(areas.objects);
    table += QStringLiteral("<tr><th>total area</th><td>%1</td></tr>\n").arg(number(areas.total));
    table += QStringLiteral("<tr><th>mean area</th><td>%1</td></tr>\n")
                 .arg(areas.objects ? number(areas.total / areas.objects) : QString());
    for (auto code = byCode.cbegin(); code != byCode.cend(); ++code)
        table += QStringLiteral("<tr><th>%1</th><td>%2, %3</td><td class=\"meaning\">%4</td></tr>\n")
                     .arg(badge(code.key()), counted(code.value().first, QStringLiteral("picture")),
                          counted(code.value().second, QStringLiteral("row")), escaped(warningMeaning(code.key())));
    return table + QStringLiteral("</table>\n");
}

QString rowCells(const QStringList& header, const std::vector<bool>& shown, const ReportRow& row)
{
    QString cells;
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (!shown[std::size_t(i)])
            continue;
        if (header[i] == u"warnings") {
            QString badges;
            for (const QString& code : row.warnings)
                badges += badge(code);
            cells += QStringLiteral("<td>%1</td>").arg(badges);
        } else {
            cells += QStringLiteral("<td>%1</td>").arg(i < row.cells.size() ? escaped(row.cells[i]) : QString());
        }
    }
    return cells;
}

QString rowsTable(const QStringList& header, const std::vector<bool>& shown, const std::vector<ReportRow>& rows)
{
    QString table = QStringLiteral("<table class=\"rows\">\n<tr>");
    for (qsizetype i = 0; i < header.size(); ++i)
        if (shown[std::size_t(i)])
            table += QStringLiteral("<th>%1</th>").arg(escaped(header[i]));
    table += QStringLiteral("</tr>\n");
    for (const ReportRow& row : rows) {
        const QString kind = !row.error.isEmpty()     ? QStringLiteral(" class=\"failed\"")
                             : row.warnings.isEmpty() ? QString()
                                                      : QStringLiteral(" class=\"warned\"");
        table += QStringLiteral("<tr%1>%2</tr>\n").arg(kind, rowCells(header, shown, row));
    }
    return table + QStringLiteral("</table>\n");
}

QString pictureSection(const ReportPicture& picture, int index, const QStringList& header,
                       const std::vector<bool>& shown)
{
    QString section = QStringLiteral("<section class=\"picture%1\" id=\"picture-%2\">\n")
                          .arg(picture.failed() ? QStringLiteral(" failed") : QString())
                          .arg(index);
    if (!picture.png.isEmpty())
        section += QStringLiteral("<img class=\"view\" alt=\"%1\" title=\"click: larger\" "
                                  "onclick=\"this.classList.toggle('full')\" src=\"data:image/png;base64,%2\"/>\n")
                       .arg(escaped(picture.file), QString::fromLatin1(picture.png.toBase64()));
    section += QStringLiteral("<div>\n<h2>%1</h2>\n").arg(escaped(picture.file));
    QStringList errors;
    for (const ReportRow& row : picture.rows)
        if (!row.error.isEmpty() && !errors.contains(row.error))
            errors << row.error;
    for (const QString& error : errors)
        section += QStringLiteral("<p class=\"error\">%1</p>\n").arg(escaped(error));
    section += rowsTable(header, shown, picture.rows);
    // A footprint whose toes lie apart from the sole is several objects.
    AreaSum areas;
    areas.add(picture.rows);
    if (areas.objects > 1)
        section += QStringLiteral("<p class=\"total\">total area %1 (%2 objects)</p>\n")
                       .arg(number(areas.total))
                       .arg(areas.objects);
    return section + QStringLiteral("</div>\n</section>\n");
}

} // namespace

bool ReportPicture::failed() const
{
    return rows.empty()
           || std::any_of(rows.begin(), rows.end(), [](const ReportRow& row) { return !row.error.isEmpty(); });
}

QByteArray reportImage(const QImage& marked)
{
    if (marked.isNull())
        return {};
    QImage view = marked.width() > reportImageWidth ? marked.scaledToWidth(reportImageWidth, Qt::SmoothTransformation)
                                                    : marked;
    QByteArray png = pngOf(view);
    for (int bits = 5; png.size() > reportImageBudget && bits >= 4; --bits)
        png = pngOf(fewerLevels(view, bits));
    while (png.size() > reportImageBudget && view.width() > 200) {
        view = view.scaledToWidth(view.width() * 3 / 4, Qt::SmoothTransformation);
        png = pngOf(fewerLevels(view, 4));
    }
    return png;
}

QString reportPage(const QStringList& header, const std::vector<ReportPicture>& pictures, const QString& run)
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                                  "<title>planix-measure report</title>\n<style>%1</style>\n</head>\n<body>\n")
                       .arg(QString::fromLatin1(style));
    page += QStringLiteral("<h1>planix-measure report</h1>\n") + summaryTable(pictures, run);
    if (header.contains(u"object"))
        page += QStringLiteral("<p class=\"legend\">In the views each object's outline and number are drawn in "
                               "magenta, the reference's fitted outline in blue.</p>\n");
    const std::vector<bool> shown = shownColumns(header, pictures);
    int index = 0;
    for (const ReportPicture* picture : failuresFirst(pictures))
        page += pictureSection(*picture, ++index, header, shown);
    return page + QStringLiteral("</body>\n</html>\n");
}
