// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Which reader a file name picks, and the messages of names and files that
// cannot be read.
#include "BmpBytes.h"
#include "support/Pictures.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "surface/readers/FileName.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(FileName, BytesThatAreNotUtf8ComeBackUnchangedAndShowAsHex)
{
    // Invalid lead and trail bytes, an overlong "/", an encoded surrogate, a
    // sequence cut short at the end; and valid kana and an emoji beside them.
    const QByteArray odd = QByteArray::fromHex("626164fffe2ec0af2fedb280e38381f09f9880e3");
    const QString name = fileNameFromBytes(odd);
    EXPECT_EQ(fileNameBytes(name).toHex(), odd.toHex());
    EXPECT_EQ(printableName(name), u"bad\\xFF\\xFE.\\xC0\\xAF/\\xED\\xB2\\x80チ😀\\xE3"_qs);
    EXPECT_EQ(fileNameFromBytes("leaf 葉.jpg"), u"leaf 葉.jpg"_qs);
    EXPECT_EQ(fileNameBytes(u"leaf 葉.jpg"_qs), QByteArray("leaf 葉.jpg"));
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

TEST(PictureFile, LargeBmpFilesAreReadRowsAtATimeAsFromMemory)
{
    // 24 and 8 bits, bottom-up and top-down, over 1 MB: read in several chunks.
    const QString dir = temporaryDirectory();
    for (const int bits : {24, 8}) {
        for (const bool topDown : {false, true}) {
            const int width = 1001, height = bits == 24 ? 700 : 1500;
            QByteArray pixels(qsizetype((width * bits + 31) / 32 * 4) * height, '\0');
            for (qsizetype i = 0; i < pixels.size(); ++i)
                pixels[i] = char(i * 7 % 251);
            QByteArray palette;
            for (int i = 0; bits == 8 && i < 256; ++i)
                palette += paletteBytes({qRgb(i, 255 - i, i / 2)});
            const QByteArray bytes = bmpFile(
                {.width = width, .height = topDown ? -height : height, .bitCount = unsigned(bits)}, palette, pixels);
            const QString path = written(QDir(dir).filePath(QStringLiteral("big.bmp")), bytes);
            EXPECT_TRUE(samePixels(readBmp(bytes).bitmap()->image(), readPictureFile(path).bitmap()->image()))
                << bits << topDown;
            written(path, bytes.left(bytes.size() - 2000));
            EXPECT_EQ(failureOf(path), "ストリームからの読み込みエラー");
        }
    }
    // A size beyond any picture is refused from the header alone: the file
    // holds 400 MB of nothing (its blocks are never written).
    const QString huge = written(QDir(dir).filePath(QStringLiteral("huge.bmp")),
                                 bmpFile({.width = 20000, .height = 20000, .bitCount = 8}, QByteArray(1024, '\0'), {}));
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), 400001078), 0);
    EXPECT_EQ(failureOf(huge), "ビットマップイメージが不正です");
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
    const Picture picture = readPictureFile(
        written(QDir(dir).filePath(QStringLiteral("shots.bmp/photo.jPg")), jpegBytes));
    EXPECT_EQ(picture.kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture.width(), 227);
    // An empty bitmap file is an empty picture.
    EXPECT_TRUE(readPictureFile(written(QDir(dir).filePath(QStringLiteral("empty.BMP")), {})).isEmpty());
}

} // namespace
