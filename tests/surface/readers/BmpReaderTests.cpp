// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The BMP reader on files built byte by byte: headers, truncation, pixel
// formats, palettes, RLE, and lying headers.
#include "BmpBytes.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "support/Pictures.h"

#include <gtest/gtest.h>

namespace {

const std::string readError = "ストリームからの読み込みエラー";
const std::string invalidBitmap = "ビットマップイメージが不正です";

std::string failureOf(const QByteArray& bytes)
{
    try {
        readBmp(bytes);
    } catch (const PlanixError& e) {
        return e.message().toStdString();
    }
    return "(no error)";
}

QImage pixelsOf(const QByteArray& bytes)
{
    const Picture picture = readBmp(bytes);
    EXPECT_EQ(picture.kind(), PictureKind::Bitmap);
    return picture.bitmap() ? picture.bitmap()->image() : QImage();
}

// A 24-bit file of width x height whose rows are given top row first.
QByteArray rgb24File(int width, int height, const QList<QByteArray>& rowsTopFirst, bool topDown = false)
{
    QByteArray pixels;
    for (int r = 0; r < height; ++r) {
        QByteArray row = rowsTopFirst[topDown ? r : height - 1 - r];
        row.resize((row.size() + 3) / 4 * 4, '\0');
        pixels.append(row);
    }
    return bmpFile({.width = width, .height = topDown ? -height : height}, {}, pixels);
}

QByteArray bgr(QRgb c) { return LeBytes().u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).bytes; }

// An 8-bit RLE file of width x height with the given palette and stream.
QByteArray rle8File(int width, int height, const QByteArray& palette, const QByteArray& stream)
{
    InfoHeader h{.width = width, .height = height, .bitCount = 8, .compression = 1};
    h.imageSize = stream.size();
    h.coloursUsed = palette.size() / 4;
    return bmpFile(h, palette, stream);
}

const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);

::testing::AssertionResult row(const QImage& image, int y, std::initializer_list<QRgb> expected)
{
    int x = 0;
    for (QRgb c : expected) {
        auto same = sameColour(fromQRgb(c), colourAt(image, x, y));
        if (!same)
            return same << " at (" << x << ", " << y << ")";
        ++x;
    }
    if (x != image.width())
        return ::testing::AssertionFailure() << "width " << image.width() << ", expected " << x;
    return ::testing::AssertionSuccess();
}

// ------------------------------------------------------------ headers

TEST(BmpHeaders, EmptyFileIsAnEmptyPicture)
{
    const Picture picture = readBmp(QByteArray());
    EXPECT_EQ(picture.kind(), PictureKind::Empty);
    EXPECT_EQ(picture.width(), 0);
}

TEST(BmpHeaders, SignatureMustBeBM)
{
    QByteArray file = rgb24File(1, 1, {bgr(red)});
    ASSERT_EQ(pixelsOf(file).width(), 1);
    file[1] = 'A';
    EXPECT_EQ(failureOf(file), invalidBitmap);
    file[0] = 'b';
    file[1] = 'm';
    EXPECT_EQ(failureOf(file), invalidBitmap);
}

TEST(BmpHeaders, OnlyOnePlaneIsValid)
{
    for (unsigned planes : {0u, 2u, 0xFFFFu}) {
        EXPECT_EQ(failureOf(bmpFile({.planes = planes}, {}, bgr(red) + '\0')), invalidBitmap) << planes;
        EXPECT_EQ(failureOf(bmpFile({.size = 12, .planes = planes}, {}, bgr(red) + '\0')), invalidBitmap);
        // Said before the masks that should follow the header are missed.
        EXPECT_EQ(failureOf(bmpFile({.planes = planes, .bitCount = 16, .compression = 3}, {}, {})), invalidBitmap);
    }
}

TEST(BmpHeaders, HeadersThatMakeNoSenseAreInvalid)
{
    const QByteArray pixels(64, '\0');
    const QList<InfoHeader> bad = {
        {.size = 66}, // no known header has 66 bytes
        {.size = 11},
        {.size = 200},
        {.bitCount = 0},
        {.bitCount = 7},
        {.bitCount = 64},
        {.compression = 4}, // JPEG inside
        {.compression = 5}, // PNG inside
        {.compression = 7},
        {.compression = 3},                             // bit fields need 16 or 32 bits
        {.bitCount = 4, .compression = 1},              // RLE8 on 4 bits
        {.bitCount = 8, .compression = 2},              // RLE4 on 8 bits
        {.size = 64, .bitCount = 32, .compression = 3}, // Huffman in an OS/2 2.x header
        {.width = 0},
        {.width = -5},
        {.height = 0},
        {.height = -1, .bitCount = 8, .compression = 1}, // RLE rows never run top-down
    };
    for (const InfoHeader& h : bad)
        EXPECT_EQ(failureOf(bmpFile(h, QByteArray(16, '\0'), pixels)), invalidBitmap)
            << "size " << h.size << " bits " << h.bitCount << " compression " << h.compression << " width " << h.width
            << " height " << h.height;
}

// ------------------------------------------------------------ truncation

TEST(BmpTruncation, FileCutAnywhereIsAReadError)
{
    const QByteArray whole = bmpFile({.width = 2, .height = 2, .bitCount = 8},
                                     paletteBytes({red, green, blue}) + QByteArray(4 * 253, '\0'), QByteArray(8, '\1'));
    ASSERT_EQ(pixelsOf(whole).width(), 2);
    for (int cut : {1, 2, 10, 14, 17, 30, 53, 60, 14 + 40 + 1024, int(whole.size()) - 4 - 2 - 1})
        EXPECT_EQ(failureOf(whole.left(cut)), readError) << "cut at " << cut;
}

TEST(BmpTruncation, LastRowMayLackItsPadding)
{
    const QByteArray whole = rgb24File(1, 2, {bgr(red), bgr(blue)});
    const QImage image = pixelsOf(whole.left(whole.size() - 1));
    EXPECT_TRUE(row(image, 0, {red}));
    EXPECT_EQ(failureOf(whole.left(whole.size() - 2)), readError);
}

TEST(BmpTruncation, HugeSizesInATinyFileFailBeforeAllocating)
{
    for (unsigned bits : {1u, 8u, 24u, 32u}) {
        QByteArray file = bmpFile({.width = 100000, .height = 100000, .bitCount = bits}, {}, QByteArray(46, '\0'));
        file.resize(100);
        EXPECT_EQ(failureOf(file), readError) << bits;
    }
    EXPECT_EQ(failureOf(bmpFile({.width = 0x7FFFFFFF, .height = INT32_MIN, .bitCount = 32}, {}, {})), readError);
}

TEST(BmpTruncation, PixelOffsetBeyondTheFileIsAReadError)
{
    QByteArray file = rgb24File(1, 1, {bgr(red)});
    LeBytes offset;
    offset.u32(1000);
    file.replace(10, 4, offset.bytes);
    EXPECT_EQ(failureOf(file), readError);
}

// ------------------------------------------------------------ pixel formats

TEST(BmpPixels, BottomUpAndTopDownRowsGiveTheSamePicture)
{
    const QList<QByteArray> rows = {bgr(red) + bgr(green) + bgr(blue), bgr(white) + bgr(black) + bgr(red)};
    for (bool topDown : {false, true}) {
        const QImage image = pixelsOf(rgb24File(3, 2, rows, topDown));
        EXPECT_EQ(image.format(), QImage::Format_BGR888); // three bytes a pixel, as stored
        EXPECT_TRUE(row(image, 0, {red, green, blue})) << topDown;
        EXPECT_TRUE(row(image, 1, {white, black, red})) << topDown;
    }
}

TEST(BmpPixels, SixteenBitsDefaultToFiveBitsPerChannelScaledToFull)
{
    const QByteArray pixels = LeBytes().u16(0x7FFF).u16(0x001F).u16(0x03E0).u16(0x8000 | 0x4210).bytes;
    const QImage image = pixelsOf(bmpFile({.width = 4, .bitCount = 16}, {}, pixels));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_TRUE(row(image, 0, {white, blue, green, qRgb(132, 132, 132)}));
}

TEST(BmpPixels, BitFieldMasksFollowAFortyByteHeader)
{
    const QByteArray masks565 = LeBytes().u32(0xF800).u32(0x07E0).u32(0x001F).bytes;
    const QByteArray pixels = LeBytes().u16(0xFFFF).u16(0x07E0).u16(0x0020).u16(0).bytes;
    const QImage image = pixelsOf(bmpFile({.width = 4, .bitCount = 16, .compression = 3}, masks565, pixels));
    EXPECT_TRUE(row(image, 0, {white, green, qRgb(0, 4, 0), black}));

    // Alpha bit fields carry a fourth mask, which is not used.
    const QByteArray masks = LeBytes().u32(0xFF).u32(0xFF00).u32(0xFF0000).u32(0xFF000000).bytes;
    const QImage alpha = pixelsOf(bmpFile({.width = 2, .bitCount = 32, .compression = 6}, masks,
                                          LeBytes().u32(0x800000FF).u32(0x00FF0000).bytes));
    EXPECT_TRUE(row(alpha, 0, {red, blue}));
}

TEST(BmpPixels, MasksInsideAVersionFourHeader)
{
    QByteArray header = infoHeader({.size = 108, .width = 2, .bitCount = 32, .compression = 3});
    header.replace(40, 12, LeBytes().u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000).bytes);
    LeBytes file;
    file.u8('B').u8('M').u32(0).u32(0).u32(14 + 108).raw(header).u32(0x0000FF00).u32(0x40000000);
    const QImage image = pixelsOf(file.bytes);
    EXPECT_TRUE(row(image, 0, {red, qRgb(0, 0, 64)}));
}

TEST(BmpPixels, ThirtyTwoBitsIgnoreAlphaAndUseUnusualMasks)
{
    const QImage plain = pixelsOf(
        bmpFile({.width = 2, .bitCount = 32}, {}, LeBytes().u32(0x00123456).u32(0xFF654321).bytes));
    EXPECT_TRUE(row(plain, 0, {qRgb(0x12, 0x34, 0x56), qRgb(0x65, 0x43, 0x21)}));
    EXPECT_EQ(qAlpha(plain.pixel(0, 0)), 255);

    // 10 bits per channel: full scale stays 255, half scale rounds.
    const QByteArray masks = LeBytes().u32(0x3FF00000).u32(0x000FFC00).u32(0x000003FF).bytes;
    const QImage wide = pixelsOf(bmpFile({.width = 2, .bitCount = 32, .compression = 3}, masks,
                                         LeBytes().u32(0x3FFFFFFF).u32(0x200u << 20).bytes));
    EXPECT_TRUE(row(wide, 0, {white, qRgb(128, 0, 0)}));
}

// ------------------------------------------------------------ palettes

TEST(BmpPalette, IndexedFilesKeepTheirPaletteFilledUpWithBlack)
{
    // 4 bits, two colours declared; index 5 lies beyond the palette.
    const QByteArray pixels = LeBytes().u8(0x01).u8(0x50).u16(0).bytes;
    const QImage image = pixelsOf(
        bmpFile({.width = 4, .bitCount = 4, .coloursUsed = 2}, paletteBytes({red, blue}), pixels));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 16);
    EXPECT_EQ(image.color(0), red);
    EXPECT_EQ(image.color(1), blue);
    EXPECT_TRUE(row(image, 0, {red, blue, black, red}));
}

TEST(BmpPalette, OneTwoAndEightBitIndexesUnpackHighBitsFirst)
{
    const QImage one = pixelsOf(
        bmpFile({.width = 10, .bitCount = 1}, paletteBytes({black, white}), LeBytes().u8(0xA0).u8(0x40).u16(0).bytes));
    EXPECT_TRUE(row(one, 0, {white, black, white, black, black, black, black, black, black, white}));

    const QImage two = pixelsOf(bmpFile({.width = 5, .bitCount = 2}, paletteBytes({black, red, green, blue}),
                                        LeBytes().u8(0x1B).u8(0x80).u16(0).bytes));
    EXPECT_TRUE(row(two, 0, {black, red, green, blue, green}));

    const QImage eight = pixelsOf(bmpFile({.width = 3, .bitCount = 8, .coloursUsed = 3},
                                          paletteBytes({red, green, blue}), LeBytes().u8(2).u8(0).u8(255).u8(0).bytes));
    EXPECT_TRUE(row(eight, 0, {blue, red, black}));
}

TEST(BmpPalette, OS2CoreHeaderHasThreeBytePaletteEntries)
{
    const QImage image = pixelsOf(bmpFile({.size = 12, .width = 3, .bitCount = 8},
                                          paletteBytes({green, blue}, 3) + QByteArray(3 * 254, '\0'),
                                          LeBytes().u8(1).u8(0).u8(1).u8(0).bytes));
    EXPECT_TRUE(row(image, 0, {blue, green, blue}));
}

TEST(BmpPalette, PixelOffsetShortensThePalette)
{
    // An 8-bit OS/2 file with room for two entries only: the pixels start there.
    const QImage image = pixelsOf(bmpFile({.size = 12, .width = 2, .bitCount = 8}, paletteBytes({green, blue}, 3),
                                          LeBytes().u8(1).u8(2).u16(0).bytes));
    EXPECT_TRUE(row(image, 0, {blue, black}));
}

TEST(BmpPalette, ShortOs2TwoHeaderReadsMissingFieldsAsZero)
{
    // 16-byte OS/2 2.x header: no colour count, so 2^8 entries, shortened by the offset.
    const QImage image = pixelsOf(bmpFile({.size = 16, .width = 2, .bitCount = 8}, paletteBytes({red, green}),
                                          LeBytes().u8(1).u8(0).u16(0).bytes));
    EXPECT_TRUE(row(image, 0, {green, red}));
}

// ------------------------------------------------------------ RLE

TEST(BmpRle, RunsLiteralsLineEndsAndSkips)
{
    const QByteArray palette = paletteBytes({black, red, green, blue});
    const QByteArray stream = LeBytes()
                                  .u8(2)
                                  .u8(1) // bottom row: 2 x red
                                  .u8(0)
                                  .u8(3)
                                  .u8(2)
                                  .u8(3)
                                  .u8(2)
                                  .u8(0) // literals green blue green, padded
                                  .u8(0)
                                  .u8(0) // end of line
                                  .u8(0)
                                  .u8(2)
                                  .u8(1)
                                  .u8(1) // skip right 1, up 1
                                  .u8(1)
                                  .u8(3) // top row: blue at x 1
                                  .u8(0)
                                  .u8(1) // end of bitmap
                                  .bytes;
    const QImage image = pixelsOf(rle8File(5, 3, palette, stream));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(row(image, 2, {red, red, green, blue, green}));
    EXPECT_TRUE(row(image, 1, {black, black, black, black, black})); // left out: index 0
    EXPECT_TRUE(row(image, 0, {black, blue, black, black, black}));
}

TEST(BmpRle, RunsPastTheRowAreCutNotWrapped)
{
    const QByteArray palette = paletteBytes({black, red, green});
    const QByteArray stream =
        LeBytes().u8(255).u8(1).u8(0).u8(5).u8(2).u8(2).u8(2).u8(2).u8(2).u8(0).u8(0).u8(0).u8(1).u8(2).bytes;
    const QImage image = pixelsOf(rle8File(3, 2, palette, stream));
    EXPECT_TRUE(row(image, 1, {red, red, red}));
    EXPECT_TRUE(row(image, 0, {green, black, black}));
}

TEST(BmpRle, MovesPastThePictureAndCutStreamsEndIt)
{
    const QByteArray palette = paletteBytes({black, red});
    const QByteArray skipOut = LeBytes().u8(1).u8(1).u8(0).u8(2).u8(200).u8(200).u8(3).u8(1).bytes;
    EXPECT_TRUE(row(pixelsOf(rle8File(2, 2, palette, skipOut)), 1, {red, black}));
    // Literals announced beyond the stream's end: what is there is drawn.
    const QByteArray cut = LeBytes().u8(0).u8(9).u8(1).bytes;
    EXPECT_TRUE(row(pixelsOf(rle8File(2, 1, palette, cut)), 0, {red, black}));
}

TEST(BmpRle, FourBitRunsAlternateTheirTwoIndexes)
{
    const QByteArray palette = paletteBytes({black, red, green, blue});
    const QByteArray stream = LeBytes().u8(5).u8(0x12).u8(0).u8(3).u8(0x31).u8(0x20).u8(0).u8(1).bytes;
    InfoHeader h{.width = 8, .height = 1, .bitCount = 4, .compression = 2, .coloursUsed = 4};
    const QImage image = pixelsOf(bmpFile(h, palette, stream));
    EXPECT_TRUE(row(image, 0, {red, green, red, green, red, blue, red, green}));
}

TEST(BmpRle, StreamMustHoldWhatItsHeaderPromises)
{
    const QByteArray palette = paletteBytes({black});
    QByteArray file = rle8File(2, 1, palette, LeBytes().u8(0).u8(1).bytes);
    file.chop(1); // the header says two bytes of stream
    EXPECT_EQ(failureOf(file), readError);
}

TEST(BmpRle, PictureSizeMustBeJustifiedByTheStream)
{
    const QByteArray endOfBitmap = LeBytes().u8(0).u8(1).bytes;
    EXPECT_EQ(failureOf(rle8File(60000, 60000, paletteBytes({black}), endOfBitmap)), readError);
    // 256 x 256 is allowed whatever the stream.
    EXPECT_EQ(pixelsOf(rle8File(256, 256, paletteBytes({black}), endOfBitmap)).width(), 256);
    // A long stream still cannot buy more than 2^28 pixels.
    QByteArray longStream(1200000, '\0');
    longStream[1] = 1;
    EXPECT_EQ(failureOf(rle8File(16400, 16400, paletteBytes({black}), longStream)), invalidBitmap);
}

} // namespace
