// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The main window shell: layout, menus, focus, the counting items, errors.
#include "support/Form1Harness.h"
#include "surface/ui/ErrorBox.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"
#include "base/PlanixError.h"

#include <QAccessible>
#include <QApplication>
#include <QStyle>
#include <QTimer>
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

TEST_F(MainWindow, ActionListHoldsNineActionsWithCategoriesAndCaptions)
{
    const struct {
        QAction* action;
        const char* category;
        const char* caption;
    } expected[] = {
        {form().Action1, "ファイル", "画像を開く(&O)"},
        {form().Action2, "ファイル", "終了"},
        {form().Action3, "編集", "コピー"},
        {form().Action4, "編集", "貼り付け"},
        {form().Action5, "実行", "基準値の測定"},
        {form().Action6, "実行", "面積測定"},
        {form().Action7, "実行", "カウンタのリセット"},
        {form().Action8, "ヘルプ", "ヘルプ"},
        {form().Action9, "ヘルプ", "バージョン情報"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.action->property("Category").toString(), QString::fromUtf8(e.category)) << e.caption;
        EXPECT_EQ(e.action->text(), QString::fromUtf8(e.caption));
    }
    // The menu items linked to actions show and run those actions.
    EXPECT_EQ(form().N1, form().Action1);
    EXPECT_EQ(form().Exit1, form().Action2);
    EXPECT_EQ(form().Copy1, form().Action3);
    EXPECT_EQ(form().Paste1, form().Action4);
}

TEST_F(MainWindow, MenusHoldTheirItemsInOrderWithoutShortcuts)
{
    using Items = QList<QAction*>;
    EXPECT_EQ(form().FileF1->actions(), Items({form().N1, form().Exit1}));
    EXPECT_EQ(form().Edit1->actions(), Items({form().f1, form().Copy1, form().Paste1}));
    EXPECT_EQ(form().Help1->actions(),
              Items({form().shikii->menuAction(), form().akarusa, form().aoiro, form().midoriiro, form().akairo}));
    EXPECT_EQ(form().Help2->actions(), Items({form().silhouetteD1, form().About1}));
    const Items levels{form().N101, form().N201, form().N301, form().N401, form().N501,
                       form().N601, form().N701, form().N801, form().N901};
    const Items threshold = form().shikii->actions();
    ASSERT_EQ(threshold.size(), 10);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(threshold[i], levels[i]);
        EXPECT_EQ(levels[i]->text(), QStringLiteral("%1％").arg((i + 1) * 10));
    }
    EXPECT_TRUE(threshold.last()->text().isEmpty());
    EXPECT_FALSE(threshold.last()->isSeparator());
    EXPECT_EQ(form().Help2->title(), QStringLiteral("ヘルプ(&H)"));
    EXPECT_EQ(form().silhouetteD1->text(), QStringLiteral("PLANIXのヘルプ"));
    for (QAction* count : {form().akarusa, form().aoiro, form().midoriiro, form().akairo})
        EXPECT_FALSE(count->isEnabled()) << count->text().toStdString();
    EXPECT_EQ(form().akarusa->text(), QStringLiteral("明るさでカウント"));
    EXPECT_EQ(form().aoiro->text(), QStringLiteral("青色でカウント"));
    EXPECT_EQ(form().midoriiro->text(), QStringLiteral("緑色でカウント"));
    EXPECT_EQ(form().akairo->text(), QStringLiteral("赤色でカウント"));
    for (QAction* item : form().findChildren<QAction*>()) {
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
        if (!item->menu() && item != form().akarusa && item != form().aoiro && item != form().midoriiro
            && item != form().akairo) {
            EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
        }
    }
}

TEST_F(MainWindow, ControlsCarryTheirFacesTooltipsAndCursor)
{
    const QString face = QStringLiteral("ＭＳ Ｐゴシック");
    EXPECT_EQ(form().font().family(), face);
    EXPECT_EQ(form().font().pixelSize(), 12);
    EXPECT_EQ(form().Label3->font().pixelSize(), 12);
    EXPECT_EQ(form().Button1->font().pixelSize(), 12);
    const struct {
        QWidget* control;
        const char* tip;
    } tips[] = {
        {form().Edit2, "面積を測定したい画像"},   {form().Edit3, "1円硬貨なら３．１４"},
        {form().Edit4, "基準（１円玉）の画像"},   {form().Button1, "実際の面積の計算"},
        {form().Edit5, "基準の面積の単位の面積"}, {form().Image2, "測定したい画像を囲む"},
    };
    for (const auto& t : tips) {
        EXPECT_EQ(t.control->toolTip(), QString::fromUtf8(t.tip));
        EXPECT_EQ(t.control->toolTipDuration(), 2500) << t.tip;
    }
    EXPECT_EQ(form().style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    for (QLineEdit* edit : {form().Edit2, form().Edit3, form().Edit4, form().Edit5}) {
        EXPECT_EQ(edit->font().family(), face);
        EXPECT_EQ(edit->font().pixelSize(), 16);
        EXPECT_FALSE(edit->isReadOnly());
    }
    EXPECT_EQ(form().Button1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form().Button1->text(), QStringLiteral("＝"));
}

TEST_F(MainWindow, LabelsPanelsAndStatusBarAsLaidOut)
{
    const struct {
        QLabel* label;
        QPoint at;
        const char* caption;
    } labels[] = {
        {form().Label3, {40, 8}, "測定物のドット数"},  {form().Label1, {152, 32}, "×"},
        {form().Label4, {200, 8}, "基準物の面積"},     {form().Label2, {304, 32}, "÷"},
        {form().Label5, {344, 8}, "基準物のドット数"}, {form().Label6, {552, 8}, "実際の面積"},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(l.label->pos(), l.at) << l.caption;
        EXPECT_EQ(l.label->text(), QString::fromUtf8(l.caption));
        EXPECT_EQ(l.label->parentWidget(), form().Panel1);
    }
    EXPECT_EQ(form().Panel1->frameShadow(), QFrame::Raised);
    EXPECT_EQ(form().kabe->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(form().kabe->geometry().bottom() + 1, form().Panel1->geometry().top());
    EXPECT_EQ(form().kabe->width(), form().Panel1->width());
    const QList<TStatusPanel*> panels = form().StatusBar1->findChildren<TStatusPanel*>();
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(panels[0]->width(), 200);
    EXPECT_EQ(panels[1]->width(), 100);
    EXPECT_LT(panels[0]->x(), panels[1]->x());
    EXPECT_TRUE(form().StatusBar1->panelText(0).isEmpty());
    EXPECT_TRUE(form().StatusBar1->panelText(1).isEmpty());
}

TEST_F(MainWindow, ScreenReadersNameEachFieldByItsLabel)
{
    const QList<std::pair<QLineEdit*, QString>> fields{{form().Edit2, QStringLiteral("測定物のドット数")},
                                                       {form().Edit3, QStringLiteral("基準物の面積")},
                                                       {form().Edit4, QStringLiteral("基準物のドット数")},
                                                       {form().Edit5, QStringLiteral("実際の面積")}};
    for (const auto& [edit, name] : fields)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name), name);
}

TEST_F(MainWindow, TheUnnamedTenthThresholdItemChangesNothing)
{
    const float before = state().threshold();
    form().shikii->actions().last()->trigger();
    EXPECT_EQ(form().shikii->title(), QStringLiteral("しきい値50％"));
    EXPECT_EQ(state().threshold(), before);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, Edit2IsTheActiveControlAtStart) { EXPECT_EQ(form().activeControl(), form().Edit2); }

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

TEST_F(MainWindow, TheAboutBoxIsModalAndTheMemoWindowIsNot)
{
    QWidget* modalWhileShown = nullptr;
    QTimer::singleShot(0, [&] {
        modalWhileShown = QApplication::activeModalWidget();
        Form2->reject();
    });
    form().About1->trigger();
    EXPECT_EQ(modalWhileShown, Form2);
    EXPECT_FALSE(Form2->isVisible());

    form().silhouetteD1->trigger();
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
        void stretchDraw(QImage&, const QRect&) const override { }
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
