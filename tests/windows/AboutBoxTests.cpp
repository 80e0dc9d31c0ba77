// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The About box: what it shows and where, its title bar, its version, and
// that only the title bar closes it while the main window waits.
#include "support/Form1Harness.h"

#include "windows/Unit2.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QtEndian>
#include <QtTest/QTest>

namespace {

using namespace Qt::StringLiterals;

TEST(AboutBox, ShowsItsContentInPlace)
{
    TForm2 box;
    EXPECT_EQ(box.windowTitle(), u"バージョン情報"_s);
    EXPECT_EQ(box.size(), QSize(254, 115));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.pos(), QPoint(247, 76));
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.font().pixelSize(), 12);

    EXPECT_EQ(box.Image1->geometry(), QRect(8, 8, 70, 100));
    EXPECT_EQ(box.Image2->geometry(), QRect(224, 40, 20, 29));
    EXPECT_EQ(box.Label1->text(), u"PLANIX"_s);
    EXPECT_EQ(box.Label1->pos(), QPoint(88, 16));
    EXPECT_EQ(box.Label1->font().pixelSize(), 24);
    EXPECT_EQ(box.Label3->text(), u"Version 2.00"_s);
    // Where the substitute face draws the caption a pixel or two wider, it
    // moves in from its place rather than being cut off at the box's edge.
    EXPECT_EQ(box.Label3->y(), 24);
    EXPECT_GE(box.Label3->x(), 180);
    EXPECT_LE(box.Label3->x(), 184);
    EXPECT_LE(box.Label3->geometry().right(), box.width() - 1);
    EXPECT_GT(box.Label3->x(), box.Label1->geometry().right()); // clear of "PLANIX"
    EXPECT_EQ(box.Label4->pos(), QPoint(80, 48));
    EXPECT_FALSE(box.Label4->text().isEmpty());
    EXPECT_TRUE(box.findChildren<QPushButton*>().isEmpty());

    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// The header fields of a Windows bitmap: bits per pixel and compression.
std::pair<int, int> bitmapFormat(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {-1, -1};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 34 || !bytes.startsWith("BM"))
        return {-1, -1};
    return {qFromLittleEndian<quint16>(bytes.constData() + 28),
            int(qFromLittleEndian<quint32>(bytes.constData() + 30))};
}

TEST(AboutBox, PicturesAreUncompressed24BitBitmapsShownAtTheirOwnSize)
{
    EXPECT_EQ(bitmapFormat(u":/pictures/footprint.bmp"_s), std::make_pair(24, 0));
    EXPECT_EQ(bitmapFormat(u":/pictures/coin.bmp"_s), std::make_pair(24, 0));
    TForm2 box;
    EXPECT_EQ(box.Image1->picture().width(), 70);
    EXPECT_EQ(box.Image1->picture().height(), 100);
    EXPECT_EQ(box.Image2->picture().width(), 20);
    EXPECT_EQ(box.Image2->picture().height(), 29);
}

TEST(AboutBox, CarriesTheProgramsVersions)
{
    EXPECT_EQ(QCoreApplication::applicationVersion(), u"2.0.0.0"_s);
    EXPECT_STREQ(PLANIX_FILE_VERSION, "2.0.10.11");
}

TEST(AboutBox, EnterAndEscLeaveItOpenTheCloseButtonCloses)
{
    TForm2 box;
    box.show();
    QCoreApplication::processEvents();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&box, key);
        EXPECT_TRUE(box.isVisible()) << "closed by key " << key;
    }
    box.close(); // what the close button, the system menu and Alt+F4 do
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);

    box.show(); // a second time: same place, same content
    EXPECT_EQ(box.pos(), QPoint(247, 76));
    EXPECT_EQ(box.size(), QSize(254, 115));
    box.close();
}

using AboutBoxOverMainWindow = Form1Test;

TEST_F(AboutBoxOverMainWindow, MainWindowMenusCannotBeChosenWhileItIsOpen)
{
    auto openHelpMenuByKey = [this] {
        QTest::keyClick(form().windowHandle(), Qt::Key_H, Qt::AltModifier);
        QCoreApplication::processEvents();
        QWidget* popup = QApplication::activePopupWidget();
        if (popup)
            popup->close();
        return popup != nullptr;
    };
    ASSERT_TRUE(openHelpMenuByKey()); // the menu opens while the box is hidden

    Form2->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), Form2);
    EXPECT_FALSE(openHelpMenuByKey());
    Form2->close();
    QCoreApplication::processEvents();
}

} // namespace
