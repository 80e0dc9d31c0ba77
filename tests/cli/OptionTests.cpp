// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix-measure's command line: every option read, the defaults, and each
// kind of malformed command line refused.
#include "Scenes.h"

#include "calc/DecimalText.h"
#include "cli/MeasureOptions.h"

#include <gtest/gtest.h>

namespace {

MeasureOptions parsed(QStringList arguments)
{
    arguments.prepend(QStringLiteral("planix-measure"));
    return parseMeasureOptions(arguments);
}

bool sameRect(const SelectionRect& a, const SelectionRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MeasureOptions, EveryOption)
{
    const MeasureOptions options = parsed({"--object", "10,20,300,400", "--reference=-5,0,2147483647,7",
                                           "--reference-area", "1.5e1", "--by", "red", "--threshold", "70", "--marked",
                                           "out/marked", "--csv", "areas.csv", "a.jpg", "b,c.bmp"});
    EXPECT_TRUE(sameRect(options.settings.object, {10, 20, 300, 400}));
    ASSERT_TRUE(options.settings.reference);
    EXPECT_TRUE(sameRect(*options.settings.reference, {-5, 0, 2147483647, 7}));
    EXPECT_EQ(options.settings.referenceArea, 15);
    EXPECT_EQ(options.settings.rule, CountRule::Red);
    EXPECT_EQ(options.settings.thresholdTenths, 7);
    EXPECT_EQ(options.markedFolder, QStringLiteral("out/marked"));
    EXPECT_EQ(options.csvFile, QStringLiteral("areas.csv"));
    EXPECT_EQ(options.pictures, QStringList({"a.jpg", "b,c.bmp"}));
}

TEST(MeasureOptions, Defaults)
{
    const MeasureOptions options = parsed({"--object", "0,0,0,0", "a.jpg"});
    EXPECT_FALSE(options.settings.reference);
    EXPECT_EQ(options.settings.referenceArea, textToNumber(QStringLiteral("3.14"))) << "the calculator's field";
    EXPECT_EQ(options.settings.rule, CountRule::Brightness);
    EXPECT_EQ(options.settings.thresholdTenths, 5);
    EXPECT_TRUE(options.markedFolder.isEmpty());
    EXPECT_TRUE(options.csvFile.isEmpty());
    for (const char* rule : {"brightness", "blue", "green"})
        EXPECT_NO_THROW(parsed({"--by", rule, "--object", "0,0,1,1", "a.jpg"}));
    for (int percent = 10; percent <= 90; percent += 10)
        EXPECT_EQ(
            parsed({"--threshold", QString::number(percent), "--object", "0,0,1,1", "a.jpg"}).settings.thresholdTenths,
            percent / 10);
}

TEST(MeasureOptions, ModesRulesAndBoxes)
{
    const MeasureOptions options = parsed({"--levels", "robust", "--threshold", "auto", "--by", "blue",
                                           "--reference-by", "brightness", "--colour-margin", "12", "--full-resolution",
                                           "--units", "picture", "--boxes", "b.csv"});
    const MeasureSettings& s = options.settings;
    EXPECT_EQ(s.levels, LevelRule::Robust);
    EXPECT_TRUE(s.autoThreshold);
    EXPECT_EQ(s.rule, CountRule::Blue);
    EXPECT_EQ(s.referenceRule, CountRule::Brightness);
    EXPECT_EQ(s.colourMargin, 12);
    EXPECT_TRUE(s.fullResolution);
    EXPECT_TRUE(s.pictureUnits);
    EXPECT_EQ(options.boxesFile, "b.csv");
    EXPECT_FALSE(options.objectGiven);
    EXPECT_TRUE(options.pictures.isEmpty());

    const MeasureSettings defaults = parsed({"--object", "0,0,1,1", "a.jpg"}).settings;
    EXPECT_EQ(defaults.levels, LevelRule::Window);
    EXPECT_FALSE(defaults.autoThreshold || defaults.fullResolution || defaults.pictureUnits);
    EXPECT_EQ(defaults.colourMargin, 0);
    EXPECT_EQ(parsed({"--object-by", "green", "--by", "red", "--object", "0,0,1,1", "a.jpg"}).settings.rule,
              CountRule::Green); // the rectangle's own rule wins over --by
    EXPECT_TRUE(parsed({"--sizes", "a.jpg"}).sizes);
    EXPECT_TRUE(parsed({"--object", "0,0,1,1", "--csv", "-", "a.jpg"}).csvFile.isEmpty()); // standard output
}

TEST(MeasureOptions, HelpAndVersionNeedNothingElse)
{
    EXPECT_TRUE(parsed({"--help"}).help);
    EXPECT_TRUE(parsed({"-h"}).help);
    EXPECT_TRUE(parsed({"--version"}).version);
    EXPECT_TRUE(measureVersion().startsWith(QStringLiteral("planix-measure " PLANIX_PRODUCT_VERSION)));
    EXPECT_TRUE(measureUsage(QStringLiteral("no pictures given"))
                    .startsWith(QStringLiteral("planix-measure: no pictures given\n")));
}

TEST(MeasureOptions, MalformedCommandLinesAreRefused)
{
    const QList<QStringList> malformed = {
        {"a.jpg"},                      // no --object
        {"--object", "1,2,3,4"},        // no pictures
        {"--object", "1,2,3", "a.jpg"}, // three numbers
        {"--object", "1,2,3,4,5", "a.jpg"},
        {"--object", "1,2,x,4", "a.jpg"},
        {"--object", "1.5,2,3,4", "a.jpg"},
        {"--object", "0,0,2147483648,4", "a.jpg"}, // beyond 32 bits
        {"--object", "5,0,4,4", "a.jpg"},          // right left of left
        {"--object", "0,5,4,4", "a.jpg"},
        {"--object", "0,0,4,4", "--reference", "", "a.jpg"},
        {"--object", "0,0,4,4", "--reference-area", "3,14", "a.jpg"},
        {"--object", "0,0,4,4", "--reference-area", "1e5000", "a.jpg"},
        {"--object", "0,0,4,4", "--by", "purple", "a.jpg"},
        {"--object", "0,0,4,4", "--by", "Blue", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "55", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "0", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "100", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "50%", "a.jpg"},
        {"--object", "0,0,4,4", "--jobs", "4", "a.jpg"}, // unknown option
        {"--object", "0,0,4,4", "a.jpg", "--csv"},       // missing value
        {"--object", "0,0,4,4", "--reference-area", "0", "a.jpg"},
        {"--object", "0,0,4,4", "--reference-area", "-3.14", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "auto", "a.jpg"}, // auto needs robust levels
        {"--object", "0,0,4,4", "--levels", "smart", "a.jpg"},
        {"--object", "0,0,4,4", "--units", "mm", "a.jpg"},
        {"--object", "0,0,4,4", "--colour-margin", "255", "a.jpg"},
        {"--object", "0,0,4,4", "--object-by", "grey", "a.jpg"},
        {"--boxes", "b.csv", "a.jpg"},               // no --object for a.jpg
        {"--sizes", "--report", "r.html", "a.jpg"},  // nothing to report
        {"--sizes", "--object", "0,0,4,4", "a.jpg"}, // nothing to measure
        {"--object", "0,0,4,4", "--report", "", "a.jpg"},
        {"--object", "0,0,4,4", "--csv", "", "a.jpg"},
        {"--object", "0,0,4,4", "--report", "--csv", "out.csv", "a.jpg"}, // the report's name forgotten
        {"--object", "0,0,4,4", "--marked", "-csv", "a.jpg"},
    };
    for (const QStringList& arguments : malformed)
        EXPECT_THROW(parsed(arguments), OptionError) << arguments.join(u' ').toStdString();
}

} // namespace
