// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The public BMP Suite: good files decode to their reference renderings pixel
// for pixel, questionable ones decode or are refused cleanly, bad ones end in
// one of the program's messages (or a picture), never a crash.
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "support/Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <cctype>
#include <gtest/gtest.h>

namespace {

const std::string readError = "ストリームからの読み込みエラー";
const std::string invalidBitmap = "ビットマップイメージが不正です";
const std::string decoded = "(picture)";

struct SuiteFile {
    const char* file;      // under bmpsuite/
    const char* reference; // under bmpsuite/reference/, or the expected outcome
};

std::string testName(const ::testing::TestParamInfo<SuiteFile>& info)
{
    std::string name = QFileInfo(QString::fromUtf8(info.param.file)).completeBaseName().toStdString();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

QImage decode(const char* file)
{
    const Picture picture = readPictureFile(testDataPath(QString::fromUtf8(file)));
    EXPECT_EQ(picture.kind(), PictureKind::Bitmap);
    return picture.bitmap() ? picture.bitmap()->image() : QImage();
}

QImage reference(const char* name)
{
    QImage image(testDataPath(QStringLiteral("bmpsuite/reference/") + QString::fromUtf8(name)));
    EXPECT_FALSE(image.isNull()) << name;
    return image;
}

std::string outcomeOf(const char* file)
{
    try {
        readPictureFile(testDataPath(QString::fromUtf8(file)));
    } catch (const PlanixError& e) {
        return e.message().toStdString();
    }
    return decoded;
}

// ------------------------------------------------------------ g/

// The non-square file is compared with its unstretched rendering.
const SuiteFile goodFiles[] = {
    {"bmpsuite/g/pal1.bmp", "pal1.png"},
    {"bmpsuite/g/pal1wb.bmp", "pal1.png"},
    {"bmpsuite/g/pal1bg.bmp", "pal1bg.png"},
    {"bmpsuite/g/pal4.bmp", "pal4.png"},
    {"bmpsuite/g/pal4gs.bmp", "pal4gs.png"},
    {"bmpsuite/g/pal4rle.bmp", "pal4.png"},
    {"bmpsuite/g/pal8.bmp", "pal8.png"},
    {"bmpsuite/g/pal8-0.bmp", "pal8.png"},
    {"bmpsuite/g/pal8gs.bmp", "pal8gs.png"},
    {"bmpsuite/g/pal8rle.bmp", "pal8.png"},
    {"bmpsuite/g/pal8w126.bmp", "pal8w126.png"},
    {"bmpsuite/g/pal8w125.bmp", "pal8w125.png"},
    {"bmpsuite/g/pal8w124.bmp", "pal8w124.png"},
    {"bmpsuite/g/pal8topdown.bmp", "pal8.png"},
    {"bmpsuite/g/pal8nonsquare.bmp", "pal8nonsquare-e.png"},
    {"bmpsuite/g/pal8os2.bmp", "pal8.png"},
    {"bmpsuite/g/pal8v4.bmp", "pal8.png"},
    {"bmpsuite/g/pal8v5.bmp", "pal8.png"},
    {"bmpsuite/g/rgb16.bmp", "rgb16.png"},
    {"bmpsuite/g/rgb16bfdef.bmp", "rgb16.png"},
    {"bmpsuite/g/rgb16-565.bmp", "rgb16-565.png"},
    {"bmpsuite/g/rgb16-565pal.bmp", "rgb16-565.png"},
    {"bmpsuite/g/rgb24.bmp", "rgb24.png"},
    {"bmpsuite/g/rgb24pal.bmp", "rgb24.png"},
    {"bmpsuite/g/rgb32.bmp", "rgb24.png"},
    {"bmpsuite/g/rgb32bfdef.bmp", "rgb24.png"},
    {"bmpsuite/g/rgb32bf.bmp", "rgb24.png"},
};

class BmpSuiteGood : public ::testing::TestWithParam<SuiteFile> { };

TEST_P(BmpSuiteGood, MatchesItsReferencePixelForPixel)
{
    const QImage image = decode(GetParam().file);
    EXPECT_TRUE(samePixels(reference(GetParam().reference), image));
}

INSTANTIATE_TEST_SUITE_P(Good, BmpSuiteGood, ::testing::ValuesIn(goodFiles), testName);

TEST(BmpSuite, EveryGoodFileIsCompared)
{
    const QStringList present = QDir(testDataPath(QStringLiteral("bmpsuite/g"))).entryList({"*.bmp"}, QDir::Files);
    ASSERT_FALSE(present.isEmpty());
    QStringList compared;
    for (const SuiteFile& f : goodFiles)
        compared << QFileInfo(QString::fromUtf8(f.file)).fileName();
    for (const QString& name : present)
        EXPECT_TRUE(compared.contains(name)) << name.toStdString();
}

// ------------------------------------------------------------ q/

// Alpha is ignored, so the alpha files compare on colour only. RLE pixels the
// stream leaves out take palette colour 0 (the "-0" renderings).
const SuiteFile questionableDecoded[] = {
    {"bmpsuite/q/pal1p1.bmp", "pal1p1.png"},
    {"bmpsuite/q/pal2.bmp", "pal2.png"},
    {"bmpsuite/q/pal2color.bmp", "pal2color.png"},
    {"bmpsuite/q/pal4rletrns.bmp", "pal4rletrns-0.png"},
    {"bmpsuite/q/pal4rlecut.bmp", "pal4rlecut-0.png"},
    {"bmpsuite/q/pal8rletrns.bmp", "pal8rletrns-0.png"},
    {"bmpsuite/q/pal8rlecut.bmp", "pal8rlecut-0.png"},
    {"bmpsuite/q/pal8offs.bmp", "pal8.png"},
    {"bmpsuite/q/pal8oversizepal.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2-sz.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2-hs.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2sp.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2v2.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2v2-16.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2v2-sz.bmp", "pal8.png"},
    {"bmpsuite/q/pal8os2v2-40sz.bmp", "pal8.png"},
    {"bmpsuite/q/rgb16faketrns.bmp", "rgb16.png"},
    {"bmpsuite/q/rgb16-231.bmp", "rgb16-231.png"},
    {"bmpsuite/q/rgb16-3103.bmp", "rgb16-3103.png"},
    {"bmpsuite/q/rgba16-4444.bmp", "rgba16-4444.png"},
    {"bmpsuite/q/rgba16-5551.bmp", "rgba16-5551.png"},
    {"bmpsuite/q/rgba16-1924.bmp", "rgba16-1924.png"},
    {"bmpsuite/q/rgb24largepal.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb24prof.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb24lprof.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb32h52.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb32-xbgr.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb32fakealpha.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb32-111110.bmp", "rgb24.png"},
    {"bmpsuite/q/rgb32-7187.bmp", "rgb32-7187.png"},
    {"bmpsuite/q/rgba32-1.bmp", "rgba32.png"},
    {"bmpsuite/q/rgba32-2.bmp", "rgba32.png"},
    {"bmpsuite/q/rgba32-1010102.bmp", "rgba32-1010102.png"},
    {"bmpsuite/q/rgba32-81284.bmp", "rgba32-81284.png"},
    {"bmpsuite/q/rgba32-61754.bmp", "rgba32-61754.png"},
    {"bmpsuite/q/rgba32abf.bmp", "rgba32.png"},
    {"bmpsuite/q/rgba32h56.bmp", "rgba32.png"},
};

// Channels wider or narrower than the renderings' 8 bits may round either way,
// so each channel may differ by 1; pixels the rendering leaves fully
// transparent have no colour to compare.
::testing::AssertionResult closeWhereVisible(const QImage& expected, const QImage& actual)
{
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "size differs";
    const auto near = [](unsigned a, unsigned b) { return (a > b ? a - b : b - a) <= 1; };
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            if (qAlpha(expected.pixel(x, y)) == 0)
                continue;
            const TColor e = colourAt(expected, x, y), a = colourAt(actual, x, y);
            if (!near(redOf(e), redOf(a)) || !near(greenOf(e), greenOf(a)) || !near(blueOf(e), blueOf(a)))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") " << sameColour(e, a).message();
        }
    return ::testing::AssertionSuccess();
}

class BmpSuiteQuestionable : public ::testing::TestWithParam<SuiteFile> { };

TEST_P(BmpSuiteQuestionable, DecodesLikeItsReference)
{
    const QImage image = decode(GetParam().file);
    EXPECT_TRUE(closeWhereVisible(reference(GetParam().reference), image));
}

INSTANTIATE_TEST_SUITE_P(Questionable, BmpSuiteQuestionable, ::testing::ValuesIn(questionableDecoded), testName);

TEST(BmpSuite, QuestionableFormatsOutsideTheBitmapFamilyAreRefused)
{
    // Embedded JPEG and PNG, OS/2 Huffman and RLE24, 64 bits per pixel, a bitmap array.
    for (const char* file : {"bmpsuite/q/rgb24jpeg.bmp", "bmpsuite/q/rgb24png.bmp", "bmpsuite/q/pal1huffmsb.bmp",
                             "bmpsuite/q/rgb24rle24.bmp", "bmpsuite/q/rgba64.bmp", "bmpsuite/x/ba-bm.bmp"})
        EXPECT_EQ(outcomeOf(file), invalidBitmap) << file;
}

// ------------------------------------------------------------ b/

const SuiteFile badFiles[] = {
    {"bmpsuite/b/badbitcount.bmp", "invalid"},    {"bmpsuite/b/badbitssize.bmp", "picture"},
    {"bmpsuite/b/baddens1.bmp", "picture"},       {"bmpsuite/b/baddens2.bmp", "picture"},
    {"bmpsuite/b/badfilesize.bmp", "picture"},    {"bmpsuite/b/badheadersize.bmp", "invalid"},
    {"bmpsuite/b/badpalettesize.bmp", "picture"}, {"bmpsuite/b/badplanes.bmp", "invalid"},
    {"bmpsuite/b/badrle.bmp", "picture"},         {"bmpsuite/b/badrlebis.bmp", "picture"},
    {"bmpsuite/b/badrleter.bmp", "picture"},      {"bmpsuite/b/badrle4.bmp", "picture"},
    {"bmpsuite/b/badrle4bis.bmp", "picture"},     {"bmpsuite/b/badrle4ter.bmp", "picture"},
    {"bmpsuite/b/badwidth.bmp", "invalid"},       {"bmpsuite/b/pal8badindex.bmp", "picture"},
    {"bmpsuite/b/reallybig.bmp", "read"},         {"bmpsuite/b/rgb16-880.bmp", "picture"},
    {"bmpsuite/b/rletopdown.bmp", "invalid"},     {"bmpsuite/b/shortfile.bmp", "read"},
};

class BmpSuiteBad : public ::testing::TestWithParam<SuiteFile> { };

TEST_P(BmpSuiteBad, EndsInAMessageOrAPicture)
{
    const std::string expected = GetParam().reference;
    const std::string wanted = expected == "invalid" ? invalidBitmap : expected == "read" ? readError : decoded;
    EXPECT_EQ(outcomeOf(GetParam().file), wanted);
}

INSTANTIATE_TEST_SUITE_P(Bad, BmpSuiteBad, ::testing::ValuesIn(badFiles), testName);

TEST(BmpSuite, IndexesBeyondThePaletteReadAsBlack)
{
    const QImage image = decode("bmpsuite/b/pal8badindex.bmp");
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    int beyond = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelIndex(x, y) >= 101) {
                ++beyond;
                EXPECT_EQ(colourAt(image, x, y), clBlack);
            }
    EXPECT_GT(beyond, 0);
}

// ------------------------------------------------------------ photographs

// Real photographs (24-bit files), checked against Qt's own BMP decoder.
TEST(BmpPhotographs, LoadLikeAnIndependentDecoder)
{
    const QStringList names =
        QDir(testDataPath(QStringLiteral("refimages"))).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 3);
    for (const QString& name : names) {
        const QString path = testDataPath(QStringLiteral("refimages/") + name);
        const Picture picture = readPictureFile(path);
        ASSERT_EQ(picture.kind(), PictureKind::Bitmap) << name.toStdString();
        EXPECT_EQ(picture.bitmap()->image().format(), QImage::Format_BGR888);
        EXPECT_TRUE(samePixels(QImage(path, "BMP"), picture.bitmap()->image())) << name.toStdString();
    }
}

} // namespace
