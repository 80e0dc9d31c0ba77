// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The desktop program: its command line, and a picture named there or
// dropped on the window opening exactly as one chosen in the open dialog.
#include "cli/Scenes.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include "app/CommandLine.h"
#include "app/OpenOnceShown.h"
#include "measure/WorkingImage.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <QtTest/QTest>

namespace {

DesktopCommandLine parsed(QStringList arguments)
{
    arguments.prepend(QStringLiteral("planix"));
    return parseDesktopCommandLine(arguments);
}

TEST(DesktopCommandLine, APictureHelpVersionAndNothingElse)
{
    EXPECT_EQ(parsed({}).picture, QString());
    EXPECT_TRUE(parsed({}).problem.isEmpty());
    EXPECT_EQ(parsed({"leaf.jpg"}).picture, QStringLiteral("leaf.jpg"));
    EXPECT_EQ(parsed({"a.jpg", "b.jpg"}).picture, QStringLiteral("a.jpg")) << "the first of several";
    EXPECT_EQ(parsed({"--", "--odd.jpg"}).picture, QStringLiteral("--odd.jpg"));
    EXPECT_TRUE(parsed({"--help"}).help);
    EXPECT_TRUE(parsed({"--version"}).version);
    for (const char* other : {"--style", "-platform", "--geometry=1x1"})
        EXPECT_FALSE(parsed({other, "a.jpg"}).problem.isEmpty()) << other;
    EXPECT_EQ(desktopVersion(), QStringLiteral("planix " PLANIX_PRODUCT_VERSION "\n"));
}

// Qt's own options reach Qt, whatever else the command line holds.
TEST(DesktopCommandLine, QtOptionsAreQtsToTake)
{
    for (const QStringList& arguments :
         {QStringList{"-platform", "offscreen", "--version"}, QStringList{"-style", "fusion", "-reverse", "--version"},
          QStringList{"-platform", "offscreen", "--bogus"}}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PLANIX_DESKTOP_PROGRAM), arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        const bool bogus = arguments.last() == QStringLiteral("--bogus");
        EXPECT_EQ(process.exitCode(), bogus ? 2 : 0) << arguments.join(u' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), bogus ? QString() : desktopVersion());
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("bogus")), bogus);
    }
}

class OpenNamedPicture : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        dir = temporaryDirectory();
        first = savedScene(dir, QStringLiteral("first.bmp"), QSize(700, 500));
        second = savedScene(dir, QStringLiteral("second.jpg"), QSize(1600, 1200), "JPG", 2);
        // A picture chosen in the dialog first, so the next open has
        // something to keep in the history.
        dialog().answer = first;
        form().Action1->trigger();
        dialog().answer.clear();
    }

    QImage imageOf(const TImage& image) const
    {
        const TBitmap* bitmap = image.picture().bitmap();
        return bitmap ? bitmap->image() : QImage();
    }

    // The state after an open of second that lands like the dialog's.
    void expectOpenedLikeTheDialog()
    {
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        EXPECT_TRUE(samePixels(loadWorkingImage(second).image(), workingImage()));
        EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 1024, 768));
        EXPECT_TRUE(state().historyValid());
        EXPECT_TRUE(samePixels(loadWorkingImage(first).image(), imageOf(*form().Image3)));
        EXPECT_EQ(form().OpenPictureDialog1.get(), &dialog()) << "the dialog is given back";
        EXPECT_EQ(dialog().runs, 1) << "only the first open asked";
        EXPECT_EQ(dialog().FileName, second) << "the next dialog starts there";
        EXPECT_EQ(QDir::currentPath(), dir) << "the picture's folder is followed";
    }

    QString dir;
    QString first;
    QString second;
};

TEST_F(OpenNamedPicture, ACommandLinePictureOpensOnceTheWindowIsShown)
{
    QDir::setCurrent(dir);
    openOnceShown(form(), QStringLiteral("second.jpg")); // relative, as typed
    EXPECT_TRUE(state().historyValid());
    EXPECT_TRUE(samePixels(loadWorkingImage(first).image(), workingImage())) << "not before the event loop runs";
    EXPECT_TRUE(QTest::qWaitFor([&] { return workingImage().width() == 1024; }, 5000));
    expectOpenedLikeTheDialog();
}

TEST_F(OpenNamedPicture, ADroppedPictureOpens)
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(second), QUrl::fromLocalFile(first)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return workingImage().width() == 1024; }, 5000));
    expectOpenedLikeTheDialog();
}

TEST_F(OpenNamedPicture, ADragWithoutFilesIsRefused)
{
    QMimeData text;
    text.setText(QStringLiteral("leaf.jpg"));
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(OpenNamedPicture, AFailureIsTheDialogsFailure)
{
    const QImage before = workingImage().copy();
    const QString missing = QDir(dir).filePath(QStringLiteral("missing.jpg"));
    const QString unsupported = savedFile(dir, QStringLiteral("notes.txt"), "text");
    for (const QString& file : {missing, unsupported}) {
        errors.clear();
        form().openPicture(file);
        const QStringList named = errors;
        errors.clear();
        dialog().answer = file;
        form().Action1->trigger();
        EXPECT_EQ(named.size(), 1);
        EXPECT_EQ(named, errors);
        EXPECT_TRUE(samePixels(before, workingImage())) << "nothing changed";
    }
    EXPECT_EQ(form().OpenPictureDialog1.get(), &dialog());
}

} // namespace
