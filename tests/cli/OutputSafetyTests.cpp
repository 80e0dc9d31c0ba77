// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix-measure's outputs under faults: a file size limit (as a full disk
// behaves), /dev/full, an interruption, outputs named like inputs, and file
// names that are not UTF-8. Nothing written before may be lost, nothing may
// be left half-written, and the exit status must tell.
#include "Scenes.h"
#include "support/Pictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct MeasureRun {
    int exitCode = -1;
    QByteArray output;
    QString errors;
};

// Runs planix-measure with its file size limited to fileLimit bytes (0: no
// limit) and its standard output sent to outputFile (empty: captured).
MeasureRun runLimited(const QStringList& arguments, rlim_t fileLimit = 0, const QString& outputFile = QString())
{
    QProcess process;
    process.setChildProcessModifier([fileLimit] {
        if (fileLimit != 0) {
            const rlimit limit{fileLimit, fileLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(PLANIX_MEASURE_PROGRAM), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QStringList object{"--object", "40,60,300,420"};

TEST(MeasureOutput, AFailedWriteKeepsThePreviousCsvAndTheWholeRowsDone)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QStringLiteral("a.bmp"), QSize(320, 240));
    const QString csv = QDir(dir).filePath(QStringLiteral("out.csv"));
    savedFile(dir, QStringLiteral("out.csv"), "previous results\r\n");
    QStringList pictures;
    for (int i = 0; i < 300; ++i)
        pictures << picture; // about 80 bytes a row: far beyond the limit

    const MeasureRun run = runLimited(object + QStringList{"--csv", csv} + pictures, 4096);
    EXPECT_EQ(run.exitCode, 4) << run.errors.toStdString();
    EXPECT_EQ(contentOf(csv), "previous results\r\n");
    const QByteArray partial = contentOf(csv + QStringLiteral(".partial"));
    EXPECT_TRUE(partial.startsWith("file,width,")) << partial.left(40).toStdString();
    EXPECT_TRUE(partial.endsWith("\r\n")) << "no row cut";
    EXPECT_GT(partial.count('\n'), 10);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("out.csv.partial"))) << run.errors.toStdString();

    // A device that is full, named or as standard output.
    EXPECT_EQ(runLimited(object + QStringList{"--csv", "/dev/full", picture}).exitCode, 4);
    EXPECT_EQ(runLimited(object + QStringList{picture}, 0, QStringLiteral("/dev/full")).exitCode, 4);
}

TEST(MeasureOutput, AReportIsWholeOrNotThereAndAPlaceItCannotGoIsToldFirst)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QStringLiteral("a.bmp"), QSize(320, 240));
    const QString csv = savedFile(dir, QStringLiteral("out.csv"), "previous\r\n");
    const QString report = savedFile(dir, QStringLiteral("report.html"), "previous report");

    // Its picture alone is beyond the limit; the rows are not.
    const MeasureRun full = runLimited(object + QStringList{"--csv", csv, "--report", report, picture}, 4096);
    EXPECT_EQ(full.exitCode, 4) << full.errors.toStdString();
    EXPECT_EQ(contentOf(report), "previous report");
    EXPECT_EQ(contentOf(csv), "previous\r\n");
    EXPECT_TRUE(contentOf(csv + QStringLiteral(".partial")).startsWith("file,width,"));
    EXPECT_TRUE(full.errors.contains(QStringLiteral("report.html is unchanged"))) << full.errors.toStdString();

    const QString nowhere = QDir(dir).filePath(QStringLiteral("no/such/report.html"));
    const QString fresh = QDir(dir).filePath(QStringLiteral("fresh.csv"));
    const MeasureRun missing = runLimited(object + QStringList{"--csv", fresh, "--report", nowhere, picture});
    EXPECT_EQ(missing.exitCode, 4);
    EXPECT_TRUE(missing.errors.contains(QStringLiteral("cannot write the report"))) << missing.errors.toStdString();
    EXPECT_FALSE(QFile::exists(fresh + QStringLiteral(".partial"))) << "stopped before measuring";

    // Standard output closed: the rows cannot go there, and none goes into
    // the report, which takes the first free descriptor.
    QProcess closedOutput;
    closedOutput.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    closedOutput.start(QStringLiteral(PLANIX_MEASURE_PROGRAM), object + QStringList{"--report", report, picture});
    ASSERT_TRUE(closedOutput.waitForFinished(120000));
    EXPECT_EQ(closedOutput.exitCode(), 4);
    EXPECT_EQ(contentOf(report), "previous report");

    EXPECT_EQ(runLimited(object + QStringList{"--csv", csv, "--report", report, picture}).exitCode, 3); // no reference
    EXPECT_TRUE(contentOf(report).startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(contentOf(csv).startsWith("file,width,"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Hidden | QDir::Files).filter(QRegularExpression("^\\.")), QStringList())
        << "no temporary file left";
}

TEST(MeasureOutput, MarkedPicturesAreWholeOrNotThereAndNeverReplaceAnInput)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QStringLiteral("p.bmp"), QSize(320, 240));
    const QString marked = QDir(dir).filePath(QStringLiteral("marked"));
    // A marked picture of 320 x 240 takes 230 KB: beyond the limit.
    const MeasureRun limited = runLimited(object + QStringList{"--marked", marked, picture}, 100000);
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(limited.output).contains(QStringLiteral(",320,240,"))) << "the counts stay";
    EXPECT_TRUE(limited.errors.contains(QStringLiteral("cannot write the marked picture")));
    EXPECT_EQ(QDir(marked).entryList(QDir::Files | QDir::Hidden), QStringList());

    // Marked into the pictures' own folder, p.bmp's marked picture would be
    // p.bmp.bmp, itself a picture of the batch.
    const QString second = savedScene(dir, QStringLiteral("p.bmp.bmp"), QSize(320, 240), "BMP", 2);
    const QByteArray before = contentOf(second);
    const MeasureRun clash = runLimited(object + QStringList{"--marked", dir, picture, second});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_EQ(contentOf(second), before);
    const QList<QByteArray> rows = clash.output.split('\n');
    ASSERT_GE(rows.size(), 3);
    EXPECT_TRUE(rows[1].contains("picture of this batch")) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].split(',').value(7).isEmpty()) << "the second picture is measured and marked";
    EXPECT_TRUE(QFile::exists(second + QStringLiteral(".bmp")));

    // Nor may the CSV or the report overwrite a picture, or each other.
    const QByteArray first = contentOf(picture);
    const QString csv = QDir(dir).filePath(QStringLiteral("out.csv"));
    for (const QStringList& outputs :
         {QStringList{"--csv", picture}, QStringList{"--report", picture}, QStringList{"--csv", csv, "--report", csv},
          QStringList{"--csv", csv, "--report", csv + QStringLiteral(".partial")}})
        EXPECT_EQ(runLimited(object + outputs + QStringList{picture}).exitCode, 2) << outputs.join(u' ').toStdString();
    EXPECT_EQ(contentOf(picture), first);
    EXPECT_FALSE(QFile::exists(csv));
}

TEST(MeasureOutput, AnInterruptedRunKeepsThePreviousCsvAndTheRowsDone)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QStringLiteral("big.bmp"), QSize(2400, 1800));
    const QString csv = savedFile(dir, QStringLiteral("out.csv"), "previous\r\n");
    const QString marked = QDir(dir).filePath(QStringLiteral("marked"));
    QStringList pictures;
    for (int i = 0; i < 400; ++i)
        pictures << picture;
    QProcess process;
    process.start(QStringLiteral(PLANIX_MEASURE_PROGRAM),
                  object + QStringList{"--csv", csv, "--marked", marked} + pictures);
    ASSERT_TRUE(process.waitForStarted());
    const QString partial = csv + QStringLiteral(".partial");
    for (int i = 0; i < 600 && contentOf(partial).count('\n') < 3; ++i)
        QThread::msleep(20);
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
    EXPECT_EQ(contentOf(csv), "previous\r\n");
    const QByteArray rows = contentOf(partial);
    EXPECT_GE(rows.count('\n'), 3);
    EXPECT_LT(rows.count('\n'), 401);
    EXPECT_TRUE(rows.endsWith("\r\n"));
    EXPECT_TRUE(QDir(marked).entryList(QDir::Hidden | QDir::Files).filter(QRegularExpression("^\\.")).isEmpty())
        << "no temporary file left";
}

TEST(MeasureOutput, AnInterruptionEndsTheRunEvenWhenNobodyReadsItsRows)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QString(200, QLatin1Char('p')) + QStringLiteral(".bmp"), QSize(32, 24));
    QStringList pictures;
    for (int i = 0; i < 2000; ++i)
        pictures << picture;
    int rows[2];
    ASSERT_EQ(::pipe2(rows, O_CLOEXEC), 0);
    QProcess process;
    process.setChildProcessModifier([&rows] { ::dup2(rows[1], STDOUT_FILENO); });
    process.start(QStringLiteral(PLANIX_MEASURE_PROGRAM), object + pictures);
    ASSERT_TRUE(process.waitForStarted());
    QThread::msleep(1500); // the pipe is full long before that
    process.terminate();
    const bool ended = process.waitForFinished(10000);
    ::close(rows[0]);
    ::close(rows[1]);
    if (!ended)
        process.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
}

TEST(MeasureOutput, ANameThatIsNotUtf8OpensAndIsShownEscaped)
{
    const QString dir = temporaryDirectory();
    const QString picture = savedScene(dir, QStringLiteral("good.bmp"), QSize(320, 240));
    // The shell makes the name's bytes; QProcess would pass UTF-8 only.
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(
        QStringLiteral("/bin/sh"),
        {"-c",
         "bad=$(printf 'bad\\377\\376utf.bmp') && cp good.bmp \"$bad\" && \"$0\" --object 40,60,300,420 \"$bad\"; "
         "status=$?; rm \"$bad\"; exit $status",
         QStringLiteral(PLANIX_MEASURE_PROGRAM)});
    ASSERT_TRUE(process.waitForFinished(60000));
    // Measured (3: with a warning, the rectangle's centre lying beside the leaf on this size).
    EXPECT_EQ(process.exitCode(), 3) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(process.readAllStandardOutput().contains("\r\nbad\\xFF\\xFEutf.bmp,320,240,"));
}

} // namespace
