// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/Batch.h"
#include "cli/BoxesFile.h"
#include "base/PlanixError.h"

#include <gtest/gtest.h>

TEST(BoxesFile, RowsWithTheirRectanglesAndDefaults)
{
    const QByteArray text = "\xEF\xBB\xBF"
                            "file,object,reference,reference_area\r\n"
                            "leaf.jpg,\"1,2,30,40\",\" 50, 60 ,70,80\",3.5\r\n"
                            "\r\n"
                            "\"a,b \"\"c\"\".bmp\",,,\n"
                            "grass.jpg,\"0,0,10,10\",,\n";
    const std::vector<BoxRow> rows = parseBoxes(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].file, "leaf.jpg");
    EXPECT_EQ(rows[0].line, 2);
    ASSERT_TRUE(rows[0].object && rows[0].reference && rows[0].referenceArea);
    EXPECT_EQ(rows[0].object->bottom, 40);
    EXPECT_EQ(rows[0].reference->left, 50);
    EXPECT_EQ(rows[0].reference->top, 60);
    EXPECT_EQ(*rows[0].referenceArea, 3.5L);
    EXPECT_TRUE(rows[0].error.isEmpty());
    EXPECT_EQ(rows[1].file, "a,b \"c\".bmp");
    EXPECT_EQ(rows[1].line, 4);
    EXPECT_FALSE(rows[1].object || rows[1].reference || rows[1].referenceArea);
    EXPECT_TRUE(rows[1].error.isEmpty());
    EXPECT_EQ(rows[2].object->right, 10);

    // reference_area may be left out of the header.
    EXPECT_EQ(parseBoxes("file,object,reference\nx.jpg,\"0,0,1,1\",\n").size(), 1u);
}

TEST(BoxesFile, EachBadRowCarriesItsOwnError)
{
    const std::vector<BoxRow> rows = parseBoxes("file,object,reference,reference_area\n"
                                                "a.jpg,\"1,2,3\",,\n"
                                                "b.jpg,\"5,0,1,1\",,\n"
                                                "c.jpg,,\"0,0,9,x\",\n"
                                                "d.jpg,,,0\n"
                                                "e.jpg,,,-3.14\n"
                                                "f.jpg,,\n"
                                                ",\"0,0,1,1\",,\n"
                                                "g.jpg,\"0,0,1,1\",,2\n");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].error, "--boxes line 2: object '1,2,3' is not L,T,R,B");
    EXPECT_EQ(rows[1].error, "--boxes line 3: object '5,0,1,1' is not L,T,R,B");
    EXPECT_EQ(rows[2].error, "--boxes line 4: reference '0,0,9,x' is not L,T,R,B");
    EXPECT_EQ(rows[3].error, "--boxes line 5: reference_area '0' is not a number above zero");
    EXPECT_EQ(rows[4].error, "--boxes line 6: reference_area '-3.14' is not a number above zero");
    EXPECT_EQ(rows[5].error, "--boxes line 7: 3 fields instead of 4");
    EXPECT_EQ(rows[6].error, "--boxes line 8: no file");
    EXPECT_TRUE(rows[7].error.isEmpty());

    EXPECT_THROW(parseBoxes("name,object\nx.jpg,\"0,0,1,1\"\n"), PlanixError);
    EXPECT_THROW(parseBoxes(""), PlanixError);
}

TEST(BoxesFile, ReferenceAreaMustBeFiniteAndAboveZero)
{
    EXPECT_EQ(parseReferenceArea("3.14"), 3.14L);
    for (const char* bad : {"0", "-1", "1e5000", "abc", "", "0.0"})
        EXPECT_FALSE(parseReferenceArea(QString::fromLatin1(bad))) << bad;
}

TEST(BoxesFile, TasksTakeTheOptionsWhereARowIsSilent)
{
    MeasureSettings defaults;
    defaults.object = {1, 1, 5, 5};
    defaults.referenceArea = 3.14L;
    const std::vector<BoxRow> rows = parseBoxes("file,object,reference,reference_area\n"
                                                "a.jpg,\"0,0,9,9\",\"10,10,20,20\",1\n"
                                                "/abs/b.jpg,,,\n"
                                                "c.jpg,x,,\n");
    const std::vector<PictureTask> tasks = boxTasks(rows, defaults, true, "/photos");
    ASSERT_EQ(tasks.size(), 3u);
    EXPECT_EQ(tasks[0].path, "/photos/a.jpg");
    EXPECT_EQ(tasks[0].settings.object.right, 9);
    EXPECT_EQ(tasks[0].settings.reference->left, 10);
    EXPECT_EQ(tasks[0].settings.referenceArea, 1.0L);
    EXPECT_EQ(tasks[1].path, "/abs/b.jpg");
    EXPECT_EQ(tasks[1].settings.object.right, 5);
    EXPECT_FALSE(tasks[1].settings.reference);
    EXPECT_EQ(tasks[1].settings.referenceArea, 3.14L);
    EXPECT_TRUE(tasks[1].error.isEmpty());
    EXPECT_EQ(tasks[2].error, "--boxes line 4: object 'x' is not L,T,R,B");

    EXPECT_EQ(boxTasks(rows, defaults, false, "/photos")[1].error,
              "--boxes line 3: no object rectangle, and no --object");
}
