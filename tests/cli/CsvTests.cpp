// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The CSV the batch writes: quoting by RFC 4180, empty fields where there is
// nothing to say, the error column.
#include "cli/Csv.h"

#include <gtest/gtest.h>

namespace {

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(csvField(QStringLiteral("leaf.jpg")), QStringLiteral("leaf.jpg"));
    EXPECT_EQ(csvField(QStringLiteral("with space; semicolon.jpg")), QStringLiteral("with space; semicolon.jpg"));
    EXPECT_EQ(csvField(QStringLiteral("a,b.jpg")), QStringLiteral("\"a,b.jpg\""));
    EXPECT_EQ(csvField(QStringLiteral("say \"cheese\".bmp")), QStringLiteral("\"say \"\"cheese\"\".bmp\""));
    EXPECT_EQ(csvField(QStringLiteral("\"")), QStringLiteral("\"\"\"\""));
    EXPECT_EQ(csvField(QStringLiteral("two\nlines.bmp")), QStringLiteral("\"two\nlines.bmp\""));
    EXPECT_EQ(csvField(QStringLiteral("cr\r.bmp")), QStringLiteral("\"cr\r.bmp\""));
    EXPECT_EQ(csvField(QStringLiteral("写真,葉.jpg")), QStringLiteral("\"写真,葉.jpg\""));
    EXPECT_EQ(csvField(QString()), QString());
}

TEST(Csv, HeaderAndRows)
{
    EXPECT_EQ(csvHeader(), QStringLiteral("file,width,height,object_dots,reference_dots,reference_area,area,error,"
                                          "warnings,levels,object_by,reference_by,threshold,full_resolution\r\n"));

    PictureRow measured;
    measured.file = QStringLiteral("photos/a,\"b\".jpg");
    measured.size = QSize(1024, 683);
    measured.objectDots = 48213;
    measured.referenceDots = 5120;
    measured.area = QStringLiteral("29.57");
    measured.settings.referenceArea = 3.14L;
    measured.settings.reference = SelectionRect{0, 0, 5, 5};
    measured.settings.referenceRule = CountRule::Green;
    measured.warnings.add(Warning::ReferenceSmall);
    measured.warnings.add(Warning::NoDots);
    EXPECT_EQ(csvRow(measured), QStringLiteral("\"photos/a,\"\"b\"\".jpg\",1024,683,48213,5120,3.14,29.57,,"
                                               "no-dots;reference-small,window,brightness,green,50,no\r\n"));

    PictureRow noReference;
    noReference.file = QStringLiteral("b.bmp");
    noReference.size = QSize(800, 0);
    noReference.objectDots = 0;
    noReference.settings.referenceArea = 2.5L;
    noReference.settings.levels = LevelRule::Robust;
    noReference.settings.autoThreshold = true;
    noReference.settings.fullResolution = true;
    noReference.settings.rule = CountRule::Red;
    EXPECT_EQ(csvRow(noReference), QStringLiteral("b.bmp,800,0,0,,2.5,,,,robust,red,,auto,yes\r\n"));

    PictureRow failed;
    failed.file = QStringLiteral("c.jpg");
    failed.error = QStringLiteral("ファイル c.jpg は開けません");
    EXPECT_EQ(csvRow(failed), QStringLiteral("c.jpg,,,,,,,ファイル c.jpg は開けません,,,,,,\r\n"));

    EXPECT_EQ(csvTable({noReference, failed}), csvHeader() + csvRow(noReference) + csvRow(failed));
}

} // namespace
