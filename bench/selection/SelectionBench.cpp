// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// One mouse move of a drag over a 1024 x 768 picture with a band of about
// 1000 x 700: the program's own work per move, and the area the window is
// then asked to repaint (caught from the paint events that follow).
#include "app/Unit1.h"
#include "bench/WindowBench.h"

#include <QPaintEvent>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

class PaintRecorder : public QObject {
public:
    qint64 area = 0;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                area += qint64(r.width()) * r.height();
        }
        return false;
    }
};

void BM_DragMove(benchmark::State& state)
{
    TForm1 form;
    form.show();
    form.resize(1100, 900);
    QImage photo(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            photo.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * y) & 0xFF));
    form.Image2->setGeometry(0, 0, 1024, 768);
    form.Image2->assignPicture(Picture(TBitmap(photo)));
    QCoreApplication::processEvents();

    PaintRecorder recorder;
    form.Image2->installEventFilter(&recorder);
    sendMouse(form.Image2, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.Image2, QEvent::MouseMove, {1005, 715}, Qt::NoButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    recorder.area = 0;
    recorder.paints = 0;

    int step = 0;
    for (auto _ : state) {
        const QPoint at = (step++ & 1) ? QPoint(1005, 715) : QPoint(1010, 720);
        const auto start = std::chrono::steady_clock::now();
        sendMouse(form.Image2, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        QCoreApplication::processEvents(); // the repaint, outside the timing
    }
    sendMouse(form.Image2, QEvent::MouseButtonRelease, {1005, 715}, Qt::LeftButton, Qt::NoButton);

    const double outlines = 2.0 * 2 * (1000 + 700); // old and new band, one pixel wide
    state.counters["repainted_px_per_move"] = double(recorder.area) / step;
    state.counters["two_outlines_px"] = outlines;
    state.counters["paints"] = recorder.paints;
}
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The same moves with the repaints left pending (they merge): the handler alone.
void BM_DragMoveHandlerOnly(benchmark::State& state)
{
    TForm1 form;
    form.show();
    form.Image2->setGeometry(0, 0, 1024, 768);
    form.Image2->assignPicture(Picture(TBitmap::white(1024, 768)));
    sendMouse(form.Image2, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QPoint at = (step++ & 1) ? QPoint(1005, 715) : QPoint(1010, 720);
        sendMouse(form.Image2, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(form.Image2, QEvent::MouseButtonRelease, {1005, 715}, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_DragMoveHandlerOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    startOffscreenWindows(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
