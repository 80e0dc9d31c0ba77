// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Copy and paste against a real X server, with xclip as the other program.
#include "ClipboardFixture.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTimer>

namespace {

constexpr int waitLimitMs = 10000;

// Runs the event loop (so this program can answer the other client's
// selection requests) until the process ends or the time limit passes.
bool finishWhileServing(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return true;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(waitLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return process.state() == QProcess::NotRunning;
}

// Runs the event loop until this program sees an image on the clipboard.
bool waitForClipboardImage()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data && data->hasImage())
            return true;
    }
    return false;
}

class XClipboard : public ClipboardCommandsTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "no X server given (PLANIX_X_DISPLAY)";
        ClipboardCommandsTest::SetUp();
        original = patternBitmap(300, 200).image();
        setWorkingBitmap(TBitmap(original));
    }

    void TearDown() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            return;
        if (xclipServing.state() != QProcess::NotRunning) {
            xclipServing.terminate();
            xclipServing.waitForFinished(waitLimitMs);
        }
        ClipboardCommandsTest::TearDown();
    }

    // What xclip reads from the clipboard as a PNG.
    QImage readByXclip()
    {
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "image/png", "-o"});
        EXPECT_TRUE(xclip.waitForStarted()) << "xclip could not start";
        EXPECT_TRUE(finishWhileServing(xclip)) << "xclip did not finish";
        EXPECT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
        return QImage::fromData(xclip.readAllStandardOutput(), "PNG");
    }

    // xclip offers the PNG file on the clipboard until the test ends.
    void offerByXclip(const QString& pngFile)
    {
        xclipServing.start(QStringLiteral("xclip"),
                           {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i", pngFile});
        ASSERT_TRUE(xclipServing.waitForStarted()) << "xclip could not start";
        ASSERT_TRUE(waitForClipboardImage()) << "xclip's image never reached the clipboard";
    }

    QImage original;
    QProcess xclipServing;
};

TEST_F(XClipboard, AnotherProgramReadsExactlyTheCopiedRectangle)
{
    drag(10, 20, 110, 70);
    copy();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u' ').toStdString();

    const QImage read = readByXclip();

    ASSERT_FALSE(read.isNull()) << "xclip returned no PNG";
    EXPECT_EQ(read.size(), QSize(100, 50));
    EXPECT_TRUE(samePixels(pixelsOf(original, QRect(10, 20, 100, 50)), read));
}

TEST_F(XClipboard, APictureFromAnotherProgramPastesPixelForPixel)
{
    const QImage offered = stripesBitmap(64, 48).image();
    const QString file = QDir(temporaryDirectory()).filePath(QStringLiteral("offered.png"));
    ASSERT_TRUE(offered.save(file, "PNG"));
    offerByXclip(file);
    press(120, 90);
    release(120, 90);

    openEditMenu();
    EXPECT_TRUE(pasteEnabled());
    paste();

    ASSERT_TRUE(errors.isEmpty()) << errors.join(u' ').toStdString();
    const QImage after = workingImage();
    EXPECT_EQ(after.size(), original.size());
    EXPECT_TRUE(samePixels(offered, pixelsOf(after, QRect(120, 90, 64, 48))));
    EXPECT_TRUE(sameColour(patternColour(119, 90), colourAt(after, 119, 90)));
    EXPECT_TRUE(sameColour(patternColour(184, 138), colourAt(after, 184, 138)));
}

} // namespace
