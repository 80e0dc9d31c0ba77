// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a picture through the open command: the fitted working image, the
// loader image, the history, and failures that leave everything as it was.
#include "support/PictureFiles.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

class OpenPicture : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        dir = temporaryDirectory();
    }

    // Chooses path in the open dialog and runs the command as the menu does.
    void open(const QString& path)
    {
        dialog().answer = path;
        form().Action1->trigger();
    }

    QString dir;
};

TEST_F(OpenPicture, ASmallPictureIsCopiedPixelForPixelAtTheTopLeft)
{
    const QImage source = patternImage(300, 200);
    open(savedPicture(dir, QStringLiteral("small.bmp"), source));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 300, 200));
    EXPECT_TRUE(samePixels(source, workingImage()));
    // The loader image holds the picture as loaded, at its size.
    EXPECT_EQ(form().Image1->picture().kind(), PictureKind::Bitmap);
    EXPECT_EQ(form().Image1->size(), QSize(300, 200));
    EXPECT_TRUE(state().historyValid());
    EXPECT_FALSE(state().overlayShown());
}

TEST_F(OpenPicture, ALargePictureIsReducedByNearestSampling)
{
    for (QSize size : {QSize(2048, 1536), QSize(1300, 1000), QSize(1025, 768), QSize(640, 960)}) {
        const QImage source = patternImage(size.width(), size.height());
        open(savedPicture(dir, QStringLiteral("large.bmp"), source));
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        const QSize fitted = form().Image2->size();
        EXPECT_EQ(form().Image2->pos(), QPoint(0, 0));
        EXPECT_TRUE(samePixels(nearestSampled(source, fitted.width(), fitted.height()), workingImage()))
            << size.width() << " x " << size.height();
        EXPECT_EQ(form().Image1->size(), size);
    }
    EXPECT_EQ(form().Image2->size(), QSize(512, 768));
}

TEST_F(OpenPicture, AJpegIsTheDecodersPixelsSampledToFit)
{
    if (QProcess::execute(QStringLiteral("djpeg"), {QStringLiteral("-version")}) < 0)
        GTEST_SKIP() << "djpeg is not installed";
    const QString path = savedPicture(dir, QStringLiteral("PHOTO.JPG"), patternImage(1500, 1000), "JPG");
    const QString ppm = QDir(dir).filePath(QStringLiteral("photo.ppm"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("djpeg"),
                                {QStringLiteral("-dct"), QStringLiteral("int"), QStringLiteral("-outfile"), ppm, path}),
              0);
    const QImage decoded(ppm);
    ASSERT_EQ(decoded.size(), QSize(1500, 1000));

    open(path);
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 1024, 682));
    EXPECT_TRUE(samePixels(nearestSampled(decoded, 1024, 682), workingImage()));
    EXPECT_EQ(form().Image1->picture().kind(), PictureKind::Jpeg);
    EXPECT_EQ(form().Image1->size(), QSize(1500, 1000));
}

TEST_F(OpenPicture, CancelChangesNothing)
{
    setWorkingBitmap(makeBitmap(120, 90, patternColour));
    drag(10, 10, 60, 50);
    const QImage before = workingImage().copy();
    const QRect bounds = form().Image2->geometry();
    open(QString());
    EXPECT_EQ(dialog().runs, 1);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(samePixels(before, workingImage()));
    EXPECT_EQ(form().Image2->geometry(), bounds);
    EXPECT_TRUE(state().overlayShown());
    EXPECT_FALSE(state().historyValid());
    EXPECT_TRUE(form().Image3->picture().isEmpty());
    EXPECT_EQ(QDir::currentPath(), startDirectory);
}

TEST_F(OpenPicture, OpeningKeepsSelectionCountThresholdAndFields)
{
    drag(5, 6, 40, 30);
    state().dotCount() = 77;
    form().Edit2->setText(QStringLiteral("12"));
    form().StatusBar1->setPanelText(1, QStringLiteral("X:1 Y:2"));
    const float threshold = state().threshold();
    open(savedPicture(dir, QStringLiteral("a.bmp"), patternImage(64, 48)));
    ASSERT_TRUE(errors.isEmpty());
    EXPECT_EQ(state().selLeft(), 5);
    EXPECT_EQ(state().selTop(), 6);
    EXPECT_EQ(state().selRight(), 40);
    EXPECT_EQ(state().selBottom(), 30);
    EXPECT_EQ(state().dotCount(), 77);
    EXPECT_EQ(state().threshold(), threshold);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("12"));
    EXPECT_EQ(form().StatusBar1->panelText(1), QStringLiteral("X:1 Y:2"));
    EXPECT_FALSE(state().overlayShown());
}

TEST_F(OpenPicture, TheBandIsRemovedBeforeThePreviousPictureIsSaved)
{
    const QImage first = patternImage(200, 150);
    open(savedPicture(dir, QStringLiteral("first.bmp"), first));
    drag(20, 20, 150, 100);
    ASSERT_TRUE(state().overlayShown());
    open(savedPicture(dir, QStringLiteral("second.bmp"), patternImage(90, 70)));
    const TBitmap* saved = form().Image3->picture().bitmap();
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(samePixels(first, saved->image()));
    EXPECT_EQ(form().Image3->size(), QSize(200, 150));
}

TEST_F(OpenPicture, TheCurrentDirectoryFollowsTheChosenFile)
{
    QDir(dir).mkdir(QStringLiteral("pictures"));
    const QString folder = QDir(dir).filePath(QStringLiteral("pictures"));
    open(savedPicture(folder, QStringLiteral("p.bmp"), patternImage(10, 10)));
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(folder).canonicalPath());
}

// A failing open: the error box shows the message, nothing else changes.
class FailingOpen : public OpenPicture {
protected:
    void SetUp() override
    {
        OpenPicture::SetUp();
        open(savedPicture(dir, QStringLiteral("earlier.bmp"), patternImage(80, 60)));
        open(savedPicture(dir, QStringLiteral("current.bmp"), patternImage(300, 220)));
        drag(30, 40, 250, 200);
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        ASSERT_TRUE(state().overlayShown());
        shown = workingImage().copy();
        history = form().Image3->picture().bitmap()->image().copy();
    }

    void expectUnchanged()
    {
        EXPECT_TRUE(samePixels(shown, workingImage())); // the band included
        EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 300, 220));
        EXPECT_TRUE(state().overlayShown());
        EXPECT_TRUE(state().historyValid());
        ASSERT_NE(form().Image3->picture().bitmap(), nullptr);
        EXPECT_TRUE(samePixels(history, form().Image3->picture().bitmap()->image()));
        EXPECT_EQ(form().Image3->size(), QSize(80, 60));
        EXPECT_EQ(form().Image1->size(), QSize(300, 220));
        EXPECT_EQ(form().Image1->picture().width(), 300);
        // The band is still the selection's and comes off cleanly.
        form().jikkoufuka();
        EXPECT_TRUE(samePixels(patternImage(300, 220), workingImage()));
    }

    QImage shown;
    QImage history;
};

TEST_F(FailingOpen, AnExtensionWithoutReader)
{
    open(savedPicture(dir, QStringLiteral("picture.png"), patternImage(10, 10), "PNG"));
    EXPECT_EQ(errors, QStringList{QStringLiteral("拡張子 .png の画像形式は処理できません.")});
    expectUnchanged();
}

TEST_F(FailingOpen, ANameWithoutExtension)
{
    open(savedBytes(dir, QStringLiteral("picture"), "BM"));
    EXPECT_EQ(errors, QStringList{QStringLiteral("拡張子 . の画像形式は処理できません.")});
    expectUnchanged();
}

TEST_F(FailingOpen, AMissingFile)
{
    QDir(dir).mkdir(QStringLiteral("elsewhere"));
    const QString folder = QDir(dir).filePath(QStringLiteral("elsewhere"));
    const QString path = QDir(folder).filePath(QStringLiteral("missing.bmp"));
    open(path);
    EXPECT_EQ(errors, QStringList{QStringLiteral("ファイル %1 は開けません.").arg(path)});
    expectUnchanged();
    // Confirming the name in the dialog moved the current directory all the same.
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(folder).canonicalPath());
}

TEST_F(FailingOpen, ABitmapFileThatIsNoBitmap)
{
    open(savedBytes(dir, QStringLiteral("text.bmp"), "This is no picture at all."));
    EXPECT_EQ(errors, QStringList{QStringLiteral("ビットマップイメージが不正です.")});
    expectUnchanged();
}

// A JPEG whose header reads but whose first Huffman table cannot be built:
// the decoder fails only when the pixels are drawn.
QByteArray jpegFailingToDecode()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    patternImage(64, 48).save(&buffer, "JPG");
    const qsizetype table = bytes.indexOf(QByteArray("\xFF\xC4", 2));
    if (table < 0)
        return {};
    char* counts = bytes.data() + table + 5; // after marker, length, class and id
    // Three codes of one bit cannot exist; keep the total number of codes.
    for (int length = 15; length > 0; --length)
        if (static_cast<unsigned char>(counts[length]) >= 3) {
            counts[length] = static_cast<char>(counts[length] - 3);
            counts[0] = static_cast<char>(counts[0] + 3);
            return bytes;
        }
    return {};
}

TEST_F(FailingOpen, AJpegTheDecoderRejects)
{
    const QByteArray bytes = jpegFailingToDecode();
    ASSERT_FALSE(bytes.isEmpty());
    open(savedBytes(dir, QStringLiteral("broken.jpg"), bytes));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("JPEG エラー #"))) << errors[0].toStdString();
    expectUnchanged();
}

TEST_F(OpenPicture, APictureFittedToNoRowsLeavesAnEmptyWorkingImage)
{
    open(savedPicture(dir, QStringLiteral("strip.bmp"), patternImage(5000, 4)));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(form().Image2->geometry(), QRect(0, 0, 1024, 0));
    EXPECT_TRUE(workingImage().isNull());
    EXPECT_EQ(form().Image1->size(), QSize(5000, 4));

    // Everything that touches the working image copes with it having no pixels.
    moveTo(10, 0, Qt::NoButton);
    EXPECT_FALSE(form().StatusBar1->panelText(1).isEmpty());
    for (auto count : {&TForm1::akarusaClick, &TForm1::aoiroClick, &TForm1::midoriiroClick, &TForm1::akairoClick}) {
        drag(0, 0, 50, 20);
        (form().*count)(nullptr);
    }
    drag(0, 0, 50, 20);
    form().Action3->trigger(); // copy
    form().f1Click(nullptr);
    form().repaint();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(form().Image2->size(), QSize(1024, 0));

    open(savedPicture(dir, QStringLiteral("after.bmp"), patternImage(40, 30)));
    form().f1Click(nullptr);
    EXPECT_EQ(form().Image2->size(), QSize(1024, 0));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

} // namespace
