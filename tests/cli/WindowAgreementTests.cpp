// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix-measure gives the window's numbers: the same picture, rectangles and
// rule measured by an offscreen main window (open, drag, count, "＝") and by
// the batch code in this process, down to every marked pixel. Both go
// through measure/, so one case end to end keeps the two callers in step.
#include "Scenes.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"

#include "calc/DecimalText.h"
#include "cli/Measure.h"

#include <QDir>

namespace {

struct WindowResult {
    QString objectDots;
    QString referenceDots;
    QString area; // "." as the decimal point
    QImage workingImage;
};

class WindowAgreement : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        dir = temporaryDirectory();
    }

    QAction* thresholdItem(int tenths)
    {
        QAction* const items[] = {form().N101, form().N201, form().N301, form().N401, form().N501,
                                  form().N601, form().N701, form().N801, form().N901};
        return items[tenths - 1];
    }

    QAction* command(CountRule rule)
    {
        switch (rule) {
        case CountRule::Brightness: return form().akarusa;
        case CountRule::Blue: return form().aoiro;
        case CountRule::Green: return form().midoriiro;
        case CountRule::Red: return form().akairo;
        }
        return nullptr;
    }

    // Click into field, drag the rectangle, run the command from the menu.
    void countInto(QLineEdit* field, const SelectionRect& rect, CountRule rule)
    {
        field->setFocus();
        drag(rect.left, rect.top, rect.right, rect.bottom);
        openRunMenu();
        command(rule)->trigger();
    }

    WindowResult measureInWindow(const QString& file, const MeasureSettings& settings)
    {
        dialog().answer = file;
        form().Action1->trigger();
        thresholdItem(settings.thresholdTenths)->trigger();
        form().Edit2->clear();
        form().Edit4->clear();
        form().Edit5->clear();
        form().Edit3->setText(numberToText(settings.referenceArea));
        countInto(form().Edit2, settings.object, settings.rule);
        if (settings.reference) {
            countInto(form().Edit4, *settings.reference, settings.rule);
            form().Button1->click();
        }
        QString area = form().Edit5->text();
        area.replace(decimalSeparator(), u'.');
        return {form().Edit2->text(), form().Edit4->text(), area, workingImage()};
    }

    void expectSameNumbers(const QString& file, const MeasureSettings& settings)
    {
        const WindowResult window = measureInWindow(file, settings);
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        const Measurement batch = measurePicture(file, settings);
        EXPECT_EQ(window.objectDots, QString::number(batch.objectDots));
        if (settings.reference) {
            ASSERT_TRUE(batch.referenceDots);
            EXPECT_EQ(window.referenceDots, QString::number(*batch.referenceDots));
            EXPECT_EQ(window.area,
                      areaText(batch.objectDots, *batch.referenceDots, settings.referenceArea).value_or(QString()));
        }
        EXPECT_TRUE(samePixels(window.workingImage, batch.workingImage.image()));
    }

    QString dir;
};

// One picture end to end: reduced on opening (1500 x 1100 to 1024 x 750),
// the reference overlapping the object's marks and reaching beyond the
// picture, by brightness and by a colour.
TEST_F(WindowAgreement, AReducedPictureByBrightnessAndByColour)
{
    const QString file = savedScene(dir, QStringLiteral("paper.jpg"), QSize(1500, 1100), "JPG");
    const SelectionRect leaf{80, 90, 530, 585};
    const SelectionRect overlapping{410, 225, 1080, 800};
    for (const MeasureSettings& settings :
         {settingsFor(leaf, overlapping, CountRule::Brightness, 7), settingsFor(leaf, overlapping, CountRule::Green)}) {
        SCOPED_TRACE(static_cast<int>(settings.rule));
        expectSameNumbers(file, settings);
    }
}

} // namespace
