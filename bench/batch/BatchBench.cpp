// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// A batch of 40 photographs of 3000 x 2000 (JPEG) measured by planix-measure's
// batch code with one worker and with two, in rectangles on the working image
// and by finding the shapes at full resolution (--find --full-resolution):
// pictures per second for each and the speed-up of two workers over one
// (median of the repetitions, which alternate between the two).
#include "Scenes.h"

#include "cli/Batch.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int pictureCount = 40;
const QSize pictureSize(3000, 2000);

// Four different scenes, each written ten times.
const QStringList& pictures()
{
    static QTemporaryDir dir;
    static const QStringList files = [] {
        QStringList written;
        for (int seed = 1; seed <= 4; ++seed) {
            const QImage scene = measuringScene(pictureSize, unsigned(seed));
            for (int copy = 0; copy < pictureCount / 4; ++copy) {
                const QString path = dir.filePath(QStringLiteral("photo%1-%2.jpg").arg(seed).arg(copy));
                if (!scene.save(path, "JPG", 90))
                    throw std::runtime_error("cannot write " + path.toStdString());
                written << path;
            }
        }
        return written;
    }();
    return files;
}

BatchJob batchJob(bool find, int workers)
{
    BatchJob job{
        pictures(), settingsFor({100, 150, 560, 600}, SelectionRect{690, 130, 880, 420}), QString(), workers, {}};
    if (find) {
        job.find = true;
        job.settings.fullResolution = true;
        job.findSettings.shape = ReferenceShape::Disc;
    }
    return job;
}

void runBatch(benchmark::State& state, bool find)
{
    const BatchJob job = batchJob(find, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::vector<PictureRow> rows = measureBatch(job);
        if (rows.size() < std::size_t(pictureCount) || rows.front().failed())
            state.SkipWithError("the batch failed");
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["pictures/s"] = benchmark::Counter(double(pictureCount),
                                                      benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Batch(benchmark::State& state) { runBatch(state, false); }
void BM_FindBatch(benchmark::State& state) { runBatch(state, true); }

// One worker and two, each batch timed once, seven times over.
void workerRuns(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("workers")
        ->Arg(1)
        ->Arg(2)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(7);
}
BENCHMARK(BM_Batch)->Apply(workerRuns);
BENCHMARK(BM_FindBatch)->Apply(workerRuns);

// Console output as usual; the median times kept for the speed-up.
class SpeedUpReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                seconds[run.run_name.str()] = run.GetAdjustedRealTime();
    }

    void printSpeedUp() const
    {
        for (const char* mode : {"BM_Batch", "BM_FindBatch"}) {
            const auto one = seconds.find(std::string(mode) + "/workers:1/iterations:1/repeats:7/real_time");
            const auto two = seconds.find(std::string(mode) + "/workers:2/iterations:1/repeats:7/real_time");
            if (one == seconds.end() || two == seconds.end() || two->second <= 0)
                continue;
            std::cout << (std::string(mode) == "BM_Batch" ? "rectangles" : "--find --full-resolution")
                      << ": pictures per second: " << pictureCount * 1000 / one->second << " with one worker, "
                      << pictureCount * 1000 / two->second
                      << " with two; speed-up with two workers: " << one->second / two->second << "x (target 1.7x)\n";
        }
    }

private:
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // One-worker and two-worker runs alternate, so that a passing load on
    // the machine falls on both alike.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    pictures(); // written before any timing
    SpeedUpReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSpeedUp();
    benchmark::Shutdown();
    return 0;
}
