// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's show handler: threshold, window bounds, working image;
// placing a window by its outer bounds.
#include "support/Form1Harness.h"
#include "surface/ui/WindowPlacement.h"

#include <QCoreApplication>
#include <QWindow>

namespace {

using FormShow = Form1Test;

void expectPlaced(TForm1& form)
{
    EXPECT_EQ(form.frameGeometry(), QRect(0, 0, 1024, 744));
    EXPECT_EQ(form.Image2->geometry(), QRect(QPoint(0, 0), form.kabe->size()));
    // The panel fills the client area between the menu bar and the calculator panel.
    EXPECT_EQ(form.kabe->height(),
              form.height() - form.MainMenu1->height() - form.Panel1->height() - form.StatusBar1->height());
    EXPECT_EQ(form.kabe->width(), form.width());
}

TEST_F(FormShow, PlacesTheWindowAndSpansTheWorkingImageOverThePanel)
{
    EXPECT_EQ(state().threshold(), 0.5f);
    expectPlaced(form());
    EXPECT_TRUE(form().Image2->picture().isEmpty());
}

TEST_F(FormShow, RunsAgainWhenTheWindowIsShownAgain)
{
    form().hide();
    form().setGeometry(200, 150, 600, 400);
    form().Image2->setGeometry(-7, -47, 992, 472);
    state().threshold() = 0.8f;
    form().show();
    EXPECT_EQ(state().threshold(), 0.5f);
    expectPlaced(form());
}

} // namespace

namespace {

TEST(OuterBounds, AFrameThatArrivesLaterIsTakenIntoAccount)
{
    QWidget window;
    int placed = 0;
    // Not shown yet: no frame is known, the client takes the whole size.
    placeByOuterBounds(window, QRect(0, 0, 300, 200), [&placed] { ++placed; });
    EXPECT_EQ(placed, 1);
    EXPECT_EQ(window.size(), QSize(300, 200));
    window.show();
    QCoreApplication::processEvents();
    const QMargins frame = window.windowHandle()->frameMargins();
    if (frame.isNull())
        GTEST_SKIP() << "this platform draws no frame";
    EXPECT_EQ(placed, 2);
    EXPECT_EQ(window.frameGeometry(), QRect(0, 0, 300, 200));
    // Once placed, later moves and resizes are the user's.
    window.resize(250, 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(250, 150));
    EXPECT_EQ(placed, 2);
}

} // namespace
