// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// JPEG pictures: the header read at load, the pixels decoded at draw by
// libjpeg with the program's settings and sampled by the nearest rule, the
// library's errors with their codes, and files that lie about themselves.
#include "JpegFiles.h"

#include "support/ErrorOf.h"
#include "support/Pictures.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "surface/pixels/Stretch.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <cstring>
#include <jerror.h>
#include <numeric>
#include <vector>

namespace {

QByteArray testDataFile(const QString& relative)
{
    QFile file(testDataPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage whiteImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The independent decode nearest-sampled into rect of a white image of size.
QImage expectedDraw(const QImage& reference, QSize size, const QRect& rect)
{
    QImage image = whiteImage(size);
    stretchNearest(reference, image, rect);
    return image;
}

QImage programDraw(const Picture& picture, QSize size, const QRect& rect)
{
    QImage image = whiteImage(size);
    picture.stretchDraw(image, rect);
    return image;
}

QString jpegError(int code) { return QStringLiteral("JPEG エラー #%1").arg(code); }

// Draws the picture at full size, reduced, enlarged and partly outside the
// target, each compared pixel for pixel with the reference sampled alike.
void expectSameDraws(const QByteArray& jpeg, const QImage& reference)
{
    ASSERT_FALSE(reference.isNull()) << "djpeg gave no picture";
    const Picture picture = readJpeg(jpeg);
    ASSERT_EQ(picture.kind(), PictureKind::Jpeg);
    ASSERT_EQ(picture.width(), reference.width());
    ASSERT_EQ(picture.height(), reference.height());
    const int w = reference.width(), h = reference.height();
    const struct {
        QSize target;
        QRect rect;
    } draws[] = {
        {{w, h}, {0, 0, w, h}},
        {{w * 2 / 5, h / 3}, {0, 0, w * 2 / 5, h / 3}},
        {{w + 37, h * 2}, {0, 0, w + 37, h * 2}},
        {{w / 2, h / 2}, {-7, 5, w / 2 + 3, h / 2 + 11}},
    };
    for (const auto& draw : draws) {
        SCOPED_TRACE(testing::Message() << "rect " << draw.rect.width() << "x" << draw.rect.height());
        EXPECT_TRUE(
            samePixels(expectedDraw(reference, draw.target, draw.rect), programDraw(picture, draw.target, draw.rect)));
    }
}

JpegRecipe greyRecipe(int width, int height)
{
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.input = JCS_GRAYSCALE;
    recipe.pixel = [](int x, int y, JSAMPLE* s) { s[0] = static_cast<JSAMPLE>(x * 3 + y * 5 + ((x * y) % 17) * 4); };
    return recipe;
}

JpegRecipe colourRecipe(int width, int height)
{
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixel = [](int x, int y, JSAMPLE* s) {
        s[0] = static_cast<JSAMPLE>(x * 4);
        s[1] = static_cast<JSAMPLE>(y * 6);
        s[2] = static_cast<JSAMPLE>((x ^ y) * 5);
    };
    return recipe;
}

JpegRecipe cmykRecipe(J_COLOR_SPACE stored)
{
    JpegRecipe recipe;
    recipe.width = 61;
    recipe.height = 43;
    recipe.input = JCS_CMYK;
    recipe.stored = stored;
    recipe.pixel = [](int x, int y, JSAMPLE* s) {
        s[0] = static_cast<JSAMPLE>(x * 4);
        s[1] = static_cast<JSAMPLE>(y * 5);
        s[2] = static_cast<JSAMPLE>(255 - x * 3);
        s[3] = static_cast<JSAMPLE>(128 + (x + y) % 100);
    };
    return recipe;
}

// The file with its frame header's height and width replaced.
QByteArray withDeclaredSize(QByteArray jpeg, unsigned char frameMarker, int width, int height)
{
    const qsizetype sof = markerEnd(jpeg, frameMarker);
    EXPECT_GT(sof, 0);
    if (sof < 0 || sof + 7 > jpeg.size())
        return {};
    jpeg[sof + 3] = static_cast<char>(height >> 8);
    jpeg[sof + 4] = static_cast<char>(height & 0xFF);
    jpeg[sof + 5] = static_cast<char>(width >> 8);
    jpeg[sof + 6] = static_cast<char>(width & 0xFF);
    return jpeg;
}

class ReferenceJpeg : public testing::TestWithParam<const char*> { };

TEST_P(ReferenceJpeg, DrawsDjpegsPixelsSampledByTheNearestRule)
{
    const QByteArray jpeg = testDataFile(QStringLiteral("refimages/") + GetParam());
    ASSERT_FALSE(jpeg.isEmpty());
    expectSameDraws(jpeg, djpegDecode(jpeg));
}

// Baseline (h2v2), progressive, arithmetic-coded.
INSTANTIATE_TEST_SUITE_P(Files, ReferenceJpeg, testing::Values("testorig.jpg", "testimgint.jpg", "testimgari.jpg"));

TEST(JpegDecode, GreyscaleIsQuantisedTo236LevelsWithFloydSteinberg)
{
    const QByteArray jpeg = compressJpeg(greyRecipe(123, 77));
    const QImage reference = djpegDecode(jpeg, djpegGreyOptions());
    expectSameDraws(jpeg, reference);
    // The dithering shows: the decode is not plain libjpeg grey.
    EXPECT_FALSE(samePixels(djpegDecode(jpeg, {"-grayscale"}).convertToFormat(QImage::Format_RGB32),
                            reference.convertToFormat(QImage::Format_RGB32)));
}

TEST(JpegDecode, ProgressiveGreyscaleToo)
{
    JpegRecipe recipe = greyRecipe(90, 150);
    recipe.progressive = true;
    const QByteArray jpeg = compressJpeg(recipe);
    expectSameDraws(jpeg, djpegDecode(jpeg, djpegGreyOptions()));
}

TEST(JpegDecode, ColourWithoutChromaSubsamplingAndRgbStored)
{
    expectSameDraws(compressJpeg(colourRecipe(70, 45)), djpegDecode(compressJpeg(colourRecipe(70, 45))));
    JpegRecipe rgb = colourRecipe(33, 65);
    rgb.stored = JCS_RGB;
    const QByteArray jpeg = compressJpeg(rgb);
    expectSameDraws(jpeg, djpegDecode(jpeg));
}

TEST(JpegDecode, SkippedRowsMatchAFullDecodeForEverySubsampling)
{
    // Reduced draws skip source rows; fancy upsampling must still see them.
    const int samplings[][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 1}};
    for (const auto& sampling : samplings) {
        SCOPED_TRACE(testing::Message() << "luma " << sampling[0] << "x" << sampling[1]);
        JpegRecipe recipe = colourRecipe(150, 260);
        recipe.lumaSampling[0] = sampling[0];
        recipe.lumaSampling[1] = sampling[1];
        const QByteArray jpeg = compressJpeg(recipe);
        expectSameDraws(jpeg, djpegDecode(jpeg));
    }
}

TEST(JpegDecode, EachRowIsToldOnceTopToBottomAsSoonAsItIsWritten)
{
    const QByteArray jpeg = compressJpeg(colourRecipe(70, 45));
    const Picture picture = readJpeg(jpeg);
    QImage whole = whiteImage(QSize(70, 45));
    picture.stretchDraw(whole, whole.rect());

    QImage target = whiteImage(whole.size());
    std::vector<int> told;
    picture.stretchDrawRows(target, target.rect(), [&](int y) {
        told.push_back(y);
        EXPECT_EQ(std::memcmp(target.constScanLine(y), whole.constScanLine(y), std::size_t(whole.bytesPerLine())), 0)
            << "row " << y;
    });
    std::vector<int> everyRow(45);
    std::iota(everyRow.begin(), everyRow.end(), 0);
    EXPECT_EQ(told, everyRow);
    EXPECT_EQ(target, whole);
}

TEST(JpegDecode, AdobeCmykAndYcckBecomeRgb)
{
    for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        SCOPED_TRACE(stored == JCS_CMYK ? "CMYK" : "YCCK");
        const QByteArray jpeg = compressJpeg(cmykRecipe(stored));
        expectSameDraws(jpeg, djpegDecode(jpeg));
    }
}

TEST(JpegDecode, TruncatedFileDecodesAsFarAsItGoes)
{
    const QByteArray whole = testDataFile(QStringLiteral("refimages/testorig.jpg"));
    const QByteArray cut = whole.left(whole.size() * 3 / 5);
    const QImage reference = djpegDecode(cut);
    expectSameDraws(cut, reference);
    // The top survives, the bottom is the library's filler grey.
    const QImage full = djpegDecode(whole);
    EXPECT_TRUE(sameColour(colourAt(full, 10, 5), colourAt(reference, 10, 5)));
    EXPECT_TRUE(sameColour(0x808080, colourAt(reference, reference.width() - 1, reference.height() - 1)));
    // Cut anywhere short of its end marker, the file says so; bytes after
    // that marker (a camera's trailer) are no cut.
    EXPECT_TRUE(readJpeg(cut).cutShort());
    EXPECT_TRUE(readJpeg(whole.chopped(2)).cutShort());
    EXPECT_FALSE(readJpeg(whole).cutShort());
    EXPECT_FALSE(readJpeg(whole + QByteArray(300, '\x11')).cutShort());
    // An end marker before the picture's data (in a comment, as in a
    // thumbnail) is none of the picture's.
    const QByteArray comment = QByteArray("\xFF\xFE\x00\x04\xFF\xD9", 6);
    EXPECT_TRUE(readJpeg(cut.left(2) + comment + cut.mid(2)).cutShort());
}

TEST(JpegDecode, TruncatedArithmeticFilesDecodeAsTheLibraryDoes)
{
    // Past its data the arithmetic decoder goes on with zeros, no warning.
    JpegRecipe colour = colourRecipe(300, 200);
    colour.arithmetic = true;
    JpegRecipe grey = greyRecipe(300, 200);
    grey.arithmetic = true;
    for (const JpegRecipe& recipe : {colour, grey}) {
        const QByteArray whole = compressJpeg(recipe);
        const QByteArray cut = whole.left(whole.size() / 2);
        expectSameDraws(cut, djpegDecode(cut, recipe.input == JCS_GRAYSCALE ? djpegGreyOptions() : QStringList()));
    }
}

TEST(JpegDecode, TruncatedGreyscaleKeepsItsDithering)
{
    const QByteArray whole = compressJpeg(greyRecipe(200, 180));
    const QByteArray cut = whole.left(whole.size() / 2);
    expectSameDraws(cut, djpegDecode(cut, djpegGreyOptions()));
}

TEST(JpegLoad, HeaderGivesTheSizeWithoutDecoding)
{
    // Data the decoder rejects (a scan naming Huffman tables that were never
    // defined) loads, and fails only when drawn.
    QByteArray jpeg = testDataFile(QStringLiteral("refimages/testorig.jpg"));
    const qsizetype sos = markerEnd(jpeg, 0xDA);
    ASSERT_GT(sos, 0);
    ASSERT_LT(sos + 4, jpeg.size());
    jpeg[sos + 4] = static_cast<char>(0x33);
    Picture picture;
    ASSERT_NO_THROW(picture = readJpeg(jpeg));
    EXPECT_EQ(picture.width(), 227);
    EXPECT_EQ(picture.height(), 149);
    QImage target = whiteImage({100, 60});
    EXPECT_EQ(errorOf([&] { picture.stretchDraw(target, target.rect()); }), jpegError(JERR_NO_HUFF_TABLE));
}

TEST(JpegLoad, BrokenHeadersFailWithTheLibrarysCode)
{
    EXPECT_EQ(errorOf([] { readJpeg(QByteArray("GIF89a, not a JPEG")); }), jpegError(JERR_NO_SOI));
    EXPECT_EQ(errorOf([] { readJpeg(QByteArray()); }), jpegError(JERR_INPUT_EMPTY));
    const QByteArray zeroWide = withDeclaredSize(testDataFile(QStringLiteral("refimages/testorig.jpg")), 0xC0, 0, 149);
    EXPECT_EQ(errorOf([&] { readJpeg(zeroWide); }), jpegError(JERR_EMPTY_IMAGE));
    const QByteArray headerOnly = testDataFile(QStringLiteral("refimages/testorig.jpg")).left(20);
    EXPECT_TRUE(errorOf([&] { readJpeg(headerOnly); }).startsWith(QStringLiteral("JPEG エラー #")));
}

TEST(JpegLoad, TwelveBitFileIsAnErrorNotACrash)
{
    const QByteArray jpeg = testDataFile(QStringLiteral("refimages/monkey12.jpg"));
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_EQ(errorOf([&] { readJpeg(jpeg); }), jpegError(JERR_BAD_PRECISION));
}

TEST(JpegLoad, ExtensionInCapitalsLoadsAsJpeg)
{
    const QString path = QDir(temporaryDirectory()).filePath(QStringLiteral("PHOTO.JPG"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(testDataFile(QStringLiteral("refimages/testorig.jpg")));
    file.close();
    const Picture picture = readPictureFile(path);
    EXPECT_EQ(picture.kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture.width(), 227);
    EXPECT_EQ(picture.height(), 149);
}

// A recipe's 16 x 16 picture declared 65 500 pixels square: drawn into
// 256 x 256 without throwing, it is the library's mid-grey filler past its few
// real bytes, at the corner and at one more point.
void expectFillerWhenDeclaredHuge(const JpegRecipe& recipe, unsigned char frameMarker, QPoint inside)
{
    const Picture picture = readJpeg(withDeclaredSize(compressJpeg(recipe), frameMarker, 65500, 65500));
    EXPECT_EQ(picture.width(), 65500);
    EXPECT_EQ(picture.height(), 65500);
    QImage target = whiteImage({256, 256});
    ASSERT_NO_THROW(picture.stretchDraw(target, target.rect()));
    EXPECT_TRUE(sameColour(0x808080, colourAt(target, 255, 255)));
    EXPECT_TRUE(sameColour(0x808080, colourAt(target, inside.x(), inside.y())));
}

TEST(JpegHostile, HugeDeclaredBaselineDrawsIntoASmallTarget)
{
    expectFillerWhenDeclaredHuge(colourRecipe(16, 16), 0xC0, {128, 200});
}

TEST(JpegHostile, HugeDeclaredGreyscaleSkipsTheFillerItCannotHold)
{
    expectFillerWhenDeclaredHuge(greyRecipe(16, 16), 0xC0, {3, 180});
}

TEST(JpegHostile, HugeDeclaredArithmeticDrawsFillerPastItsData)
{
    // Decoding its 4.3 gigapixels from nothing would take the better part of a minute.
    JpegRecipe colour = colourRecipe(16, 16);
    colour.arithmetic = true;
    JpegRecipe grey = greyRecipe(16, 16);
    grey.arithmetic = true;
    for (const JpegRecipe& recipe : {colour, grey})
        expectFillerWhenDeclaredHuge(recipe, 0xC9, {7, 128});
}

TEST(JpegHostile, HugeDeclaredProgressiveStopsAtTheMemoryLimit)
{
    JpegRecipe recipe = colourRecipe(16, 16);
    recipe.progressive = true;
    const QByteArray jpeg = withDeclaredSize(compressJpeg(recipe), 0xC2, 65500, 65500);
    const Picture picture = readJpeg(jpeg);
    QImage target = whiteImage({64, 64});
    EXPECT_EQ(errorOf([&] { picture.stretchDraw(target, target.rect()); }), jpegError(JERR_NO_BACKING_STORE));
}

} // namespace
