// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The system clipboard service on Qt's clipboard.
#include "surface/ui/Clipboard.h"
#include "base/PlanixError.h"
#include "support/Pictures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

QClipboard& systemClipboard() { return *QGuiApplication::clipboard(); }

void offerMimeType(const QString& type)
{
    auto* data = new QMimeData;
    data->setData(type, QByteArray("\x01\x00\x09\x00", 4));
    systemClipboard().setMimeData(data);
}

QString failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PlanixError& error) {
        return error.message();
    }
    return {};
}

class SystemClipboardService : public ::testing::Test {
protected:
    void SetUp() override { systemClipboard().clear(); }
    ClipboardService& service = clipboard();
};

TEST_F(SystemClipboardService, AnEmptyClipboardOffersNothing)
{
    EXPECT_FALSE(service.hasFormat(CF_BITMAP));
    EXPECT_FALSE(service.hasFormat(CF_PICTURE));
    EXPECT_EQ(failureOf([&] { service.bitmap(); }), QStringLiteral("未対応のクリップボード データです"));
}

TEST_F(SystemClipboardService, TextIsNoPicture)
{
    systemClipboard().setText(QStringLiteral("12.5"));
    EXPECT_FALSE(service.hasFormat(CF_BITMAP));
    EXPECT_FALSE(service.hasFormat(CF_PICTURE));
}

TEST_F(SystemClipboardService, AnImageIsABitmapAndAPicture)
{
    systemClipboard().setImage(makeBitmap(3, 2, [](int x, int y) { return rgbColour(x * 80, y * 90, 7); }).image());
    EXPECT_TRUE(service.hasFormat(CF_BITMAP));
    EXPECT_TRUE(service.hasFormat(CF_PICTURE));
    EXPECT_FALSE(service.hasFormat(CF_METAFILEPICT)); // only the two formats the program asks about
}

TEST_F(SystemClipboardService, EveryMetafileTypeIsAPictureButNoBitmap)
{
    for (const QString& type : metafileMimeTypes()) {
        SCOPED_TRACE(type.toStdString());
        offerMimeType(type);
        EXPECT_FALSE(service.hasFormat(CF_BITMAP));
        EXPECT_TRUE(service.hasFormat(CF_PICTURE));
        EXPECT_EQ(failureOf([&] { service.bitmap(); }), QStringLiteral("未対応のクリップボード データです"));
    }
}

TEST_F(SystemClipboardService, ABitmapPlacedComesBackPixelForPixel)
{
    const TBitmap placed = makeBitmap(17, 9, [](int x, int y) { return rgbColour(x * 15, y * 28, (x ^ y) * 9); });
    service.setBitmap(placed);

    EXPECT_TRUE(samePixels(placed.image(), systemClipboard().image()));
    EXPECT_TRUE(samePixels(placed.image(), service.bitmap().image()));
}

TEST_F(SystemClipboardService, PlacingABitmapEmptiesTheClipboardFirst)
{
    offerMimeType(QStringLiteral("image/x-wmf"));
    service.setBitmap(filledBitmap(2, 2, clBlack));

    EXPECT_FALSE(systemClipboard().mimeData()->hasFormat(QStringLiteral("image/x-wmf")));
}

TEST_F(SystemClipboardService, AnIndexedBitmapKeepsItsPalette)
{
    QImage indexed(5, 3, QImage::Format_Indexed8);
    const QList<QRgb> palette{qRgb(1, 2, 3), qRgb(250, 128, 7), qRgb(9, 200, 255)};
    indexed.setColorTable(palette);
    indexed.fill(2);
    indexed.setPixel(4, 0, 1);

    service.setBitmap(TBitmap(indexed));
    const TBitmap taken = service.bitmap();

    EXPECT_EQ(taken.image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(taken.image().colorTable(), palette);
    EXPECT_EQ(taken.image().pixelIndex(4, 0), 1);
}

TEST_F(SystemClipboardService, AnImageWithAlphaKeepsItsColoursAndLosesItsAlpha)
{
    QImage translucent(2, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(10, 20, 30, 255));
    translucent.setPixel(1, 0, qRgba(200, 100, 50, 0));
    systemClipboard().setImage(translucent);

    const TBitmap taken = service.bitmap();

    EXPECT_EQ(taken.image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(sameColour(rgbColour(10, 20, 30), colourAt(taken.image(), 0, 0)));
    EXPECT_TRUE(sameColour(rgbColour(200, 100, 50), colourAt(taken.image(), 1, 0)));
}

} // namespace
