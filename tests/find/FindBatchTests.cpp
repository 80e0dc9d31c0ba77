// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix-measure --find: its usage errors, a batch with a row per object and
// a row for a picture without a reference, and the program marking a batch on
// several workers.
#include "ShapeScenes.h"

#include "cli/Batch.h"
#include "cli/Csv.h"
#include "cli/MeasureOptions.h"
#include "support/Pictures.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

MeasureOptions parsed(const QStringList& arguments)
{
    return parseMeasureOptions(QStringList{QStringLiteral("planix-measure")} + arguments + QStringList{"a.jpg"});
}

TEST(FindOptions, ShapeRequiredRectanglesRefusedMinAreaChecked)
{
    const MeasureOptions options = parsed({"--find", "--reference-shape", "square", "--min-area", "0.5"});
    EXPECT_TRUE(options.find);
    EXPECT_EQ(options.findSettings.shape, ReferenceShape::Square);
    EXPECT_EQ(options.findSettings.minArea, 0.5);
    EXPECT_EQ(parsed({"--find", "--reference-shape", "disc"}).findSettings.minArea, 0.1);

    for (const QStringList& wrong : {QStringList{"--find"},
                                     {"--find", "--reference-shape", "oval"},
                                     {"--find", "--reference-shape", "disc", "--object", "1,1,5,5"},
                                     {"--find", "--reference-shape", "disc", "--boxes", "b.csv"},
                                     {"--find", "--reference-shape", "disc", "--min-area", "-1"},
                                     {"--find", "--reference-shape", "disc", "--threshold", "30"},
                                     {"--find", "--reference-shape", "disc", "--by", "red"},
                                     {"--find", "--reference-shape", "disc", "--units", "picture"},
                                     {"--object", "1,1,5,5", "--reference-shape", "disc"},
                                     {"--object", "1,1,5,5", "--min-area", "1"}})
        EXPECT_THROW(parsed(wrong), OptionError) << wrong.join(u' ').toStdString();
}

TEST(FindBatch, ARowPerObjectTheMissingReferenceAsTheErrorNoObjectAsAWarning)
{
    const QDir dir(temporaryDirectory());
    const QImage sheet = paperWith(QSize(900, 600), {{disc({700, 150}, 60), QColor(90, 90, 100)},
                                                     {ellipse({250, 200}, 120, 70), QColor(45, 115, 35)},
                                                     {ellipse({300, 480}, 102, 72), QColor(168, 190, 155)},
                                                     {ellipse({300, 480}, 90, 60), QColor(45, 115, 35)}});
    ASSERT_TRUE(sheet.save(dir.filePath("sheet.bmp")));
    ASSERT_TRUE(paperWith(QSize(300, 200), {}).save(dir.filePath("blank.bmp")));
    ASSERT_TRUE(
        paperWith(QSize(600, 400), {{disc({300, 200}, 60), QColor(90, 90, 100)}}).save(dir.filePath("coin.bmp")));

    BatchJob job;
    job.pictures = {dir.filePath("sheet.bmp"), dir.filePath("blank.bmp"), dir.filePath("coin.bmp")};
    job.settings.referenceArea = 3.14L;
    job.find = true;
    job.findSettings.referenceArea = 3.14;
    job.views = true;
    const std::vector<PictureRow> rows = measureBatch(job);
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0].object, 1);
    EXPECT_EQ(rows[1].object, 2);
    EXPECT_NEAR(rows[0].area.toDouble(), 3.14 * 120 * 70 / (60 * 60), 0.02 * 3.14 * 120 * 70 / (60 * 60));
    EXPECT_NEAR(rows[1].box->center().y(), 480, 2);
    EXPECT_TRUE(rows[0].warnings.isEmpty());
    EXPECT_EQ(rows[1].warnings.text(), QStringLiteral("object-faint-beside")); // its pale margin
    EXPECT_FALSE(rows[0].view.isEmpty());
    EXPECT_TRUE(rows[1].view.isEmpty());
    EXPECT_EQ(rows[2].picture, 1);
    EXPECT_EQ(rows[2].error, QStringLiteral("no reference found"));
    EXPECT_FALSE(rows[2].view.isEmpty()); // the report still shows what was searched
    EXPECT_TRUE(rows[3].error.isEmpty());
    EXPECT_FALSE(rows[3].object.has_value());
    EXPECT_EQ(rows[3].warnings.text(), QStringLiteral("no-object"));

    const QString table = csvTable(rows, true);
    EXPECT_TRUE(table.startsWith(QStringLiteral("file,width,height,object_dots,reference_dots,reference_area,area,"
                                                "error,warnings,levels,object_by,reference_by,threshold,"
                                                "full_resolution,object,box\r\n")));
    // The second oval's box, within a pixel of its outline.
    EXPECT_TRUE(table.contains(QRegularExpression(QStringLiteral(",find,,,,no,2,\"(209|210|211),(419|420|421),"
                                                                 "(389|390|391),(539|540|541)\"\r\n"))))
        << table.toStdString();
}

TEST(FindBatch, ABatchMarkedOnSeveralWorkersEndsCleanly)
{
    // These two once made the program abort on leaving: both workers
    // encoded their first marked picture at once.
    const QDir dir(temporaryDirectory());
    QProcess program;
    program.start(QStringLiteral(PLANIX_MEASURE_PROGRAM),
                  {"--find", "--reference-shape", "disc", "--marked", dir.path(),
                   testDataPath(QStringLiteral("sheets/leaves-blade-coin.jpg")),
                   testDataPath(QStringLiteral("sheets/three-leaves-coin.jpg"))});
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 3) << program.readAllStandardError().toStdString(); // the blade is thin
    EXPECT_EQ(QImage(dir.filePath("three-leaves-coin.jpg.bmp")).size(), QSize(1024, 768));
}

} // namespace
