// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The built planix-measure run as a process: its CSV carries the window's
// numbers, its exit status tells success, failed pictures and malformed
// command lines apart, and it needs no display.
#include "Scenes.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include "cli/Batch.h"
#include "cli/Csv.h"
#include "calc/DecimalText.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs the program with no display at all.
ProcessRun runMeasure(const QStringList& arguments, const QString& workingDirectory = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(PLANIX_MEASURE_PROGRAM), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class MeasureProcess : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        dir = temporaryDirectory();
    }

    // The window's CSV row for file: open, drag around the leaf and count
    // into the first field, around the coin into the third, "＝".
    QString windowRow(const QString& file, const QString& shownName)
    {
        dialog().answer = file;
        form().Action1->trigger();
        form().N401->trigger();
        form().Edit2->setFocus();
        drag(40, 60, 300, 420);
        openRunMenu();
        form().akarusa->trigger();
        form().Edit4->setFocus();
        drag(440, 100, 560, 260);
        openRunMenu();
        form().akarusa->trigger();
        form().Button1->click();
        const QSize size = form().Image2->picture().bitmap()->image().size();
        return csvRecord(QStringList{shownName, QString::number(size.width()), QString::number(size.height()),
                                     form().Edit2->text(), form().Edit4->text(), QStringLiteral("3.14"),
                                     form().Edit5->text().replace(decimalSeparator(), u'.'), QString()});
    }

    QString dir;
};

TEST_F(MeasureProcess, TheWindowsNumbersInTheGivenOrder)
{
    const QStringList names = {QStringLiteral("leaf, \"big\".bmp"), QStringLiteral("leaf.jpg"),
                               QStringLiteral("small.bmp")};
    savedScene(dir, names[0], QSize(1400, 1000));
    savedScene(dir, names[1], QSize(900, 700), "JPG", 2);
    savedScene(dir, names[2], QSize(620, 480), "BMP", 3);
    QStringList expected;
    for (const QString& name : names)
        expected << windowRow(QDir(dir).filePath(name), name).chopped(2);
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    const ProcessRun run = runMeasure({"--object", "40,60,300,420", "--reference", "440,100,560,260", "--threshold",
                                       "40", names[0], names[1], names[2]},
                                      dir);
    // The window's columns as the window shows them; then the warnings (the
    // rectangles miss the coin on these sizes) and how each was measured.
    const QStringList rows = run.output.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 4) << run.output.toStdString();
    EXPECT_EQ(rows[0] + "\r\n", csvHeader());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(rows[i + 1].startsWith(expected[i] + u',')) << rows[i + 1].toStdString();
        EXPECT_TRUE(rows[i + 1].endsWith(",window,brightness,brightness,40,no")) << rows[i + 1].toStdString();
    }
    EXPECT_TRUE(rows[1].startsWith("\"leaf, \"\"big\"\".bmp\",1024,731,"));
    EXPECT_EQ(run.exitCode, 3) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("planix-measure: 3 of 3 pictures carry warnings:\n"));
}

TEST(MeasureProgram, ABadPictureFailsItsRowAndTheExitStatus)
{
    const QString dir = temporaryDirectory();
    const QStringList pictures = {savedScene(dir, QStringLiteral("a.bmp"), QSize(640, 480)),
                                  savedFile(dir, QStringLiteral("b.jpg"), "no JPEG here"),
                                  savedScene(dir, QStringLiteral("c.bmp"), QSize(640, 480), "BMP", 2)};
    const QString csv = QDir(dir).filePath(QStringLiteral("out.csv"));
    const QString marked = QDir(dir).filePath(QStringLiteral("marked"));
    const QStringList options = {"--object", "40,60,300,420", "--by", "green", "--csv", csv, "--marked", marked};
    const ProcessRun run = runMeasure(options + pictures);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_TRUE(run.errors.contains(pictures[1])) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("planix-measure: 1 of 3 pictures failed")) << run.errors.toStdString();

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const MeasureSettings settings = settingsFor({40, 60, 300, 420}, std::nullopt, CountRule::Green);
    const std::vector<PictureRow> rows = measureBatch({pictures, settings, QString(), 1, {}});
    EXPECT_EQ(QString::fromUtf8(file.readAll()), csvTable(rows));
    EXPECT_FALSE(rows[1].error.isEmpty());
    EXPECT_EQ(QDir(marked).entryList(QDir::Files), QStringList({"a.bmp.bmp", "c.bmp.bmp"}));
}

TEST(MeasureProgram, MalformedCommandLinesExitWith2AndAShortUsage)
{
    const QList<QStringList> malformed = {
        {},
        {"--object", "1,2,3,4"},
        {"--object", "1,2,3", "a.jpg"},
        {"--object", "0,0,4,4", "--threshold", "45", "a.jpg"},
        {"--object", "0,0,4,4", "--by", "yellow", "a.jpg"},
        {"--object", "0,0,4,4", "--reference-area", "pi", "a.jpg"},
        {"--object", "0,0,4,4", "--reference-area", "0", "a.jpg"},
        {"--boxes", "no such boxes.csv"},
        {"--boxes", "/dev/zero"}, // read no further than a list of rectangles can be long
        {"--frobnicate", "a.jpg"},
    };
    for (const QStringList& arguments : malformed) {
        const ProcessRun run = runMeasure(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.output.isEmpty());
        EXPECT_TRUE(run.errors.startsWith(QStringLiteral("planix-measure: "))) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("Usage: planix-measure")));
        EXPECT_LE(run.errors.count(u'\n'), 3) << "short";
    }
}

TEST(MeasureProgram, EachBoxesRowItsOwnRectanglesABadRowItsOwnError)
{
    const QString dir = temporaryDirectory();
    savedScene(dir, QStringLiteral("a.bmp"), QSize(640, 480));
    savedScene(dir, QStringLiteral("b.bmp"), QSize(640, 480), "BMP", 2);
    // The leaf's ellipse lies around (192, 216); the coin's around (480, 192).
    const QString boxes = savedFile(dir, QStringLiteral("boxes.csv"),
                                    "file,object,reference,reference_area\n"
                                    "a.bmp,\"70,70,320,360\",,2\n"
                                    "b.bmp,\"1,2,3\",,\n"
                                    "b.bmp,,,\n");
    const ProcessRun run = runMeasure(
        {"--boxes", boxes, "--object", "70,70,320,360", "--reference", "430,140,530,245", "--levels", "robust"});
    // Robust levels count the leaf's pixels exactly: its darkest paper and
    // lightest leaf pixel lie far on either side of half way.
    int leaf = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const double dx = (x - 0.3 * 640) / (0.18 * 640), dy = (y - 0.45 * 480) / (0.28 * 480);
            leaf += dx * dx + dy * dy <= 1 ? 1 : 0;
        }
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    const QStringList rows = run.output.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 4) << run.output.toStdString();
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("a.bmp,640,480,%1,").arg(leaf))) << rows[1].toStdString();
    EXPECT_EQ(rows[1].split(u',')[5], "2") << "its own reference area";
    EXPECT_EQ(rows[2], "b.bmp,,,,,,,\"--boxes line 3: object '1,2,3' is not L,T,R,B\",,,,,,");
    EXPECT_TRUE(rows[3].startsWith(QStringLiteral("b.bmp,640,480,%1,").arg(leaf))) << "the options' rectangles";
    EXPECT_TRUE(rows[3].endsWith(",robust,brightness,brightness,50,no")) << rows[3].toStdString();

    const ProcessRun sizes = runMeasure({"--sizes", QDir(dir).filePath("a.bmp"), QDir(dir).filePath("boxes.csv")});
    EXPECT_EQ(sizes.exitCode, 1);
    EXPECT_TRUE(sizes.output.startsWith("file,width,height,working_width,working_height,error\r\n"
                                        + QDir(dir).filePath("a.bmp") + ",640,480,640,480,\r\n"))
        << sizes.output.toStdString();
}

// Runs the program under `ulimit -v` (in kilobytes); its standard output.
QString outputUnderMemoryLimit(int kilobytes, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"), QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(kilobytes),
                              QStringLiteral(PLANIX_MEASURE_PROGRAM)}
                      + arguments);
    if (!process.waitForFinished(120000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(MeasureProgram, UnderAMemoryLimitAPictureTooLargeForItOrAFileThatIsNoJpegFailsItsRowAtOnce)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer maps more address space than the limit leaves";
#endif
    const QString dir = temporaryDirectory();
    const QString claims = savedClaimingSize(dir, QStringLiteral("claims.jpg"), 20000);
    const QString found = outputUnderMemoryLimit(3000000,
                                                 {QStringLiteral("--find"), QStringLiteral("--reference-shape"),
                                                  QStringLiteral("disc"), QStringLiteral("--full-resolution"), claims});
    EXPECT_TRUE(found.contains(QStringLiteral("20000 x 20000 pixels take about 3.7 GB, more than half of the 2.9 GB "
                                              "this program may use")))
        << found.toStdString();
    // A film named .jpg, larger than the memory allowed (holes, taking no disk).
    QFile film(QDir(dir).filePath(QStringLiteral("film.jpg")));
    ASSERT_TRUE(film.open(QIODevice::WriteOnly) && film.write("RIFF") == 4 && film.resize(qint64(4) << 30));
    film.close();
    const QString sizes = outputUnderMemoryLimit(3000000, {QStringLiteral("--sizes"), film.fileName()});
    EXPECT_TRUE(sizes.contains(QStringLiteral("film.jpg,,,,,JPEG エラー #53"))) << sizes.toStdString();
}

TEST(MeasureProgram, HelpAndVersion)
{
    const ProcessRun help = runMeasure({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--object", "--reference", "--reference-area", "--by", "--threshold", "--marked", "--csv", "--levels",
          "--object-by", "--reference-by", "--colour-margin", "--full-resolution", "--units", "--boxes", "--sizes",
          "centre-on-background", "object-touches-edge", "reference-small", "Exit status"})
        EXPECT_TRUE(help.output.contains(QLatin1String(option))) << option;
    const ProcessRun version = runMeasure({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, QStringLiteral("planix-measure " PLANIX_PRODUCT_VERSION "\n"));
}

} // namespace
