// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The threshold submenu and the counting commands, run through the window as
// the user runs them: drag a rectangle, open the "実行(&R)" menu, choose.
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include "counting/Thresholds.h"
#include "surface/ui/GlobalCursor.h"
#include "base/PlanixError.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>
#include <bit>

namespace {

// A colour of the given brightness level (0 .. 765), red filled first.
TColor ofLevel(int level)
{
    const int red = std::min(level, 255);
    const int green = std::min(level - red, 255);
    return rgbColour(red, green, level - red - green);
}

// What the brightness count paints: red 150, the pixel's own green, blue 150.
TColor markedBright(TColor colour) { return rgbColour(150, greenOf(colour), 150); }

class Counting : public Form1Test {
protected:
    // Draws a picture of the given size on a background of level backgroundLevel,
    // then the given pixels.
    void picture(int width, int height, TColor background, std::initializer_list<std::pair<QPoint, TColor>> pixels)
    {
        TBitmap bitmap = filledBitmap(width, height, background);
        for (const auto& [at, colour] : pixels)
            bitmap.writableImage().setPixel(at, toQRgb(colour));
        setWorkingBitmap(bitmap);
        original = workingImage().copy();
    }

    // Drags the rectangle and runs a counting command from the menu.
    void count(QRect area, QAction* command)
    {
        drag(area.left(), area.top(), area.right() + 1, area.bottom() + 1);
        openRunMenu();
        ASSERT_TRUE(command->isEnabled());
        command->trigger();
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }

    TColor at(int x, int y) const { return colourAt(workingImage(), x, y); }

    QImage original;
};

TEST_F(Counting, ThresholdItemsSetCaptionAndConstant)
{
    EXPECT_EQ(std::bit_cast<std::uint32_t>(state().threshold()), 0x3F000000u);
    EXPECT_EQ(form().shikii->title(), QStringLiteral("しきい値50％"));
    QAction* const items[] = {form().N101, form().N201, form().N301, form().N401, form().N501,
                              form().N601, form().N701, form().N801, form().N901};
    const std::uint32_t bits[] = {0x3DCCCCCD, 0x3E4CCCCD, 0x3E99999A, 0x3ECCCCCD, 0x3F000000,
                                  0x3F19999A, 0x3F333333, 0x3F4CCCCD, 0x3F666666};
    const QString captions[] = {"しきい値10％ ", "しきい値20％ ", "しきい値30％ ", "しきい値40％ ", "しきい値50％ ",
                                "しきい値60％ ", "しきい値70％ ", "しきい値80％ ", "しきい値90％ "};
    for (int i = 8; i >= 0; --i) {
        items[i]->trigger();
        EXPECT_EQ(form().shikii->title(), captions[i]);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(state().threshold()), bits[i]);
        EXPECT_FALSE(items[i]->isChecked());
    }
}

TEST_F(Counting, HalfwayByDefault)
{
    // Corner 100, centre 400: limit 250.
    picture(40, 30, ofLevel(100), {{{15, 15}, ofLevel(400)}, {{12, 12}, ofLevel(250)}, {{13, 12}, ofLevel(251)}});
    form().Edit2->setFocus();
    count(QRect(10, 10, 11, 11), form().akarusa);
    EXPECT_EQ(state().centreLevel(), 400);
    EXPECT_EQ(state().cornerLevel(), 100);
    EXPECT_EQ(state().dotCount(), 2);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("2"));
    EXPECT_TRUE(sameColour(markedBright(ofLevel(251)), at(13, 12)));
    EXPECT_TRUE(sameColour(ofLevel(250), at(12, 12)));
    EXPECT_TRUE(sameColour(markedBright(ofLevel(400)), at(15, 15)));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("明るさ**=100"));
}

TEST_F(Counting, LimitsDecidedBySinglePrecisionConstants)
{
    form().Edit2->setFocus();
    // Corner 100, centre 110: at 70 % the limit is 106.99999988, at 30 % 103.00000012.
    picture(20, 20, ofLevel(100), {{{5, 5}, ofLevel(110)}, {{2, 2}, ofLevel(107)}, {{3, 2}, ofLevel(103)}});
    form().N701->trigger();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("2")); // 110 and 107
    picture(20, 20, ofLevel(100),
            {{{5, 5}, ofLevel(110)}, {{2, 2}, ofLevel(107)}, {{3, 2}, ofLevel(103)}, {{4, 2}, ofLevel(104)}});
    form().N301->trigger();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("3")); // 110, 107 and 104, not 103
    EXPECT_TRUE(sameColour(ofLevel(103), at(3, 2)));
    // Corner 110, centre 100: at 70 % the limit is 103.00000012; 103 is darker.
    picture(20, 20, ofLevel(110), {{{5, 5}, ofLevel(100)}, {{2, 2}, ofLevel(103)}, {{3, 2}, ofLevel(104)}});
    form().N701->trigger();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("2")); // 100 and 103
    EXPECT_TRUE(sameColour(markedBright(ofLevel(103)), at(2, 2)));
}

TEST_F(Counting, EqualLevelsCountNothing)
{
    picture(30, 20, ofLevel(300), {{{3, 3}, ofLevel(700)}, {{4, 3}, ofLevel(0)}, {{9, 6}, ofLevel(55)}});
    form().Edit2->setText(QStringLiteral("12"));
    form().Edit2->setFocus();
    count(QRect(2, 2, 8, 5), form().akarusa); // centre (6, 4) and corner on background
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("0"));
    EXPECT_TRUE(samePixels(original, workingImage()));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("明るさ**=55"));
}

TEST_F(Counting, CentreOfAnOddWidthRectangle)
{
    // Columns 10 .. 20, centre column 15; the column 21 and the row 13 lie outside the scan.
    picture(40, 20, ofLevel(100),
            {{{15, 11}, ofLevel(400)},
             {{16, 11}, ofLevel(100)},
             {{10, 12}, ofLevel(500)},
             {{20, 12}, ofLevel(500)},
             {{21, 12}, ofLevel(500)},
             {{12, 13}, ofLevel(500)}});
    form().Edit2->setFocus();
    count(QRect(10, 10, 11, 3), form().akarusa);
    EXPECT_EQ(state().centreLevel(), 400);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("3"));
    EXPECT_TRUE(sameColour(ofLevel(500), at(21, 12)));
}

TEST_F(Counting, CentreOfARectangleStartingLeftOfThePicture)
{
    // Columns and rows -5 .. 3: the halves of -1 truncate to 0, so the centre
    // is the dark pixel (0, 0); the corner lies outside (765). Limit 382.5.
    picture(10, 10, ofLevel(500), {{{0, 0}, clBlack}, {{2, 3}, ofLevel(382)}, {{3, 3}, ofLevel(383)}});
    form().Edit2->setFocus();
    state().selLeft() = state().selTop() = -5;
    state().selRight() = state().selBottom() = 4;
    form().akarusaClick(form().akarusa);
    EXPECT_EQ(state().centreLevel(), 0);
    EXPECT_EQ(state().cornerLevel(), 765);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("2"));
    EXPECT_TRUE(sameColour(ofLevel(383), at(3, 3)));
}

TEST_F(Counting, StatusShowsTheLastPixelAsItWasBeforeMarking)
{
    // Corner 0, centre and last pixel 156: both counted, the last one read before its mark.
    picture(10, 10, clBlack, {{{3, 3}, 0x00123456}, {{4, 4}, 0x00123456}});
    count(QRect(2, 2, 3, 3), form().akarusa);
    EXPECT_EQ(state().dotCount(), 2);
    EXPECT_TRUE(sameColour(0x00963496, at(4, 4)));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("明るさ**=156"));
}

TEST_F(Counting, MarkKeepsGreen)
{
    picture(10, 10, clBlack, {{{4, 4}, 0x00123456}});
    count(QRect(2, 2, 5, 5), form().akarusa);
    EXPECT_TRUE(sameColour(0x00963496, at(4, 4)));
    EXPECT_EQ(state().dotCount(), 1);
}

TEST_F(Counting, SecondCountReadsTheFirstMarksAndRestoreUndoesOneCount)
{
    // Centre level 410 over black: limit 205. The mark turns 410 into 310 and
    // 300 into 400, so the second limit is 155 and 170 now counts.
    picture(20, 20, clBlack,
            {{{5, 5}, rgbColour(200, 10, 200)}, {{2, 2}, rgbColour(100, 100, 100)}, {{3, 2}, rgbColour(170, 0, 0)}});
    form().Edit2->setFocus();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("2"));
    const QImage afterFirst = workingImage().copy();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(state().centreLevel(), 310);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("3"));
    form().f1->trigger();
    EXPECT_TRUE(samePixels(afterFirst, workingImage()));
}

TEST_F(Counting, AfterACountBandGoneHistoryHoldsThePictureBefore)
{
    picture(50, 40, rgbColour(10, 10, 10),
            {{{25, 22}, clWhite}, {{20, 20}, clWhite}, {{21, 20}, clWhite}, {{30, 30}, clWhite}});
    count(QRect(10, 10, 30, 25), form().akarusa);
    EXPECT_FALSE(state().overlayShown());
    EXPECT_TRUE(state().historyValid());
    openRunMenu();
    EXPECT_FALSE(form().akarusa->isEnabled());
    EXPECT_FALSE(countingEnabled());
    // Marks stay, and the band pixels are the picture's own again.
    EXPECT_TRUE(sameColour(0x00960096 | 0xFF00, at(20, 20)));
    EXPECT_TRUE(sameColour(rgbColour(10, 10, 10), at(10, 10)));
    EXPECT_TRUE(sameColour(rgbColour(10, 10, 10), at(39, 34)));
    form().f1->trigger();
    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(Counting, DeliveryFollowsTheActiveField)
{
    picture(20, 20, clBlack, {{{5, 5}, clWhite}});
    form().Edit3->setFocus();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit3->text(), QStringLiteral("1"));
    EXPECT_EQ(form().Edit2->text(), QString());

    form().Edit4->setFocus();
    form().Edit2->setText(QStringLiteral("7"));
    QTest::mouseClick(form().Button1, Qt::LeftButton);
    errors.clear(); // whatever the calculator said about the fields
    ASSERT_EQ(form().activeControl(), form().Button1);
    count(QRect(0, 0, 11, 11), form().aoiro);
    EXPECT_EQ(state().dotCount(), 0);
    for (QLineEdit* field : {form().Edit2, form().Edit3, form().Edit4, form().Edit5})
        EXPECT_NE(field->text(), QStringLiteral("0")) << field->objectName().toStdString();

    form().Edit5->setFocus();
    count(QRect(0, 0, 11, 11), form().akarusa);
    EXPECT_EQ(form().Edit5->text(), QStringLiteral("1")); // the earlier mark (150, 255, 150) is counted again
}

TEST_F(Counting, ChosenWithTheKeyboardTheCountGoesToTheFocusedField)
{
    // Alt gives the menu bar the focus; choosing the item hands it back to
    // the field before the count runs. Another active window changes nothing.
    picture(20, 20, clBlack, {{{5, 5}, clWhite}});
    form().Edit4->setFocus();
    drag(0, 0, 11, 11);
    QTest::keyPress(&form(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&form(), Qt::Key_Alt, Qt::NoModifier);
    ASSERT_EQ(form().focusWidget(), form().menuBar());
    QTest::keyClick(form().menuBar(), Qt::Key_R);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_EQ(menu, form().Help1);
    menu->setActiveAction(form().akarusa);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(form().Edit4->text(), QStringLiteral("1"));

    Form3->show();
    QApplication::setActiveWindow(Form3);
    ASSERT_NE(QApplication::focusWidget(), form().Edit4);
    drag(0, 0, 11, 11);
    form().aoiroClick(form().aoiro);
    EXPECT_EQ(form().Edit4->text(), QStringLiteral("0"));
    Form3->hide();
}

TEST_F(Counting, RectanglePastThePictureCountsOnlyPixelsInside)
{
    // A bright object at the right edge; the rectangle reaches 20 columns past it.
    picture(40, 30, clBlack, {{{36, 12}, clWhite}, {{37, 12}, clWhite}, {{39, 13}, clWhite}});
    form().Edit4->setFocus();
    count(QRect(30, 10, 30, 10), form().akarusa); // centre (45, 15) outside: level 765
    EXPECT_EQ(state().centreLevel(), 765);
    EXPECT_EQ(form().Edit4->text(), QStringLiteral("3"));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("明るさ**=765"));
    EXPECT_TRUE(sameColour(0x0096FF96, at(39, 13)));
}

TEST_F(Counting, RectangleFarOutsideCostsNothing)
{
    // Centre (0, 0) dark, corner far outside (765): the dark pixels inside count.
    picture(64, 48, clWhite, {{{0, 0}, clBlack}, {{63, 47}, clBlack}, {{10, 5}, rgbColour(100, 100, 100)}});
    form().Edit2->setFocus();
    state().selLeft() = -2'000'000'000;
    state().selTop() = -2'000'000'000;
    state().selRight() = 2'000'000'000;
    state().selBottom() = 2'000'000'000;
    form().akarusaClick(form().akarusa);
    EXPECT_EQ(state().cornerLevel(), 765);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("3"));
    form().aoiroClick(form().aoiro);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("0"));
}

TEST_F(Counting, EachColourCountsItsStrictlyDominantChannel)
{
    const auto mixed = [this] {
        picture(20, 10, rgbColour(80, 80, 80),
                {{{1, 1}, rgbColour(10, 20, 200)},   // blue
                 {{2, 1}, rgbColour(10, 200, 200)},  // tie: neither blue nor green
                 {{3, 1}, rgbColour(150, 200, 150)}, // a brightness mark on a green-rich pixel
                 {{4, 1}, rgbColour(200, 10, 10)},   // red
                 {{5, 1}, rgbColour(200, 200, 10)},  // tie: neither red nor green
                 {{6, 1}, rgbColour(9, 10, 9)},      // dark green
                 {{19, 9}, rgbColour(0, 0, 255)}});  // outside the rectangle
    };
    form().Edit2->setFocus();
    const struct {
        QAction* command;
        int dots;
        std::vector<QPoint> marked;
    } cases[] = {{form().aoiro, 1, {{1, 1}}}, {form().midoriiro, 2, {{3, 1}, {6, 1}}}, {form().akairo, 1, {{4, 1}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command->text().toStdString());
        mixed();
        count(QRect(0, 0, 15, 5), c.command);
        EXPECT_EQ(form().Edit2->text(), QString::number(c.dots));
        QImage expected = original.copy();
        for (QPoint p : c.marked)
            expected.setPixel(p, toQRgb(0x00646464));
        EXPECT_TRUE(samePixels(expected, workingImage()));
        EXPECT_FALSE(state().overlayShown());
        form().f1->trigger();
        EXPECT_TRUE(samePixels(original, workingImage()));
    }
}

TEST_F(Counting, EmptyScanDeliversZero)
{
    picture(20, 20, rgbColour(0, 0, 200), {});
    form().Edit2->setFocus();
    form().StatusBar1->setPanelText(0, QStringLiteral("before"));
    state().selLeft() = state().selRight() = 5;
    state().selTop() = 2;
    state().selBottom() = 9;
    form().aoiroClick(form().aoiro);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("0"));
    form().Edit2->clear();
    form().akarusaClick(form().akarusa);
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("0"));
    EXPECT_EQ(form().StatusBar1->panelText(0), QStringLiteral("before"));
    EXPECT_TRUE(samePixels(original, workingImage()));
}

TEST_F(Counting, WaitCursorDuringBlueAndBrightnessOnly)
{
    // The delivery happens inside the count, so the field's change shows the cursor of the scan.
    TCursor seen = crDefault;
    QObject::connect(form().Edit2, &QLineEdit::textChanged, [&seen] { seen = screenCursor(); });
    form().Edit2->setFocus();
    const struct {
        QAction* command;
        TCursor during;
        TPenMode penMode;
    } cases[] = {{form().akarusa, crHourGlass, pmXor},
                 {form().aoiro, crHourGlass, pmXor},
                 {form().midoriiro, crDefault, pmMerge},
                 {form().akairo, crDefault, pmMerge}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command->text().toStdString());
        picture(20, 20, clBlack, {{{5, 5}, clWhite}});
        form().Edit2->clear();
        seen = TCursor(1);
        count(QRect(0, 0, 11, 11), c.command);
        EXPECT_EQ(seen, c.during);
        EXPECT_EQ(screenCursor(), crDefault);
        EXPECT_EQ(form().Image2->canvas().penMode(), c.penMode); // the band's removal leaves merge
    }
}

class NotABitmap : public Graphic {
public:
    PictureKind kind() const override { return PictureKind::Jpeg; }
    int width() const override { return 8; }
    int height() const override { return 8; }
    void stretchDraw(QImage&, const QRect&) const override { }
};

TEST_F(Counting, DefaultCursorAlsoAfterAnError)
{
    form().Image2->assignPicture(Picture(GraphicPtr(std::make_shared<NotABitmap>())));
    state().selRight() = state().selBottom() = 4;
    form().Edit2->setFocus();
    form().Edit2->setText(QStringLiteral("9"));
    for (auto command : {&TForm1::midoriiroClick, &TForm1::akairoClick}) {
        setScreenCursor(crHourGlass);
        EXPECT_THROW((form().*command)(nullptr), PlanixError);
        EXPECT_EQ(screenCursor(), crDefault);
    }
    EXPECT_EQ(form().Edit2->text(), QStringLiteral("9"));
}

} // namespace
