// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The batch report read back as a parser reads it: failures first, the
// summary's figures, warnings marked, and every embedded view a picture that
// decodes and is no wider than allowed.
#include "ShapeScenes.h"

#include "cli/report/Report.h"
#include "support/Pictures.h"

#include <QMap>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

const QStringList header = {"file", "area", "error", "warnings", "object"};

ReportRow row(const QString& file, const QString& area, const QString& object, const QStringList& warnings = {},
              const QString& error = {})
{
    return {{file, area, error, warnings.join(u';'), object}, area, warnings, error};
}

struct ParsedPage {
    QStringList sectionClasses;
    QStringList headings;
    QList<QImage> views;
    QMap<QString, QString> summary;  // th text -> td text
    QMap<QString, QString> meanings; // a warning's code -> its meaning in the summary
    int warningBadges = 0;
    QStringList badgeTitles; // the rows' badges', shown on hovering
};

ParsedPage parsed(const QString& page)
{
    ParsedPage out;
    QXmlStreamReader xml(page);
    bool inSummary = false;
    QString key;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (xml.name() == u"section")
                out.sectionClasses << attributes.value(QStringLiteral("class")).toString();
            else if (xml.name() == u"table")
                inSummary = attributes.value(QStringLiteral("id")) == u"summary";
            else if (xml.name() == u"h2")
                out.headings << xml.readElementText();
            else if (xml.name() == u"img") {
                const QString source = attributes.value(QStringLiteral("src")).toString();
                const QString prefix = QStringLiteral("data:image/png;base64,");
                out.views << (source.startsWith(prefix) ? QImage::fromData(
                                  QByteArray::fromBase64(source.mid(prefix.size()).toLatin1()), "PNG")
                                                        : QImage());
            } else if (xml.name() == u"span" && attributes.value(QStringLiteral("class")) == u"warning") {
                ++out.warningBadges;
                if (inSummary)
                    key = xml.readElementText();
                else
                    out.badgeTitles << attributes.value(QStringLiteral("title")).toString();
            } else if (inSummary && xml.name() == u"th") {
                key = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (inSummary && xml.name() == u"td") {
                const bool meaning = attributes.value(QStringLiteral("class")) == u"meaning";
                (meaning ? out.meanings
                         : out.summary)[key] = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return out;
}

TEST(Report, FailuresFirstASummaryAndEveryViewDecodes)
{
    const QImage sheet = paperWith(QSize(3000, 2000), {{disc({1500, 1000}, 300), QColor(90, 90, 100)}}, 0.2, 3);
    std::vector<ReportPicture> pictures(3);
    pictures[0] = {QStringLiteral("a.jpg"),
                   reportImage(sheet),
                   {row("a.jpg", "12.50", "1"), row("a.jpg", "7.50", "2", {"object-touches-picture-edge"})}};
    pictures[1] = {QStringLiteral("b <&>.jpg"),
                   reportImage(paperWith(QSize(400, 300), {})),
                   {row("b <&>.jpg", "", "", {}, "no reference found")}};
    pictures[2] = {QStringLiteral("c.jpg"),
                   reportImage(sheet),
                   {row("c.jpg", "5.00", "1", {"reference-ambiguous", "object-touches-picture-edge"})}};

    const QString page = reportPage(header, pictures, QStringLiteral("planix-measure 2.0.0.0: --find (3 pictures)"));
    EXPECT_FALSE(page.contains(QStringLiteral("http")));

    const ParsedPage read = parsed(page);
    EXPECT_EQ(read.sectionClasses, (QStringList{"picture failed", "picture", "picture"}));
    EXPECT_EQ(read.headings, (QStringList{"b <&>.jpg", "a.jpg", "c.jpg"}));
    ASSERT_EQ(read.views.size(), 3);
    for (const QImage& view : read.views) {
        ASSERT_FALSE(view.isNull());
        EXPECT_LE(view.width(), reportImageWidth);
    }
    EXPECT_EQ(read.views[1].width(), reportImageWidth);
    EXPECT_EQ(read.views[0].width(), 400);

    EXPECT_EQ(read.summary.value("run"), QStringLiteral("planix-measure 2.0.0.0: --find (3 pictures)"));
    EXPECT_EQ(read.summary.value("pictures"), QStringLiteral("3 (1 failed, 2 with warnings)"));
    // The only picture of several objects shows their total.
    EXPECT_EQ(page.count(QStringLiteral("<p class=\"total\">")), 1);
    EXPECT_TRUE(page.contains(QStringLiteral("<p class=\"total\">total area 20.00 (2 objects)</p>")));
    EXPECT_EQ(read.summary.value("objects"), QStringLiteral("3"));
    EXPECT_EQ(read.summary.value("total area"), QStringLiteral("25.00"));
    EXPECT_EQ(read.summary.value("mean area"), QStringLiteral("8.33"));
    EXPECT_EQ(read.summary.value("object-touches-picture-edge"), QStringLiteral("2 pictures, 2 rows"));
    EXPECT_EQ(read.summary.value("reference-ambiguous"), QStringLiteral("1 picture, 1 row"));
    EXPECT_EQ(read.warningBadges, 3); // the rows' (the summary's are read as its keys)
    // Each code says what it means, in the summary and on the rows' badges.
    EXPECT_TRUE(read.meanings.value("reference-ambiguous").startsWith("a second shape fitted the reference's shape"));
    EXPECT_TRUE(read.meanings.value("object-touches-picture-edge").startsWith("the object reaches the picture's edge"));
    ASSERT_EQ(read.badgeTitles.size(), 3);
    EXPECT_EQ(read.badgeTitles[1], read.meanings.value("reference-ambiguous"));
}

TEST(Report, ANoisyViewIsCoarsenedToStayWithinItsBudget)
{
    const QImage noisy = paperWith(QSize(1600, 1200), {}, 0.25, 40);
    const QByteArray png = reportImage(noisy);
    EXPECT_LE(png.size(), reportImageBudget);
    EXPECT_FALSE(QImage::fromData(png, "PNG").isNull());
}

} // namespace
