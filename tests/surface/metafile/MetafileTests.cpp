// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Metafile pictures (WMF placeable and plain, EMF): size from the header,
// records drawn into the target rectangle over what is there, broken or
// lying files, and the work budget that stops files asking for endless
// drawing.
#include "MetafileFiles.h"

#include "support/ErrorOf.h"
#include "support/Pictures.h"
#include "surface/metafile/MetafilePlayers.h"
#include "surface/metafile/MetafileWork.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000; // COLORREFs

// WMF functions.
constexpr std::uint16_t wmfSetWindowOrg = 0x020B, wmfSetWindowExt = 0x020C, wmfRectangle = 0x041B, wmfEllipse = 0x0418,
                        wmfPolygon = 0x0324, wmfSelectObject = 0x012D, wmfDeleteObject = 0x01F0, wmfCreatePen = 0x02FA,
                        wmfCreateBrush = 0x02FC, wmfLineTo = 0x0213, wmfMoveTo = 0x0214;
// EMF types.
constexpr std::uint32_t emfPolygon = 3, emfEllipse = 42, emfSetWindowExt = 9, emfSetViewportExt = 11,
                        emfSetMapMode = 17, emfRestoreDc = 34, emfSelectObject = 37, emfCreateBrush = 39,
                        emfRectangle = 43, emfStretchDiBits = 81, emfCreateFont = 82, emfTextOutW = 84;
constexpr std::uint32_t nullPen = 0x80000008;

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage draw(const Picture& picture, int width, int height)
{
    QImage image = whiteImage(width, height);
    picture.stretchDraw(image, image.rect());
    return image;
}

const QString cutFile = QStringLiteral("ストリームからの読み込みエラー");
const QString invalidFile = QStringLiteral("メタファイルが不正です");

// Solid brush of colour as object 0, null pen as object 1, both selected.
WmfWriter& wmfFillOnly(WmfWriter& wmf, std::uint32_t colour)
{
    return wmf.record(wmfCreateBrush, words({0}) + dwords({colour}) + words({0}))
        .record(wmfSelectObject, words({0}))
        .record(wmfCreatePen, words({5, 0, 0}) + dwords({0}))
        .record(wmfSelectObject, words({1}));
}

EmfWriter& emfFillOnly(EmfWriter& emf, std::uint32_t colour)
{
    return emf.record(emfCreateBrush, dwords({1, 0, colour, 0}))
        .record(emfSelectObject, dwords({1}))
        .record(emfSelectObject, dwords({nullPen}));
}

// 25 mm square on a reference device of 4 pixels a millimetre: 100 device
// pixels, 94 screen pixels at 96 dpi.
EmfWriter squareEmf() { return EmfWriter(QRect(0, 0, 100, 100), QRect(QPoint(0, 0), QPoint(2500, 2500))); }

bool isWhiteOutside(const QImage& image, const QRect& drawn)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!drawn.contains(x, y) && colourAt(image, x, y) != 0xFFFFFF)
                return false;
    return true;
}

TEST(MetafileSize, PlaceableWmfBoxAt96Dpi)
{
    const Picture picture = readMetafile(WmfWriter(QRect(0, 0, 2880, 1440), 1440).bytes(), false);
    EXPECT_EQ(picture.kind(), PictureKind::Metafile);
    EXPECT_EQ(picture.width(), 192);
    EXPECT_EQ(picture.height(), 96);
}

TEST(MetafileSize, PlainWmfFromItsWindowExtent)
{
    const QByteArray wmf = WmfWriter().record(wmfSetWindowExt, words({100, 200})).bytes();
    const Picture picture = readMetafile(wmf, false);
    EXPECT_EQ(picture.width(), 200);
    EXPECT_EQ(picture.height(), 100);
}

TEST(MetafileSize, EmfFromItsFrameElseItsBounds)
{
    const Picture framed = readMetafile(EmfWriter(QRect(0, 0, 10, 10), QRect(QPoint(0, 0), QPoint(2540, 5080))).bytes(),
                                        true);
    EXPECT_EQ(framed.width(), 96);
    EXPECT_EQ(framed.height(), 192);
    const Picture bounded = readMetafile(EmfWriter(QRect(0, 0, 50, 30), QRect()).bytes(), true);
    EXPECT_EQ(bounded.width(), 50);
    EXPECT_EQ(bounded.height(), 30);
}

TEST(WmfDraw, ShapesLandInTheBoxScaledToTheTarget)
{
    WmfWriter wmf(QRect(0, 0, 100, 100), 96);
    wmfFillOnly(wmf, red)
        .record(wmfRectangle, words({50, 60, 10, 20})) // bottom, right, top, left
        .record(wmfCreateBrush, words({0}) + dwords({blue}) + words({0}))
        .record(wmfSelectObject, words({2}))
        .record(wmfEllipse, words({100, 100, 60, 60}))
        .record(wmfPolygon, words({3, 0, 70, 40, 70, 0, 99}));
    const Picture picture = readMetafile(wmf.bytes(), false);
    ASSERT_EQ(picture.width(), 100);

    const QImage full = draw(picture, 100, 100);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(full, 40, 30)));
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(full, 80, 80)));
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(full, 5, 80)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(full, 5, 5)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(full, 90, 20)));

    const QImage half = draw(picture, 50, 50);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(half, 20, 15)));
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(half, 40, 40)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(half, 2, 2)));
}

TEST(WmfDraw, WindowOriginAndExtentMapOntoTheTarget)
{
    WmfWriter wmf(QRect(0, 0, 100, 100), 96);
    wmf.record(wmfSetWindowOrg, words({-1000, -1000})).record(wmfSetWindowExt, words({2000, 2000}));
    wmfFillOnly(wmf, green).record(wmfRectangle, words({0, 0, -1000, -1000}));
    const QImage image = draw(readMetafile(wmf.bytes(), false), 100, 100);
    EXPECT_TRUE(sameColour(0x00FF00, colourAt(image, 25, 25)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(image, 75, 75)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(0, 0, 51, 51)));
}

TEST(WmfDraw, PensDrawLinesAndDeletedObjectsFreeTheirSlot)
{
    WmfWriter wmf(QRect(0, 0, 100, 100), 96);
    wmf.record(wmfCreatePen, words({0, 1, 0}) + dwords({blue}))   // slot 0
        .record(wmfCreatePen, words({0, 1, 0}) + dwords({green})) // slot 1
        .record(wmfDeleteObject, words({0}))
        .record(wmfCreatePen, words({0, 1, 0}) + dwords({red})) // slot 0 again
        .record(wmfSelectObject, words({0}))
        .record(wmfMoveTo, words({50, 10}))
        .record(wmfLineTo, words({50, 90}));
    const QImage image = draw(readMetafile(wmf.bytes(), false), 100, 100);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(image, 30, 50)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(10, 49, 81, 3)));
}

TEST(EmfDraw, RectangleInTheFrame)
{
    EmfWriter emf = squareEmf();
    emfFillOnly(emf, red).record(emfRectangle, dwords({10, 10, 50, 50}));
    const Picture picture = readMetafile(emf.bytes(), true);
    EXPECT_EQ(picture.width(), 94);
    const QImage image = draw(picture, 100, 100);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(image, 30, 30)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(image, 5, 5)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(9, 9, 43, 43)));
}

TEST(EmfDraw, AnisotropicMappingScalesByViewportOverWindow)
{
    EmfWriter emf = squareEmf();
    emf.record(emfSetMapMode, dwords({8}))
        .record(emfSetWindowExt, dwords({200, 200}))
        .record(emfSetViewportExt, dwords({100, 100}));
    emfFillOnly(emf, blue).record(emfPolygon, dwords({0, 0, 0, 0, 3, 100, 0, 200, 0, 200, 100}));
    const QImage image = draw(readMetafile(emf.bytes(), true), 100, 100);
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(image, 90, 10)));
    EXPECT_TRUE(sameColour(0xFFFFFF, colourAt(image, 10, 90)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(49, 0, 51, 51)));
}

TEST(EmfDraw, StretchDiBitsPaintsTheBitmapTopRowUp)
{
    const QByteArray info = dibInfo24(2, 2);
    const QByteArray bits = dibBits24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    constexpr int fixed = 80; // the record's fields before the bitmap
    EmfWriter emf = squareEmf();
    emf.record(emfStretchDiBits, dwords({0, 0, 0, 0, 50, 50, 0, 0, 2, 2, fixed, info.size(), fixed + info.size(),
                                         bits.size(), 0, 0x00CC0020, 40, 40})
                                     + info + bits);
    const QImage image = draw(readMetafile(emf.bytes(), true), 100, 100);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(image, 60, 60)));
    EXPECT_TRUE(sameColour(0x00FF00, colourAt(image, 80, 60)));
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(image, 60, 80)));
    EXPECT_TRUE(sameColour(0x00FFFF, colourAt(image, 80, 80)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(50, 50, 40, 40)));
}

TEST(EmfDraw, SourceRectangleOfABottomUpDibCountsFromItsBottom)
{
    const QByteArray info = dibInfo24(2, 2);
    const QByteArray bits = dibBits24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    constexpr int fixed = 80;
    EmfWriter emf = squareEmf();
    // Source (1, 0) of size 1 x 1: the right pixel of the bottom row.
    emf.record(emfStretchDiBits, dwords({0, 0, 0, 0, 10, 10, 1, 0, 1, 1, fixed, info.size(), fixed + info.size(),
                                         bits.size(), 0, 0x00CC0020, 30, 20})
                                     + info + bits);
    const QImage image = draw(readMetafile(emf.bytes(), true), 100, 100);
    EXPECT_TRUE(sameColour(0x00FFFF, colourAt(image, 11, 11)));
    EXPECT_TRUE(sameColour(0x00FFFF, colourAt(image, 38, 28)));
    EXPECT_TRUE(isWhiteOutside(image, QRect(10, 10, 30, 20)));
}

TEST(EmfDraw, TextIsDrawnAtItsReferencePoint)
{
    const QString text = QStringLiteral("WWW");
    QByteArray utf16;
    for (QChar c : text)
        utf16.append(words({c.unicode()}));
    QByteArray font = dwords({1, -30, 0, 0, 0, 700}) + QByteArray(8, '\0');
    font.append(QByteArray(64, '\0'));
    EmfWriter emf = squareEmf();
    emf.record(emfCreateFont, font)
        .record(emfSelectObject, dwords({1}))
        .record(emfTextOutW, dwords({0, 0, 0, 0, 1, 0, 0, 10, 20, text.size(), 60, 0x100, 0}) + utf16);
    const QImage image = draw(readMetafile(emf.bytes(), true), 100, 100);
    int dark = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if ((colourAt(image, x, y) & 0xFF) < 100)
                ++dark;
    EXPECT_GT(dark, 30);
    EXPECT_TRUE(isWhiteOutside(image, QRect(10, 20, 90, 34)));
}

TEST(MetafileErrors, CutFilesAndBadHeaders)
{
    const QByteArray wmf = WmfWriter(QRect(0, 0, 100, 100), 96).record(wmfRectangle, words({5, 5, 1, 1})).bytes();
    EXPECT_EQ(errorOf([&] { readMetafile(wmf.left(30), false); }), cutFile);              // inside the header
    EXPECT_EQ(errorOf([&] { readMetafile(wmf.left(wmf.size() - 10), false); }), cutFile); // inside a record
    QByteArray badType = wmf;
    badType[22] = 7;
    EXPECT_EQ(errorOf([&] { readMetafile(badType, false); }), invalidFile);
    QByteArray tinyRecord = wmf;
    tinyRecord[40] = 1; // the first record's size in words
    EXPECT_EQ(errorOf([&] { readMetafile(tinyRecord, false); }), invalidFile);

    const QByteArray emf = squareEmf().record(emfRectangle, dwords({1, 1, 5, 5})).bytes();
    EXPECT_EQ(errorOf([&] { readMetafile(emf.left(60), true); }), cutFile);
    EXPECT_EQ(errorOf([&] { readMetafile(emf.left(emf.size() - 24), true); }), cutFile);
    QByteArray badSignature = emf;
    badSignature[40] = 'X';
    EXPECT_EQ(errorOf([&] { readMetafile(badSignature, true); }), invalidFile);
    QByteArray oddRecord = emf;
    oddRecord[108 + 4] = 6;
    EXPECT_EQ(errorOf([&] { readMetafile(oddRecord, true); }), invalidFile);
    EXPECT_EQ(errorOf([&] { readMetafile(wmf, true); }), invalidFile);
    EXPECT_TRUE(readMetafile(QByteArray(), true).isEmpty());
}

TEST(MetafileErrors, LyingRecordsDrawNothing)
{
    WmfWriter wmf(QRect(0, 0, 100, 100), 96);
    wmfFillOnly(wmf, red)
        .record(wmfPolygon, words({32767, 10, 10, 50, 50}))
        .record(0x0538, words({60000, 3})) // POLYPOLYGON
        .record(wmfSelectObject, words({65535}))
        .record(0x0127, words({-32768})) // RESTOREDC
        .record(0x0F43, dwords({0x00CC0020}) + words({0, 1, 1, 0, 0, 50, 50, 0, 0}) + dibInfo24(60000, 60000));
    EXPECT_TRUE(isWhiteOutside(draw(readMetafile(wmf.bytes(), false), 100, 100), QRect()));

    EmfWriter emf = squareEmf();
    emfFillOnly(emf, red)
        .record(emfPolygon, dwords({0, 0, 0, 0, 0x7FFFFFFF, 10, 10, 50, 50}))
        .record(emfRestoreDc, dwords({-2147483647 - 1}))
        .record(emfSelectObject, dwords({0x7FFFFFFF}))
        .record(emfStretchDiBits, dwords({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 80, 40, 120, 0x7FFFFFF0, 0, 0x00CC0020, 40, 40})
                                      + dibInfo24(60000, 60000))
        .record(emfTextOutW, dwords({0, 0, 0, 0, 1, 0, 0, 10, 20, 0x40000000, 60, 0x100, 0}));
    EXPECT_TRUE(isWhiteOutside(draw(readMetafile(emf.bytes(), true), 100, 100), QRect()));
}

// An EMF text record of count characters, at (x, y), all 'W'.
QByteArray emfWideText(int x, int y, int count)
{
    QByteArray text;
    text.reserve(2 * count);
    for (int i = 0; i < count; ++i)
        text += words({'W'});
    return dwords({0, 0, 0, 0, 1, 0, 0, x, y, count, 76, 0, 0, 0, 0, 0, 0}) + text;
}

EmfWriter& emfFont(EmfWriter& emf, int height)
{
    return emf.record(emfCreateFont, dwords({1, height, 0, 0, 0, 400}) + QByteArray(72, '\0'))
        .record(emfSelectObject, dwords({1}));
}

TEST(DrawWork, ChargesUntilTheBudgetIsSpentThenRefusesEverything)
{
    DrawWork work(QRect(0, 0, 100, 100));
    EXPECT_TRUE(work.charge(DrawWork::budget - 10));
    EXPECT_FALSE(work.charge(11));
    EXPECT_TRUE(work.spent());
    EXPECT_FALSE(work.charge(1));
    EXPECT_EQ(work.done(), DrawWork::budget - 10);
}

TEST(DrawWork, EdgesSharingRowsCostMoreThanTheSameEdgesApart)
{
    DrawWork work(QRect(0, 0, 1000, 1000));
    QPolygonF comb, circle;
    for (int i = 0; i < 1000; ++i) {
        comb << QPointF(i, i % 2 ? 999 : 0);
        circle << QPointF(500 + 499 * std::cos(i * 0.00628), 500 + 499 * std::sin(i * 0.00628));
    }
    const QPen none(Qt::NoPen);
    const double combWork = work.shape({comb}, OutlineKind::closed, QTransform(), none, QBrush(Qt::red));
    const double circleWork = work.shape({circle}, OutlineKind::closed, QTransform(), none, QBrush(Qt::red));
    EXPECT_GT(combWork, 100 * circleWork);
    EXPECT_GT(combWork, double(DrawWork::budget)); // some seconds of the painter's time
}

TEST(MetafileBudget, OrdinaryPicturesArePlayedWhole)
{
    EmfWriter emf = squareEmf();
    emfFillOnly(emf, red);
    for (int i = 0; i < 2000; ++i)
        emf.record(emfRectangle, dwords({i % 80, i % 70, i % 80 + 20, i % 70 + 30}));
    emfFont(emf, -12);
    for (int i = 0; i < 300; ++i)
        emf.record(emfTextOutW, emfWideText(i % 90, i % 95, 16));
    QImage target = whiteImage(400, 300);
    const MetafilePlayback playback = playEmf(emf.bytes(), target, target.rect());
    EXPECT_TRUE(playback.whole);
    EXPECT_EQ(playback.records, 1u + 3 + 2000 + 2 + 300); // the header is a record too
    EXPECT_LT(playback.work, DrawWork::budget / 4);
}

TEST(MetafileBudget, FullSizeRectanglesStopWhereTheBudgetRunsOut)
{
    constexpr int rectangles = 200000;
    WmfWriter wmf(QRect(0, 0, 100, 100), 96);
    wmfFillOnly(wmf, red);
    for (int i = 0; i < rectangles; ++i)
        wmf.record(wmfRectangle, words({100, 100, 0, 0}));
    QImage target = whiteImage(200, 150);
    const MetafilePlayback playback = playWmf(wmf.bytes(), target, target.rect());
    EXPECT_FALSE(playback.whole);
    EXPECT_GT(playback.records, 1000u);
    EXPECT_LT(playback.records, std::size_t{rectangles} / 2);
    EXPECT_LE(playback.work, DrawWork::budget);
    EXPECT_TRUE(sameColour(0x0000FF, colourAt(target, 100, 75))); // what was drawn stays
}

TEST(MetafileBudget, HugeTextStopsWhereTheBudgetRunsOut)
{
    constexpr int lines = 20000;
    EmfWriter emf = squareEmf();
    emfFont(emf, -3000);
    for (int i = 0; i < lines; ++i)
        emf.record(emfTextOutW, emfWideText(0, 90, 8));
    QImage target = whiteImage(100, 100);
    const MetafilePlayback playback = playEmf(emf.bytes(), target, target.rect());
    EXPECT_FALSE(playback.whole);
    EXPECT_LT(playback.records, std::size_t{lines} / 2);

    // Two million characters on one line are not even laid out.
    EmfWriter oneLine = squareEmf();
    emfFont(oneLine, -12).record(emfTextOutW, emfWideText(0, 50, 2000000)).record(emfSelectObject, dwords({1}));
    const MetafilePlayback line = playEmf(oneLine.bytes(), target, target.rect());
    EXPECT_FALSE(line.whole);
    EXPECT_EQ(line.records, 4u); // header, font, selection, the line
}

TEST(MetafileBudget, APolygonTooCostlyToFillIsNotDrawnAtAll)
{
    // Every edge of the comb crosses every row: the painter would take
    // seconds over it.
    WmfWriter wmf(QRect(0, 0, 16000, 16000), 1536);
    wmfFillOnly(wmf, red);
    QByteArray comb = words({16000});
    for (int i = 0; i < 16000; ++i)
        comb += words({i, i % 2 ? 16000 : 0});
    wmf.record(wmfPolygon, comb).record(wmfPolygon, comb);
    QImage target = whiteImage(1000, 1000);
    const MetafilePlayback playback = playWmf(wmf.bytes(), target, target.rect());
    EXPECT_FALSE(playback.whole);
    EXPECT_EQ(playback.records, 5u);
    EXPECT_TRUE(isWhiteOutside(target, QRect()));
}

TEST(MetafileBudget, AnEllipseFarLargerThanThePictureStillDraws)
{
    EmfWriter emf = squareEmf();
    emfFillOnly(emf, blue).record(emfEllipse, dwords({-200000000, -200000000, 200000000, 200000000}));
    QImage target = whiteImage(100, 100);
    const MetafilePlayback playback = playEmf(emf.bytes(), target, target.rect());
    EXPECT_TRUE(playback.whole);
    EXPECT_TRUE(sameColour(0xFF0000, colourAt(target, 50, 50)));
}

TEST(MetafileFile, ExtensionsPickTheMetafileReaderInAnyCase)
{
    const QString dir = temporaryDirectory();
    const QByteArray content[] = {WmfWriter(QRect(0, 0, 96, 96), 96).bytes(), squareEmf().bytes()};
    const QString names[] = {QStringLiteral("drawing.WMF"), QStringLiteral("drawing.Emf")};
    for (int i = 0; i < 2; ++i) {
        QFile file(QDir(dir).filePath(names[i]));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content[i]);
        file.close();
        const Picture picture = readPictureFile(file.fileName());
        EXPECT_EQ(picture.kind(), PictureKind::Metafile) << names[i].toStdString();
        EXPECT_GT(picture.width(), 0);
    }
}

} // namespace
