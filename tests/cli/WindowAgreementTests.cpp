// planix-measure gives the window's numbers: the same picture, rectangles and
// rule measured by an offscreen main window (open, drag, count, "＝") and by
// the batch code in this process, down to every marked pixel.
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
            EXPECT_EQ(window.area, areaText(batch.objectDots, *batch.referenceDots, settings.referenceArea).value_or(QString()));
        }
        EXPECT_TRUE(samePixels(window.workingImage, batch.workingImage.image()));
    }

    QString dir;
};

// The rectangles of each case in working-image pixels: around the leaf and
// the coin; overlapping, so the reference meets the object's marks; reaching
// beyond the picture on every side.
std::vector<MeasureSettings> casesFor(QSize working)
{
    const int w = working.width(), h = working.height();
    const SelectionRect leaf{w * 8 / 100, h * 12 / 100, w * 52 / 100, h * 78 / 100};
    const SelectionRect coin{w * 64 / 100, h * 22 / 100, w * 86 / 100, h * 58 / 100};
    const SelectionRect overlapping{w * 40 / 100, h * 30 / 100, w * 80 / 100, h * 60 / 100};
    const SelectionRect beyondTopLeft{-40, -30, w / 2, h / 2};
    const SelectionRect beyondBottomRight{w * 55 / 100, h * 70 / 100, w + 50, h + 40};
    std::vector<MeasureSettings> cases = {
        settingsFor(leaf, coin),
        settingsFor(leaf, coin, CountRule::Brightness, 3),
        settingsFor(leaf, overlapping, CountRule::Brightness, 7),
        settingsFor(beyondTopLeft, beyondBottomRight, CountRule::Brightness, 9),
        settingsFor(leaf, std::nullopt, CountRule::Brightness, 1),
        settingsFor(overlapping, coin, CountRule::Blue),
        settingsFor(leaf, overlapping, CountRule::Green),
        settingsFor(beyondBottomRight, beyondTopLeft, CountRule::Red),
    };
    cases[1].referenceArea = textToNumber(QStringLiteral("2.5"));
    return cases;
}

TEST_F(WindowAgreement, ReducedBitmap)
{
    // 1500 x 1100 is fitted to 1024 x 750.
    const QString file = savedScene(dir, QStringLiteral("paper.bmp"), QSize(1500, 1100));
    for (const MeasureSettings& settings : casesFor(QSize(1024, 750))) {
        SCOPED_TRACE(settings.object.left);
        expectSameNumbers(file, settings);
    }
}

TEST_F(WindowAgreement, JpegPixelForPixel)
{
    const QString file = savedScene(dir, QStringLiteral("paper.jpg"), QSize(800, 600), "JPG");
    for (const MeasureSettings& settings : casesFor(QSize(800, 600)))
        expectSameNumbers(file, settings);
}

TEST_F(WindowAgreement, ReducedJpegAndPublicPictures)
{
    const QStringList files = {savedScene(dir, QStringLiteral("tall.jpg"), QSize(900, 1400), "JPG"),
                               testDataPath(QStringLiteral("refimages/testorig.jpg")),
                               testDataPath(QStringLiteral("refimages/shira_bird8.bmp"))};
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const TBitmap working = loadWorkingImage(file);
        for (const MeasureSettings& settings : casesFor(QSize(working.width(), working.height())))
            expectSameNumbers(file, settings);
    }
}

} // namespace
