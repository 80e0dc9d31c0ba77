// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Measuring batches: rows in the given order whatever the workers do, failing
// pictures reported in their own row, marked pictures on disk, and the area
// worked out as the calculator works it out.
#include "Scenes.h"
#include "support/Pictures.h"

#include "../calc/SeparatorScope.h"
#include "cli/Batch.h"
#include "cli/FindPicture.h"
#include "cli/Measure.h"
#include "cli/MemoryBudget.h"
#include "base/PlanixError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <atomic>
#include <climits>
#include <cstdint>
#include <chrono>
#include <thread>
#include <sched.h>

namespace {

const SelectionRect leaf{40, 60, 300, 420};
const SelectionRect coin{440, 100, 560, 260};

QString errorOf(const QString& file)
{
    try {
        loadWorkingImage(file);
    } catch (const PlanixError& error) {
        return error.message();
    }
    return {};
}

// The bits per pixel of a BMP file's header (0 when unreadable).
int bmpBitCount(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray header = file.read(30);
    return header.size() == 30 ? qFromLittleEndian<quint16>(header.constData() + 28) : 0;
}

void expectMeasuredAlone(const PictureRow& row, const MeasureSettings& settings)
{
    const Measurement alone = measurePicture(row.file, settings);
    ASSERT_FALSE(row.failed()) << row.error.toStdString();
    EXPECT_EQ(row.size, QSize(alone.workingImage.width(), alone.workingImage.height()));
    EXPECT_EQ(row.objectDots, alone.objectDots);
    EXPECT_EQ(row.referenceDots, alone.referenceDots);
}

TEST(Batch, AFailingPictureInTheMiddleGetsItsMessageAndTheOthersAreMeasured)
{
    const QString dir = temporaryDirectory();
    const QStringList pictures = {
        savedScene(dir, QStringLiteral("first.bmp"), QSize(640, 480)),
        QDir(dir).filePath(QStringLiteral("missing.jpg")),
        savedFile(dir, QStringLiteral("broken.bmp"), QByteArray("BM\x10\x00\x00\x00", 6)),
        savedFile(dir, QStringLiteral("notes.png"), QByteArray("\x89PNG", 4)),
        savedScene(dir, QStringLiteral("last.jpg"), QSize(640, 480), "JPG"),
    };
    const MeasureSettings settings = settingsFor(leaf, coin);
    const std::vector<PictureRow> rows = measureBatch({pictures, settings, QString(), 2, {}});

    ASSERT_EQ(rows.size(), 5u);
    expectMeasuredAlone(rows[0], settings);
    expectMeasuredAlone(rows[4], settings);
    EXPECT_EQ(rows[1].error, QStringLiteral("ファイル %1 は開けません").arg(pictures[1]));
    EXPECT_FALSE(rows[2].error.isEmpty());
    EXPECT_EQ(rows[2].error, errorOf(pictures[2]));
    EXPECT_EQ(rows[3].error, QStringLiteral("拡張子 .png の画像形式は処理できません"));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(rows[i].file, pictures[i]);
        EXPECT_FALSE(rows[i].size);
        EXPECT_FALSE(rows[i].objectDots);
        EXPECT_TRUE(rows[i].area.isEmpty());
    }
    // A JPEG cut short is measured, and said to be.
    EXPECT_FALSE(rows[4].warnings.has(Warning::PictureCutShort));
    QFile whole(pictures[4]);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = savedFile(dir, QStringLiteral("cut.jpg"), whole.readAll().chopped(200));
    EXPECT_TRUE(measurePicture(cut, settings).warnings.has(Warning::PictureCutShort));
}

TEST(Batch, RowsKeepTheGivenOrderWithTwoWorkers)
{
    // A slow first picture, then small ones that finish while it is read;
    // each holds a leaf of its own size, so every row has its own count.
    const QString dir = temporaryDirectory();
    QStringList pictures = {savedScene(dir, QStringLiteral("big.bmp"), QSize(4000, 3000))};
    for (int i = 0; i < 11; ++i)
        pictures << savedScene(dir, QStringLiteral("small%1.bmp").arg(i), QSize(300 + 40 * i, 240 + 30 * i), "BMP", i);
    const MeasureSettings settings = settingsFor({0, 0, 1024, 768}, std::nullopt, CountRule::Green);

    const std::vector<PictureRow> together = measureBatch({pictures, settings, QString(), 2, {}});
    const std::vector<PictureRow> oneByOne = measureBatch({pictures, settings, QString(), 1, {}});
    ASSERT_EQ(together.size(), std::size_t(pictures.size()));
    for (std::size_t i = 0; i < together.size(); ++i) {
        EXPECT_EQ(together[i].file, pictures[qsizetype(i)]);
        EXPECT_EQ(together[i].objectDots, oneByOne[i].objectDots) << i;
        EXPECT_EQ(together[i].size, oneByOne[i].size) << i;
    }
    // The counts differ from picture to picture, so a swapped row would show.
    EXPECT_NE(together[1].objectDots, together[2].objectDots);
    EXPECT_EQ(together[0].size, QSize(1024, 768));
}

TEST(Batch, NoMoreWorkersThanTheProcessorsItMayRunOnNorThanPictures)
{
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &one);
            break;
        }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const int pinned = defaultWorkers(40);
    ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(pinned, 1);
    EXPECT_EQ(defaultWorkers(40), std::min(40, CPU_COUNT(&all)));
    EXPECT_EQ(defaultWorkers(1), 1);
    EXPECT_EQ(defaultWorkers(0), 1);
}

TEST(Batch, MarkedPicturesAreTheWorkingImagesAfterTheCounts)
{
    const QString dir = temporaryDirectory();
    const QString other = QDir(dir).filePath(QStringLiteral("other"));
    QDir().mkpath(other);
    const QStringList pictures = {savedScene(dir, QStringLiteral("leaf.jpg"), QSize(1200, 900), "JPG"),
                                  savedScene(other, QStringLiteral("leaf.jpg"), QSize(500, 400), "JPG", 2),
                                  QDir(dir).filePath(QStringLiteral("gone.bmp"))};
    const QString marked = QDir(dir).filePath(QStringLiteral("marked/new"));
    const MeasureSettings settings = settingsFor(leaf, coin, CountRule::Green);
    const std::vector<PictureRow> rows = measureBatch({pictures, settings, marked, 2, {}});

    const QStringList names = markedFileNames(pictures, marked);
    EXPECT_EQ(QFileInfo(names[0]).fileName(), QStringLiteral("leaf.jpg.bmp"));
    EXPECT_EQ(QFileInfo(names[1]).fileName(), QStringLiteral("leaf.jpg-2.bmp"));
    for (int i = 0; i < 2; ++i) {
        ASSERT_FALSE(rows[i].failed()) << rows[i].error.toStdString();
        EXPECT_EQ(bmpBitCount(names[i]), 24) << "a lossless 24-bit BMP";
        const QImage written(names[i], "BMP");
        EXPECT_TRUE(samePixels(measurePicture(pictures[i], settings).workingImage.image(), written));
    }
    EXPECT_FALSE(QFileInfo::exists(names[2]));
    EXPECT_EQ(QDir(marked).entryList(QDir::Files).size(), 2);
}

TEST(Batch, AMarkedPictureThatCannotBeWrittenFailsItsRowButKeepsTheCounts)
{
    const QString dir = temporaryDirectory();
    const QString blocker = savedFile(dir, QStringLiteral("file"), "not a folder");
    const QStringList pictures = {savedScene(dir, QStringLiteral("a.bmp"), QSize(600, 500))};
    const std::vector<PictureRow> rows = measureBatch({pictures, settingsFor(leaf, coin), blocker + "/marked", 1, {}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].failed());
    EXPECT_TRUE(rows[0].error.contains(QStringLiteral("a.bmp.bmp")));
    EXPECT_TRUE(rows[0].objectDots);
}

TEST(Batch, AreaAsTheCalculatorWorksItOut)
{
    const long double yenCoin = 314.0L / 100;
    EXPECT_EQ(areaText(1234, 567, yenCoin), QStringLiteral("6.83"));
    EXPECT_EQ(areaText(0, 100, yenCoin), QStringLiteral("0"));
    EXPECT_EQ(areaText(100, 0, yenCoin), std::nullopt) << "no reference dots: no area";
    EXPECT_EQ(areaText(1, 3, 1), QStringLiteral("0.33"));
    EXPECT_EQ(areaText(-1, 1, 1e15L), QStringLiteral("-1E15"));
    {
        const SeparatorScope comma(u',');
        EXPECT_EQ(areaText(1234, 567, yenCoin), QStringLiteral("6.83")) << "always a point";
        EXPECT_EQ(pointDecimalText(0.5L), QStringLiteral("0.5"));
    }
    // The calculator's floating-point errors.
    const auto failure = [](long double area) {
        try {
            areaText(2'000'000'000, 1, area);
        } catch (const PlanixError& error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_EQ(failure(1e20L), QStringLiteral("不正な浮動小数点数演算命令"));
    EXPECT_EQ(failure(1e4930L), QStringLiteral("浮動小数点数のオーバーフロー"));
}

TEST(Batch, AnAreaErrorFailsTheRowWithTheCounts)
{
    const QString dir = temporaryDirectory();
    MeasureSettings settings = settingsFor(leaf, coin);
    settings.referenceArea = 1e4930L;
    const std::vector<PictureRow> rows = measureBatch(
        {{savedScene(dir, QStringLiteral("a.bmp"), QSize(600, 500))}, settings, QString(), 1, {}});
    EXPECT_EQ(rows[0].error, QStringLiteral("浮動小数点数のオーバーフロー"));
    EXPECT_TRUE(rows[0].objectDots);
    EXPECT_TRUE(rows[0].area.isEmpty());
}

TEST(Batch, PicturesAtTheirOwnSizeTakeTheirTurnForMemoryAndOneThatCanNeverFitFailsItsRow)
{
    MemoryBudget budget(100);
    EXPECT_FALSE(budget.hold(101));
    EXPECT_EQ(bytesToMeasure(QSize(INT_MAX, INT_MAX)), UINT64_MAX) << "not what the product wraps round to";
    std::optional<MemoryHeld> first = budget.hold(60);
    ASSERT_TRUE(first);
    std::atomic<bool> secondHeld = false;
    std::jthread second([&] { secondHeld = budget.hold(50).has_value(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(secondHeld) << "went ahead beside the first";
    first.reset();
    second.join();
    EXPECT_TRUE(secondHeld);

    if (MemoryBudget::forPictures().size() >= bytesToMeasure(QSize(65500, 65500)))
        GTEST_SKIP() << "this computer could measure 65500 x 65500 pixels";
    const QString dir = temporaryDirectory();
    const QStringList pictures = {savedClaimingSize(dir, QStringLiteral("claims.jpg"), 65500),
                                  savedScene(dir, QStringLiteral("a.bmp"), QSize(600, 500))};
    MeasureSettings settings = settingsFor({0, 0, 1024, 768}, std::nullopt);
    settings.fullResolution = true;
    const std::vector<PictureRow> rows = measureBatch({pictures, settings, QString(), 2, {}});
    const QString tooLarge = QStringLiteral(
        "the picture is too large to measure at its own size: 65500 x 65500 pixels");
    EXPECT_TRUE(rows[0].error.startsWith(tooLarge)) << rows[0].error.toStdString();
    EXPECT_FALSE(rows[1].failed());
    const FoundRows found = findRows(pictures[0], pictures[0], settings, FindSettings(), false, false);
    EXPECT_TRUE(found.rows[0].error.startsWith(tooLarge)) << found.rows[0].error.toStdString();
}

} // namespace
