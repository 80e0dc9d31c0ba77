// Which reader a file name picks, and the messages of names and files that
// cannot be read.
#include "support/Pictures.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string failureOf(const QString& fileName)
{
    try {
        readPictureFile(fileName);
    } catch (const PlanixError& e) {
        return e.message().toStdString();
    }
    return "(no error)";
}

std::string unknownExtension(const char* extension)
{
    return QStringLiteral("拡張子 .%1 の画像形式は処理できません").arg(QString::fromUtf8(extension)).toStdString();
}

QString written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

TEST(PictureExtension, TheTextAfterTheFileNamesLastDotAsWritten)
{
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos/foot.JPG")), QStringLiteral("JPG"));
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos/foot.print.Jpeg")), QStringLiteral("Jpeg"));
    EXPECT_EQ(pictureExtension(QStringLiteral("foot.bmp")), QStringLiteral("bmp"));
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos/foot.")), QString());
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos/foot")), QString());
    // A dot in a folder's name is no extension of the file.
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos.2024/foot")), QString());
    EXPECT_EQ(pictureExtension(QStringLiteral("/photos.bmp/foot")), QString());
}

TEST(PictureFile, NamesWithoutAReaderFailBeforeTheFileIsOpened)
{
    // None of these files exists: the extension decides first.
    const QString dir = temporaryDirectory();
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("foot.png"))), unknownExtension("png"));
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("foot.PNG"))), unknownExtension("PNG"));
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("foot.jpg.gif"))), unknownExtension("gif"));
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("foot"))), unknownExtension(""));
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("foot."))), unknownExtension(""));
    EXPECT_EQ(failureOf(QDir(dir).filePath(QStringLiteral("shots.bmp/foot"))), unknownExtension(""));
}

TEST(PictureFile, AFileThatCannotBeOpenedIsNamedInFull)
{
    const QString dir = temporaryDirectory();
    for (const char* name : {"missing.bmp", "missing.JPEG", "missing.ico", "missing.Emf", "missing.wmf"}) {
        const QString path = QDir(dir).filePath(QString::fromUtf8(name));
        EXPECT_EQ(failureOf(path), QStringLiteral("ファイル %1 は開けません").arg(path).toStdString());
    }
    // A folder whose name looks like a picture's.
    const QString folder = QDir(dir).filePath(QStringLiteral("folder.bmp"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(failureOf(folder), QStringLiteral("ファイル %1 は開けません").arg(folder).toStdString());
}

TEST(PictureFile, PipesAndDevicesAreNotRead)
{
    // Reading either would never end: the pipe has no writer, the device no end.
    const QString dir = temporaryDirectory();
    const QString pipe = QDir(dir).filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(failureOf(pipe), QStringLiteral("ファイル %1 は開けません").arg(pipe).toStdString());
    const QString device = QDir(dir).filePath(QStringLiteral("zero.bmp"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    EXPECT_EQ(failureOf(device), QStringLiteral("ファイル %1 は開けません").arg(device).toStdString());
    // A link to a regular file is read like the file.
    const QString link = QDir(dir).filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(testDataPath(QStringLiteral("refimages/testorig.jpg")), link));
    EXPECT_EQ(readPictureFile(link).width(), 227);
}

TEST(PictureFile, TheExtensionNotTheContentPicksTheReader)
{
    const QString dir = temporaryDirectory();
    QFile jpeg(testDataPath(QStringLiteral("refimages/testorig.jpg")));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    const QByteArray jpegBytes = jpeg.readAll();
    // A JPEG named as a bitmap is no bitmap.
    EXPECT_EQ(failureOf(written(QDir(dir).filePath(QStringLiteral("photo.Bmp")), jpegBytes)),
              "ビットマップイメージが不正です");
    // In a folder whose name has a dot, the file's own extension counts.
    ASSERT_TRUE(QDir().mkpath(QDir(dir).filePath(QStringLiteral("shots.bmp"))));
    const Picture picture = readPictureFile(written(QDir(dir).filePath(QStringLiteral("shots.bmp/photo.jPg")), jpegBytes));
    EXPECT_EQ(picture.kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture.width(), 227);
    // An empty bitmap file is an empty picture.
    EXPECT_TRUE(readPictureFile(written(QDir(dir).filePath(QStringLiteral("empty.BMP")), {})).isEmpty());
}

} // namespace
