// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The threshold submenu and the four counting commands. Each count removes
// the band, saves the picture into the history buffer, counts and marks the
// dots of the selection and hands the count to the active calculator field.
#include "app/Unit1.h"

#include "counting/Thresholds.h"
#include "measure/Count.h"
#include "surface/ui/GlobalCursor.h"

namespace {

// Sets the default cursor when the count leaves, normally or by an exception.
class DefaultCursorOnExit {
public:
    DefaultCursorOnExit() = default;
    DefaultCursorOnExit(const DefaultCursorOnExit&) = delete;
    DefaultCursorOnExit& operator=(const DefaultCursorOnExit&) = delete;
    ~DefaultCursorOnExit() { setScreenCursor(crDefault); }
};

// "明るさ**=412"
QString brightnessReadout(int level) { return QStringLiteral("明るさ**=%1").arg(level); }

} // namespace

void TForm1::N101Click(QObject*)
{
    shikii->setTitle(thresholdCaption(1));
    threshold = thresholdValue(1);
}
void TForm1::N201Click(QObject*)
{
    shikii->setTitle(thresholdCaption(2));
    threshold = thresholdValue(2);
}
void TForm1::N301Click(QObject*)
{
    shikii->setTitle(thresholdCaption(3));
    threshold = thresholdValue(3);
}
void TForm1::N401Click(QObject*)
{
    shikii->setTitle(thresholdCaption(4));
    threshold = thresholdValue(4);
}
void TForm1::N501Click(QObject*)
{
    shikii->setTitle(thresholdCaption(5));
    threshold = thresholdValue(5);
}
void TForm1::N601Click(QObject*)
{
    shikii->setTitle(thresholdCaption(6));
    threshold = thresholdValue(6);
}
void TForm1::N701Click(QObject*)
{
    shikii->setTitle(thresholdCaption(7));
    threshold = thresholdValue(7);
}
void TForm1::N801Click(QObject*)
{
    shikii->setTitle(thresholdCaption(8));
    threshold = thresholdValue(8);
}
void TForm1::N901Click(QObject*)
{
    shikii->setTitle(thresholdCaption(9));
    threshold = thresholdValue(9);
}

void TForm1::akarusaClick(QObject*)
{
    jikkoufuka();
    rireki1();
    Surface canvas = Image2->canvas();
    canvas.setPenMode(pmXor);
    setScreenCursor(crHourGlass);
    const DefaultCursorOnExit restoreCursor;
    const SelectionRect rect{selLeft, selTop, selRight, selBottom};
    dotCount = 0;
    const CountResult counted = countDots(canvas, rect, CountRule::Brightness, threshold);
    centreLevel = counted.centreLevel;
    cornerLevel = counted.cornerLevel;
    dotCount = counted.dots;
    if (counted.statusLevel)
        StatusBar1->setPanelText(0, brightnessReadout(*counted.statusLevel));
    deliverCount();
}

void TForm1::aoiroClick(QObject*) { countByColour(CountRule::Blue); }

void TForm1::midoriiroClick(QObject*) { countByColour(CountRule::Green); }

void TForm1::akairoClick(QObject*) { countByColour(CountRule::Red); }

// The frame the three colour counts share. Only the blue count sets the pen
// to XOR and shows the wait cursor; all three set the default cursor at the end.
void TForm1::countByColour(CountRule rule)
{
    jikkoufuka();
    rireki1();
    if (rule == CountRule::Blue) {
        Image2->canvas().setPenMode(pmXor);
        setScreenCursor(crHourGlass);
    }
    const DefaultCursorOnExit restoreCursor;
    dotCount = 0;
    Surface canvas = Image2->canvas();
    dotCount = countDots(canvas, {selLeft, selTop, selRight, selBottom}, rule, threshold).dots;
    deliverCount();
}

// The count goes to the calculator field whose Tag equals the active
// control's: 1 Edit2, 2 Edit3, 3 Edit4, 4 Edit5; any other Tag, or no active
// control, leaves every field as it is.
void TForm1::deliverCount()
{
    const QWidget* active = activeControl();
    if (!active)
        return;
    QLineEdit* const fields[] = {Edit2, Edit3, Edit4, Edit5};
    const int tag = active->property("Tag").toInt();
    if (tag >= 1 && tag <= 4)
        fields[tag - 1]->setText(QString::number(dotCount));
}
