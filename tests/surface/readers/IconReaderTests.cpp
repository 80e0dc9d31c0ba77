// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The icon reader on icons built byte by byte: the choice of image, the
// transparency over the target, scaling, and broken files.
#include "BmpBytes.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "support/Pictures.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

const std::string readError = "ストリームからの読み込みエラー";
const std::string invalidBitmap = "ビットマップイメージが不正です";

// A bitmap icon image: header of doubled height, palette, colour rows and
// AND mask rows, both bottom row first.
QByteArray dibImage(int width, int height, unsigned bits, const QByteArray& palette, const QByteArray& colourRows,
                    const QByteArray& maskRows)
{
    InfoHeader h{.width = width, .height = 2 * height, .bitCount = bits};
    h.coloursUsed = palette.size() / 4;
    return infoHeader(h) + palette + colourRows + maskRows;
}

// A mask row of a narrow icon: bits from the left, padded to 4 bytes.
QByteArray maskRow(unsigned bitsFromLeft) { return LeBytes().u8(bitsFromLeft).u8(0).u16(0).bytes; }

QByteArray bgra(QRgb c) { return LeBytes().u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(qAlpha(c)).bytes; }

QByteArray pngImage(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The directory claims 16 x 16 at 4 bits for every image: the reader must
// look at the images themselves.
QByteArray icoFile(const QList<QByteArray>& images)
{
    LeBytes file;
    file.u16(0).u16(1).u16(images.size());
    std::uint32_t offset = 6 + 16 * images.size();
    for (const QByteArray& image : images) {
        file.u8(16).u8(16).u8(16).u8(0).u16(1).u16(4).u32(image.size()).u32(offset);
        offset += image.size();
    }
    for (const QByteArray& image : images)
        file.raw(image);
    return file.bytes;
}

// A solid opaque 32-bit icon image, at most 32 wide, with an empty mask.
QByteArray solidImage(int width, int height, QRgb colour)
{
    QByteArray colourRows, maskRows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            colourRows += bgra(colour | 0xFF000000u);
        maskRows += QByteArray(4, '\0'); // up to 32 pixels wide
    }
    InfoHeader h{.width = width, .height = 2 * height, .bitCount = 32};
    return infoHeader(h) + colourRows + maskRows;
}

std::string failureOf(const QByteArray& bytes)
{
    try {
        readIcon(bytes);
    } catch (const PlanixError& e) {
        return e.message().toStdString();
    }
    return "(no error)";
}

// The icon drawn over a target filled with background.
QImage drawn(const Picture& icon, QSize size, QRgb background)
{
    QImage target(size, QImage::Format_RGB32);
    target.fill(background);
    icon.stretchDraw(target, target.rect());
    return target;
}

const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
const QRgb white = qRgb(255, 255, 255), grey = qRgb(128, 128, 128);

// ------------------------------------------------------------ transparency

TEST(IconTransparency, AlphaOfThirtyTwoBitImagesBlendsOverTheTarget)
{
    // Bottom row: half-transparent green, opaque white; top row: red, fully transparent blue.
    const QByteArray colours = bgra(qRgba(0, 255, 0, 128)) + bgra(qRgba(255, 255, 255, 255))
                               + bgra(qRgba(255, 0, 0, 255)) + bgra(qRgba(0, 0, 255, 0));
    const Picture icon = readIcon(icoFile({dibImage(2, 2, 32, {}, colours, maskRow(0) + maskRow(0))}));
    ASSERT_EQ(icon.kind(), PictureKind::Icon);
    EXPECT_EQ(icon.width(), 2);
    EXPECT_EQ(icon.height(), 2);

    const QImage target = drawn(icon, {2, 2}, grey);
    EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 0, 0)));
    EXPECT_TRUE(sameColour(fromQRgb(grey), colourAt(target, 1, 0)));
    EXPECT_TRUE(sameColour(fromQRgb(white), colourAt(target, 1, 1)));
    const TColor blend = colourAt(target, 0, 1);
    EXPECT_NEAR(redOf(blend), 64, 2);
    EXPECT_NEAR(greenOf(blend), 191, 2);
}

TEST(IconTransparency, AndMaskBitsLeaveTheTargetShowing)
{
    // 8-bit, 2 x 2: mask bit set on the bottom row's right pixel and the top row's left one.
    const QByteArray palette = paletteBytes({red, blue});
    const QByteArray colourRows = LeBytes().u8(0).u8(1).u16(0).u8(1).u8(0).u16(0).bytes;
    const Picture icon = readIcon(icoFile({dibImage(2, 2, 8, palette, colourRows, maskRow(0x40) + maskRow(0x80))}));
    const QImage target = drawn(icon, {2, 2}, grey);
    EXPECT_TRUE(sameColour(fromQRgb(grey), colourAt(target, 0, 0)));
    EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 1, 0)));
    EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 0, 1)));
    EXPECT_TRUE(sameColour(fromQRgb(grey), colourAt(target, 1, 1)));
}

TEST(IconTransparency, ThirtyTwoBitImageWithoutAlphaUsesItsMask)
{
    const QByteArray colours = bgra(qRgba(255, 0, 0, 0)) + bgra(qRgba(0, 0, 255, 0));
    const Picture icon = readIcon(icoFile({dibImage(2, 1, 32, {}, colours, maskRow(0x80))}));
    const QImage target = drawn(icon, {2, 1}, grey);
    EXPECT_TRUE(sameColour(fromQRgb(grey), colourAt(target, 0, 0)));
    EXPECT_TRUE(sameColour(fromQRgb(blue), colourAt(target, 1, 0)));
}

TEST(IconTransparency, ScaledDrawingRepeatsPixelsWithoutBlending)
{
    const QByteArray colours = bgra(red | 0xFF000000u) + bgra(blue | 0xFF000000u);
    const Picture icon = readIcon(icoFile({dibImage(2, 1, 32, {}, colours, maskRow(0))}));
    QImage target(8, 4, QImage::Format_RGB32);
    target.fill(white);
    icon.stretchDraw(target, QRect(1, 1, 4, 2));
    for (int y = 1; y <= 2; ++y) {
        EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 1, y)));
        EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 2, y)));
        EXPECT_TRUE(sameColour(fromQRgb(blue), colourAt(target, 3, y)));
        EXPECT_TRUE(sameColour(fromQRgb(blue), colourAt(target, 4, y)));
    }
    EXPECT_TRUE(sameColour(fromQRgb(white), colourAt(target, 0, 1)));
    EXPECT_TRUE(sameColour(fromQRgb(white), colourAt(target, 5, 1)));
    EXPECT_TRUE(sameColour(fromQRgb(white), colourAt(target, 1, 3)));
}

// ------------------------------------------------------------ choice of image

TEST(IconChoice, LargestImageThenDeepestWins)
{
    const QByteArray small = solidImage(1, 1, green);
    const QByteArray shallow = dibImage(2, 2, 4, paletteBytes({red}), QByteArray(8, '\0'), maskRow(0) + maskRow(0));
    const QByteArray deep = solidImage(2, 2, blue);
    for (const QList<QByteArray>& order : {QList{small, shallow, deep}, QList{deep, shallow, small}}) {
        const Picture icon = readIcon(icoFile(order));
        EXPECT_EQ(icon.width(), 2);
        EXPECT_TRUE(sameColour(fromQRgb(blue), colourAt(drawn(icon, {2, 2}, white), 1, 1)));
    }
}

TEST(IconChoice, PngImagesAreDecodedWithTheirAlpha)
{
    QImage png(3, 3, QImage::Format_ARGB32);
    png.fill(qRgba(0, 0, 0, 0));
    png.setPixel(1, 1, qRgba(255, 0, 0, 255));
    const Picture icon = readIcon(icoFile({solidImage(2, 2, blue), pngImage(png)}));
    EXPECT_EQ(icon.width(), 3);
    const QImage target = drawn(icon, {3, 3}, grey);
    EXPECT_TRUE(sameColour(fromQRgb(red), colourAt(target, 1, 1)));
    EXPECT_TRUE(sameColour(fromQRgb(grey), colourAt(target, 0, 0)));
}

// ------------------------------------------------------------ broken files

TEST(IconErrors, CutFilesAreReadErrors)
{
    const QByteArray whole = icoFile({solidImage(2, 2, red)});
    ASSERT_EQ(readIcon(whole).width(), 2);
    for (int cut : {0, 1, 5, 6, 21, 22 + 20, int(whole.size()) - 1})
        EXPECT_EQ(failureOf(whole.left(cut)), readError) << "cut at " << cut;
}

TEST(IconErrors, WhatIsNoIconIsAnInvalidBitmap)
{
    const QByteArray good = icoFile({solidImage(2, 2, red)});
    QByteArray reserved = good, cursor = good, none = good, planes = good;
    reserved[0] = 1;
    cursor[2] = 2;
    none[4] = 0;
    planes[22 + 12] = 2;
    for (const QByteArray& bytes : {reserved, cursor, none, planes})
        EXPECT_EQ(failureOf(bytes), invalidBitmap);

    QByteArray brokenPng = pngImage(QImage(4, 4, QImage::Format_ARGB32));
    brokenPng.truncate(33);
    brokenPng.append(QByteArray(64, '\x55'));
    EXPECT_EQ(failureOf(icoFile({brokenPng})), invalidBitmap);

    QByteArray hugePng = pngImage(QImage(4, 4, QImage::Format_ARGB32));
    hugePng.replace(16, 8, LeBytes().u8(0).u8(0).u8(0x10).u8(0).u8(0).u8(0).u8(0x10).u8(0).bytes); // 4096 x 4096
    EXPECT_EQ(failureOf(icoFile({hugePng})), invalidBitmap);
}

} // namespace
