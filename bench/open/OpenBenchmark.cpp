// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a large JPEG into the fitted working image, against djpeg's decode
// of the same file in the same run.
//
// Makes a 6000 x 4000 and a 3000 x 2000 baseline JPEG with libjpeg's
// compressor, then for each: reads the file, decodes it into a white bitmap
// of the fitted size (at most 1024 x 768) the way the open command does,
// and times `djpeg -dct int -outfile /dev/null` on the same file. Prints the
// best of several runs of each, their ratio (target: at most 1.1) and the
// growth of the process's peak memory while opening (target: at most the
// fitted bitmap plus 16 MB). A third line opens a small file that declares
// 65500 x 65500, for the memory a lying header can take, a fourth the same
// arithmetic-coded (whose decoder meets the end of its data without a word;
// target: well under a second). Two more open BMP files of 10000 x 8000 at
// 24 bits (240 MB; target: peak growth under 300 MB) and 20000 x 20000 at
// 8 bits (400 MB, refused for its size; target: under 64 MB). The BMP files
// are sparse: their pixel blocks are never written and read as zeros.
//
//   planix_bench_open [RUNS]
//
// Each open runs in a child process of its own (planix_bench_open --open
// FILE), whose peak memory (VmHWM) before and after gives the growth.
#include "measure/WorkingImage.h"
#include "surface/pixels/Bitmap.h"
#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

// A photograph-like picture: smooth shading with fine texture, so that the
// entropy-coded data is as dense as a real photo's.
void writeTestJpeg(const QString& path, int width, int height, bool arithmetic = false)
{
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    unsigned noise = 12345;
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 31) - 16;
            row[3 * x] = static_cast<JSAMPLE>(std::clamp(x * 255 / width + grain, 0, 255));
            row[3 * x + 1] = static_cast<JSAMPLE>(std::clamp(y * 255 / height + grain, 0, 255));
            row[3 * x + 2] = static_cast<JSAMPLE>(std::clamp(((x / 40 + y / 40) % 2) * 120 + 60 + grain, 0, 255));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

// A small baseline (or arithmetic-coded) file whose frame header declares
// 65500 x 65500: its data runs out after the first rows, the rest is the
// library's filler.
void writeLyingJpeg(const QString& smallPath, const QString& path, bool arithmetic = false)
{
    writeTestJpeg(smallPath, 64, 64, arithmetic);
    QFile small(smallPath);
    small.open(QIODevice::ReadOnly);
    QByteArray bytes = small.readAll();
    const qsizetype sof = bytes.indexOf(arithmetic ? "\xFF\xC9" : "\xFF\xC0");
    for (int at : {5, 7}) {
        bytes[sof + at] = static_cast<char>(0xFF);
        bytes[sof + at + 1] = static_cast<char>(0xDC);
    }
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
}

// An uncompressed BMP file of width x height pixels whose pixel data is a
// hole in the file (8 bits: with a grey palette).
void writeSparseBmp(const QString& path, int width, int height, int bits)
{
    const std::int64_t rowBytes = (std::int64_t{width} * bits + 31) / 32 * 4;
    const std::uint32_t paletteBytes = bits == 8 ? 1024 : 0;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    QByteArray head("BM");
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            head += char(v >> (8 * i));
    };
    auto u16 = [&](unsigned v) {
        head += char(v & 0xFF);
        head += char(v >> 8);
    };
    u32(std::uint32_t(offset + rowBytes * height));
    u32(0);
    u32(offset);
    u32(40);
    u32(std::uint32_t(width));
    u32(std::uint32_t(height));
    u16(1);
    u16(unsigned(bits));
    for (int i = 0; i < 6; ++i)
        u32(0);
    for (std::uint32_t i = 0; i < paletteBytes / 4; ++i)
        u32(i * 0x010101u);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(head);
    file.resize(offset + rowBytes * height);
}

long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

struct OpenResult {
    double seconds;
    long peakGrowthKb;
    QSize size;
};

// Runs in a fresh process (see main), so that the peak memory is this
// open's alone.
OpenResult openIntoFittedBitmap(const QString& path)
{
    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    QSize size;
    try {
        const LoadedPicture loaded = loadPicture(path);
        size = QSize(loaded.working.width(), loaded.working.height());
    } catch (const PlanixError&) { // refused: size 0 x 0
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    return {seconds, peakKilobytes() - before, size};
}

OpenResult openInChildProcess(const QString& self, const QString& path)
{
    QProcess child;
    child.start(self, {QStringLiteral("--open"), path});
    child.waitForFinished(-1);
    OpenResult result{};
    int width = 0, height = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld %d %d", &result.seconds, &result.peakGrowthKb,
                    &width, &height)
        != 4)
        std::fprintf(stderr, "opening %s failed\n", qPrintable(path));
    result.size = QSize(width, height);
    return result;
}

double djpegSeconds(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QProcess djpeg;
    djpeg.start(QStringLiteral("djpeg"), {"-dct", "int", "-outfile", "/dev/null", path});
    djpeg.waitForFinished(-1);
    if (djpeg.exitCode() != 0 && djpeg.exitCode() != 2) // 2: finished with warnings (a cut file)
        std::fprintf(stderr, "djpeg failed on %s\n", qPrintable(path));
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--open") {
        const OpenResult result = openIntoFittedBitmap(QString::fromLocal8Bit(argv[2]));
        std::printf("%.6f %ld %d %d\n", result.seconds, result.peakGrowthKb, result.size.width(), result.size.height());
        return 0;
    }
    const QString self = QString::fromLocal8Bit(argv[0]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    struct Case {
        const char* label;
        std::function<void(const QString&)> write;
        bool timeDjpeg;
        double limitMb; // 0: the fitted bitmap plus 16 MB
    };
    const QString small = dir.filePath(QStringLiteral("small.jpg"));
    const std::vector<Case> cases = {
        {"6000x4000", [](const QString& p) { writeTestJpeg(p, 6000, 4000); }, true, 0},
        {"3000x2000", [](const QString& p) { writeTestJpeg(p, 3000, 2000); }, true, 0},
        {"65500 huff", [&](const QString& p) { writeLyingJpeg(small, p); }, false, 0}, // djpeg: 4.3 gigapixels
        {"65500 arith", [&](const QString& p) { writeLyingJpeg(small, p, true); }, false, 0},
        {"bmp 24 10k", [](const QString& p) { writeSparseBmp(p, 10000, 8000, 24); }, false, 300},
        {"bmp 8 20k", [](const QString& p) { writeSparseBmp(p, 20000, 20000, 8); }, false, 64},
    };
    std::printf("%-12s%10s %11s %11s %7s %14s %14s\n", "picture", "file", "open (s)", "djpeg (s)", "ratio",
                "peak grow (MB)", "limit (MB)");
    for (const Case& c : cases) {
        const bool bmp = QByteArray(c.label).startsWith("bmp");
        const QString path = dir.filePath(QString::fromLatin1(c.label).replace(u' ', u'-') + (bmp ? ".bmp" : ".jpg"));
        c.write(path);
        double open = 1e9, djpeg = 0;
        long growth = 0;
        QSize target;
        for (int i = 0; i < (c.timeDjpeg ? runs : 1); ++i) {
            const OpenResult result = openInChildProcess(self, path);
            open = std::min(open, result.seconds);
            growth = std::max(growth, result.peakGrowthKb);
            target = result.size;
            if (c.timeDjpeg)
                djpeg = i == 0 ? djpegSeconds(path) : std::min(djpeg, djpegSeconds(path));
        }
        const double fileMb = QFile(path).size() / 1048576.0;
        const double limitMb = c.limitMb > 0 ? c.limitMb : target.width() * target.height() * 4 / 1048576.0 + 16;
        std::printf("%-12s%8.1fMB %11.4f %11.4f %7.3f %14.1f %14.1f\n", c.label, fileMb, open, djpeg,
                    djpeg > 0 ? open / djpeg : 0.0, growth / 1024.0, limitMb);
    }
    return 0;
}
