// The main window shell: layout, menus, focus, the counting items, errors.
#include "support/Form1Harness.h"
#include "app/ErrorBox.h"
#include "windows/Unit3.h"
#include "surface/PlanixError.h"

#include <QApplication>
#include <QtTest/QTest>

namespace {

using MainWindow = Form1Test;

TEST_F(MainWindow, CalculatorPanelHoldsItsControlsInPlace)
{
    EXPECT_EQ(form().windowTitle(), QStringLiteral("PLANIX"));
    EXPECT_EQ(form().Edit2->geometry(), QRect(32, 24, 97, 24));
    EXPECT_EQ(form().Edit3->geometry(), QRect(184, 24, 97, 24));
    EXPECT_EQ(form().Edit4->geometry(), QRect(336, 24, 105, 24));
    EXPECT_EQ(form().Button1->geometry(), QRect(464, 24, 41, 25));
    EXPECT_EQ(form().Edit5->geometry(), QRect(528, 24, 105, 24));
    EXPECT_EQ(form().Edit3->text(), QStringLiteral("3.14"));
    EXPECT_EQ(form().Panel1->height(), 62);
    EXPECT_EQ(form().StatusBar1->height(), 19);
    const QList<QLineEdit*> edits{form().Edit2, form().Edit3, form().Edit4, form().Edit5};
    for (int i = 0; i < edits.size(); ++i)
        EXPECT_EQ(edits[i]->property("Tag").toInt(), i + 1);
    EXPECT_EQ(form().Button1->property("Tag").toInt(), 0);
    EXPECT_EQ(form().Edit2->font().pixelSize(), 16);

    form().resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(form().Edit5->geometry(), QRect(528, 24, 105, 24));
    EXPECT_EQ(form().Panel1->height(), 62);
    EXPECT_EQ(form().Panel1->mapTo(&form(), QPoint(0, 62)).y(), form().StatusBar1->geometry().top());
}

TEST_F(MainWindow, MenusCarryTheirCaptions)
{
    QStringList top;
    for (QAction* a : form().MainMenu1->actions())
        top << a->text();
    EXPECT_EQ(top, QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"), QStringLiteral("実行(&R)"),
                                QStringLiteral("ヘルプ(&H)")}));
    EXPECT_EQ(form().N1->text(), QStringLiteral("画像を開く(&O)"));
    EXPECT_EQ(form().Exit1->text(), QStringLiteral("終了"));
    EXPECT_EQ(form().f1->text(), QStringLiteral("実行画面を戻す"));
    EXPECT_EQ(form().shikii->title(), QStringLiteral("しきい値50％"));
    EXPECT_EQ(form().shikii->actions().size(), 10);
    EXPECT_EQ(form().N701->text(), QStringLiteral("70％"));
    EXPECT_EQ(form().About1->text(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(form().Action7->text(), QStringLiteral("カウンタのリセット"));
}

TEST_F(MainWindow, TheUnnamedTenthThresholdItemChangesNothing)
{
    const float before = state().threshold();
    form().shikii->actions().last()->trigger();
    EXPECT_EQ(form().shikii->title(), QStringLiteral("しきい値50％"));
    EXPECT_EQ(state().threshold(), before);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, Edit2IsTheActiveControlAtStart)
{
    EXPECT_EQ(form().activeControl(), form().Edit2);
}

TEST_F(MainWindow, TabOrderRunsThroughTheCalculator)
{
    QWidget* expected[] = {form().Edit3, form().Edit4, form().Button1, form().Edit5};
    QWidget* w = form().Edit2;
    for (QWidget* next : expected) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisible())
            w = w->nextInFocusChain();
        EXPECT_EQ(w, next);
    }
    EXPECT_EQ(form().Image2->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindow, CountingItemsFollowTheOverlayWhenTheMenuOpens)
{
    openRunMenu();
    EXPECT_FALSE(form().akarusa->isEnabled());
    EXPECT_FALSE(countingEnabled());
    state().overlayShown() = true;
    EXPECT_FALSE(form().akarusa->isEnabled()); // only opening the menu sets them
    openRunMenu();
    EXPECT_TRUE(countingEnabled());
    state().overlayShown() = false;
    openRunMenu();
    EXPECT_FALSE(form().aoiro->isEnabled());
    EXPECT_FALSE(form().midoriiro->isEnabled());
    EXPECT_FALSE(form().akairo->isEnabled());
}

TEST_F(MainWindow, HelpBringsTheMemoBackEvenWhenMinimised)
{
    form().silhouetteD1->trigger();
    ASSERT_TRUE(Form3->isVisible());
    Form3->showMinimized();
    form().silhouetteD1->trigger();
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_FALSE(Form3->windowState() & Qt::WindowMinimized);
    Form3->hide();
}

TEST_F(MainWindow, ExitClosesTheWindow)
{
    ASSERT_TRUE(form().isVisible());
    form().Action2->trigger();
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainWindow, AnErrorInAHandlerShowsTheBoxAndTheWindowGoesOn)
{
    // The mouse-move read-out fails: a JPEG in Image2 cannot lend a surface.
    class Jpegish : public Graphic {
        PictureKind kind() const override { return PictureKind::Jpeg; }
        int width() const override { return 2; }
        int height() const override { return 2; }
        void stretchDraw(QImage&, const QRect&) const override {}
    };
    form().Image2->assignPicture(Picture(std::make_shared<Jpegish>()));
    const QPointF at(3, 3);
    QMouseEvent move(QEvent::MouseMove, at, form().Image2->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form().Image2, &move);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.last(), QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です."));
    EXPECT_EQ(lastErrorTitle, applicationTitle());
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().StatusBar1->panelText(1), QStringLiteral("X=3,Y=3"));
}

} // namespace
