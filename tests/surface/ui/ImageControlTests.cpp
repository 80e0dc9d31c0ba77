// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The image control's picture and surface rules.
#include "surface/ui/GlobalCursor.h"
#include "base/PlanixError.h"
#include "surface/ui/StatusBar.h"
#include "surface/ui/TImage.h"
#include "support/Pictures.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <gtest/gtest.h>

namespace {

class FakeGraphic : public Graphic {
public:
    explicit FakeGraphic(PictureKind k) : k(k) { }
    PictureKind kind() const override { return k; }
    int width() const override { return 7; }
    int height() const override { return 5; }
    void stretchDraw(QImage& target, const QRect& rect) const override
    {
        stretchNearest(QImage(7, 5, QImage::Format_RGB32), target, rect);
    }
    static void stretchNearest(QImage image, QImage& target, const QRect& rect)
    {
        image.fill(Qt::black);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (target.valid(x, y))
                    target.setPixel(x, y, 0xFF000000u);
    }

private:
    PictureKind k;
};

TEST(ImageControl, EmptyPictureGetsAWhiteBitmapOfTheControlSize)
{
    TImage image;
    image.resize(12, 9);
    Surface s = image.canvas();
    EXPECT_EQ(image.picture().kind(), PictureKind::Bitmap);
    EXPECT_EQ(s.width(), 12);
    EXPECT_EQ(s.height(), 9);
    EXPECT_TRUE(sameColour(clWhite, s.pixel(11, 8)));
    s.setPixel(3, 3, 0x00102030);
    EXPECT_TRUE(sameColour(0x00102030, image.canvas().pixel(3, 3)));
}

TEST(ImageControl, SurfaceOfANonBitmapPictureFails)
{
    for (PictureKind kind : {PictureKind::Jpeg, PictureKind::Icon, PictureKind::Metafile}) {
        TImage image;
        image.assignPicture(Picture(std::make_shared<FakeGraphic>(kind)));
        try {
            image.canvas();
            FAIL() << "no error";
        } catch (const PlanixError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です"));
        }
    }
}

TEST(ImageControl, AutoSizeFollowsPicturesWithBothSidesPositive)
{
    TImage image;
    image.resize(3, 3);
    image.autoSize = true;
    image.assignPicture(Picture(filledBitmap(40, 25, clWhite)));
    EXPECT_EQ(image.size(), QSize(40, 25));
    TBitmap flat;
    flat.setWidth(10);
    image.assignPicture(Picture(flat));
    EXPECT_EQ(image.size(), QSize(40, 25));
    image.hide();
    image.assignPicture(Picture(std::make_shared<FakeGraphic>(PictureKind::Jpeg)));
    EXPECT_EQ(image.size(), QSize(7, 5));
}

TEST(ImageControl, PictureAsBitmapReplacesOtherKindsByAnEmptyBitmap)
{
    TImage image;
    image.assignPicture(Picture(std::make_shared<FakeGraphic>(PictureKind::Icon)));
    TBitmap& bitmap = image.pictureAsBitmap();
    EXPECT_EQ(image.picture().kind(), PictureKind::Bitmap);
    EXPECT_EQ(bitmap.width(), 0);
}

TEST(ImageControl, AssignedPicturesAreIndependentCopies)
{
    TImage a, b;
    a.assignPicture(Picture(filledBitmap(4, 4, clWhite)));
    b.assignPicture(a.picture());
    a.canvas().setPixel(0, 0, clBlack);
    EXPECT_TRUE(sameColour(clWhite, b.canvas().pixel(0, 0)));
    b.assignPicture(Picture());
    EXPECT_TRUE(b.picture().isEmpty());
}

TEST(ImageControl, WritesAskToRepaintOnlyWhatTheyTouched)
{
    TImage image;
    image.resize(40, 30);
    image.canvas(); // the white bitmap, repainted whole
    image.show();
    QCoreApplication::processEvents();
    QRegion repainted;
    struct Recorder : QObject {
        QRegion* into;
        explicit Recorder(QRegion* r) : into(r) { }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                *into += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } recorder(&repainted);
    image.installEventFilter(&recorder);
    Surface s = image.canvas();
    s.setPixel(3, 4, clBlack);
    s.setPenMode(pmNotXor);
    s.rectangle(10, 10, 20, 15);
    QCoreApplication::processEvents();
    EXPECT_TRUE(repainted.contains(QPoint(3, 4)));
    EXPECT_TRUE(repainted.contains(QPoint(19, 14)));
    EXPECT_FALSE(repainted.contains(QPoint(15, 12))) << "the rectangle's inside is untouched";
    EXPECT_FALSE(repainted.contains(QPoint(30, 25)));
}

TEST(GlobalCursor, WaitCursorUntilTheDefaultIsSetAgain)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    setScreenCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(screenCursor(), crHourGlass);
    setScreenCursor(crHourGlass); // once is enough to undo
    setScreenCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(screenCursor(), crDefault);
}

TEST(StatusBar, TwoPanelsShowTheirTexts)
{
    TStatusBar bar;
    bar.setPanelText(0, QStringLiteral("青=18 緑=52 赤=86"));
    bar.setPanelText(1, QStringLiteral("X=5,Y=7"));
    EXPECT_EQ(bar.panelText(0), QStringLiteral("青=18 緑=52 赤=86"));
    EXPECT_EQ(bar.panelText(1), QStringLiteral("X=5,Y=7"));
}

} // namespace
