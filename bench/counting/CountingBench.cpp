// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Counting a full 1024 x 768 picture with about half its pixels counted:
// the row kernels, the same count done pixel by pixel through the surface's
// single-pixel read and write with a status text per pixel, and the whole
// brightness command on an offscreen main window. Prints how many times
// faster each kernel is than the pixel-by-pixel path.
#include "app/Unit1.h"
#include "bench/WindowBench.h"
#include "counting/Kernels.h"
#include "surface/ui/StatusBar.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <iostream>
#include <map>
#include <random>

namespace {

constexpr int pictureWidth = 1024;
constexpr int pictureHeight = 768;
const SelectionRect wholePicture{0, 0, pictureWidth, pictureHeight};

// Dark paper (level 60) at the top-left corner, a bright object (level 600)
// at the centre; the other pixels are bright or dark at random, half each,
// and in half of them, at random, the favoured channel dominates.
TBitmap testPicture(Channel favoured)
{
    const auto colourOf = [](Channel channel, int strong, int weak) {
        switch (channel) {
        case Channel::Red: return rgbColour(strong, weak, weak);
        case Channel::Green: return rgbColour(weak, strong, weak);
        case Channel::Blue: return rgbColour(weak, weak, strong);
        }
        return clWhite;
    };
    const Channel other = favoured == Channel::Blue ? Channel::Green : Channel::Blue;
    std::mt19937 random(7);
    TBitmap bitmap = TBitmap::white(pictureWidth, pictureHeight);
    QImage& image = bitmap.writableImage();
    for (int y = 0; y < pictureHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pictureWidth; ++x) {
            const bool bright = random() & 1;
            const bool favour = random() & 1;
            row[x] = toQRgb(colourOf(favour ? favoured : other, bright ? 250 : 40, bright ? 175 : 10));
        }
    }
    image.setPixel(0, 0, toQRgb(rgbColour(20, 20, 20)));
    image.setPixel(pictureWidth / 2, pictureHeight / 2, toQRgb(rgbColour(200, 200, 200)));
    return bitmap;
}

const TBitmap& original(Channel favoured = Channel::Blue)
{
    static const std::map<Channel, TBitmap> pictures = {{Channel::Red, testPicture(Channel::Red)},
                                                        {Channel::Green, testPicture(Channel::Green)},
                                                        {Channel::Blue, testPicture(Channel::Blue)}};
    return pictures.at(favoured);
}

// Puts the original pixels back without allocating.
void restore(TBitmap& bitmap, Channel favoured = Channel::Blue)
{
    const QImage& pixels = original(favoured).image();
    std::memcpy(bitmap.writableImage().bits(), pixels.constBits(), pixels.sizeInBytes());
}

LevelBand halfwayBand(const Surface& surface)
{
    const QPoint centre = centreOf(wholePicture);
    return countedLevels(levelOf(surface.pixel(centre.x(), centre.y())), levelOf(surface.pixel(0, 0)), 0.5f);
}

void BM_BrightnessKernel(benchmark::State& state)
{
    TBitmap bitmap = original();
    Surface surface(bitmap, [](const QRect&) {});
    std::int32_t dots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        restore(bitmap);
        state.ResumeTiming();
        dots = countBrightness(surface, wholePicture, halfwayBand(surface)).dots;
        benchmark::DoNotOptimize(dots);
    }
    state.counters["dots"] = dots;
}

void BM_DominantKernel(benchmark::State& state, Channel channel)
{
    TBitmap bitmap = original(channel);
    Surface surface(bitmap, [](const QRect&) {});
    std::int32_t dots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        restore(bitmap, channel);
        state.ResumeTiming();
        dots = countDominant(surface, wholePicture, channel);
        benchmark::DoNotOptimize(dots);
    }
    state.counters["dots"] = dots;
}

// The count as a plain loop over single-pixel reads and writes, each visited
// pixel's level shown in a status bar panel.
void BM_BrightnessPerPixel(benchmark::State& state)
{
    TBitmap bitmap = original();
    TStatusBar statusBar;
    Surface surface(bitmap, [](const QRect&) {});
    std::int32_t dots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        restore(bitmap);
        state.ResumeTiming();
        const LevelBand band = halfwayBand(surface);
        dots = 0;
        for (int y = 0; y < pictureHeight; ++y)
            for (int x = 0; x < pictureWidth; ++x) {
                const TColor colour = surface.pixel(x, y);
                const int level = levelOf(colour);
                statusBar.setPanelText(0, QStringLiteral("明るさ**=") + QString::number(level));
                if (band.contains(level)) {
                    surface.setPixel(x, y, brightnessMark(colour));
                    ++dots;
                }
            }
        benchmark::DoNotOptimize(dots);
    }
    state.counters["dots"] = dots;
}

void BM_DominantPerPixel(benchmark::State& state, Channel channel)
{
    TBitmap bitmap = original(channel);
    Surface surface(bitmap, [](const QRect&) {});
    std::int32_t dots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        restore(bitmap, channel);
        state.ResumeTiming();
        dots = 0;
        for (int y = 0; y < pictureHeight; ++y)
            for (int x = 0; x < pictureWidth; ++x)
                if (dominates(channel, surface.pixel(x, y))) {
                    surface.setPixel(x, y, channelMark);
                    ++dots;
                }
        benchmark::DoNotOptimize(dots);
    }
    state.counters["dots"] = dots;
}

// Drags the selection over the whole working image.
void selectWholePicture(TForm1& form)
{
    sendMouse(form.Image2, QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.Image2, QEvent::MouseMove, {pictureWidth, pictureHeight}, Qt::NoButton, Qt::LeftButton);
    sendMouse(form.Image2, QEvent::MouseButtonRelease, {pictureWidth, pictureHeight}, Qt::LeftButton, Qt::NoButton);
}

// The whole command: band removal, history copy, scan, delivery, repaint request.
void BM_BrightnessCommand(benchmark::State& state)
{
    TForm1 form;
    Form1 = &form;
    form.show();
    QApplication::setActiveWindow(&form);
    form.Edit2->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        form.Image2->setGeometry(0, 0, pictureWidth, pictureHeight);
        form.Image2->assignPicture(Picture(original()));
        selectWholePicture(form);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.akarusaClick(form.akarusa);
    }
    state.counters["dots"] = form.Edit2->text().toInt();
    Form1 = nullptr;
}

BENCHMARK(BM_BrightnessKernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrightnessPerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantKernel, blue, Channel::Blue)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantPerPixel, blue, Channel::Blue)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantKernel, green, Channel::Green)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantPerPixel, green, Channel::Green)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantKernel, red, Channel::Red)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DominantPerPixel, red, Channel::Red)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrightnessCommand)->Unit(benchmark::kMillisecond);

// Console output as usual, and each run's time (or the median of repeated
// runs) kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                seconds[run.run_name.str()] = run.GetAdjustedRealTime();
    }

    void printRatios() const
    {
        const std::pair<const char*, const char*> pairs[] = {
            {"BM_BrightnessKernel", "BM_BrightnessPerPixel"},
            {"BM_DominantKernel/blue", "BM_DominantPerPixel/blue"},
            {"BM_DominantKernel/green", "BM_DominantPerPixel/green"},
            {"BM_DominantKernel/red", "BM_DominantPerPixel/red"},
        };
        for (const auto& [kernel, perPixel] : pairs) {
            const auto fast = seconds.find(kernel), slow = seconds.find(perPixel);
            if (fast != seconds.end() && slow != seconds.end() && fast->second > 0)
                std::cout << kernel << ": " << slow->second / fast->second << " times faster than pixel by pixel\n";
        }
    }

private:
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    startOffscreenWindows(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
