// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// planix_accuracy: how close planix-measure comes to the true areas.
//
//   planix_accuracy --program PATH/planix-measure [--seed N] [--large]
//                   [--dir DIR] [--modes window,robust-full,...] [--repeat N] [--find]
//
// Makes a seeded set of photographs with known areas (see Scenes.h) in DIR
// (a temporary folder unless given), with a --boxes file of loose rectangles
// in the pictures' own pixels, then runs planix-measure over the whole set
// once per mode and prints, per picture and mode, the area's error and the
// warnings carried, then the median and worst errors, the warning checks and
// the time each mode took (the best of --repeat runs). With --find, also a
// set of sheets with several shapes each, and both sets measured without
// rectangles (--find, on the working image and at full resolution).
//
// The error is the area planix-measure's dots give (object dots x reference
// area / reference dots) against the drawn area, both from the same drawn
// reference, so the reference area's rounding plays no part. Without
// rectangles, the reference's own error (its fitted pixels against its drawn
// area) is shown beside it.
#include "Scenes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

namespace {

struct Mode {
    QString name;
    QStringList arguments;
};

const std::vector<Mode>& allModes()
{
    static const std::vector<Mode> modes = {
        {"window", {}},
        {"window-full", {"--full-resolution"}},
        {"robust", {"--levels", "robust"}},
        {"robust-full", {"--levels", "robust", "--full-resolution"}},
        {"robust-auto-full", {"--levels", "robust", "--threshold", "auto", "--full-resolution"}},
    };
    return modes;
}

struct Truth {
    QString file;
    QString description;
    double objectArea = 0;    // cm2
    double referenceArea = 0; // cm2
    bool squareReference = false;
    std::vector<QRect> objects; // where each object lies (picture pixels)
    double referencePixels = 0; // the reference's area as drawn
};

bool isSquare(ItemKind kind) { return kind == ItemKind::Square1 || kind == ItemKind::Square4; }

struct Result {
    std::optional<double> error; // relative
    QString warnings;
    QString failure;
};

void print(const QString& text) { std::fputs(text.toUtf8().constData(), stdout); }

// Each picture's name (in a column this wide) and what it shows, then a blank line.
void printDescriptions(const std::vector<Truth>& truths, int width)
{
    for (const Truth& truth : truths)
        print(QStringLiteral("%1  %2\n").arg(truth.file.chopped(4), -width).arg(truth.description));
    print(QStringLiteral("\n"));
}

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.right() + 1).arg(r.bottom() + 1);
}

// Makes the set in dir; the truth of each picture.
std::vector<Truth> makeSet(const QString& dir, unsigned seed, bool large)
{
    std::vector<Scene> scenes = sceneSet(seed, large);
    QFile boxes(QDir(dir).filePath("boxes.csv"));
    if (!boxes.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(boxes.fileName()));
    QTextStream out(&boxes);
    out << "file,object,reference,reference_area\n";
    // The truth beside it, for other tools: drawn areas in cm2.
    QFile truthFile(QDir(dir).filePath("truth.csv"));
    if (!truthFile.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(truthFile.fileName()));
    QTextStream truthOut(&truthFile);
    truthOut << "file,object_area,reference_area,description\n";
    std::vector<Truth> truths;
    for (Scene& scene : scenes) {
        QElapsedTimer timer;
        timer.start();
        const QImage image = renderScene(scene);
        const QString file = scene.name + QStringLiteral(".jpg");
        if (!image.save(QDir(dir).filePath(file), "JPG", scene.conditions.jpegQuality))
            qFatal("cannot write %s", qPrintable(file));
        const Item& object = scene.items.at(0);
        const Item& reference = scene.items.at(1);
        Truth truth{file,
                    scene.description,
                    object.coverage / scene.pixelsPerCm2(),
                    reference.coverage / scene.pixelsPerCm2(),
                    isSquare(reference.kind),
                    {object.bounds},
                    reference.coverage};
        out << file << ',' << csvField(rectText(object.loose)) << ',' << csvField(rectText(reference.loose)) << ','
            << QString::number(truth.referenceArea, 'g', 10) << '\n';
        truthOut << file << ',' << QString::number(truth.objectArea, 'g', 10) << ','
                 << QString::number(truth.referenceArea, 'g', 10) << ',' << csvField(truth.description) << '\n';
        truths.push_back(truth);
        std::fprintf(stderr, "made %s (%lld ms)\n", qPrintable(file), qint64(timer.elapsed()));
    }
    return truths;
}

QStringList csvFields(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

struct Run {
    std::map<QString, Result> results; // by file
    double seconds = 0;
    int exitCode = 0;
};

Run runMode(const QString& program, const QString& dir, const Mode& mode, const std::vector<Truth>& truths, int repeat)
{
    Run run;
    run.seconds = 1e9;
    const QString csv = QDir(dir).filePath(QStringLiteral("result-%1.csv").arg(mode.name));
    for (int i = 0; i < repeat; ++i) {
        QProcess process;
        process.setWorkingDirectory(dir);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments = {"--boxes", "boxes.csv", "--units", "picture", "--csv", csv};
        arguments += mode.arguments;
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        process.waitForFinished(-1);
        run.seconds = std::min(run.seconds, timer.elapsed() / 1000.0);
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly))
        return run;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return run;
    const QStringList header = csvFields(lines.front());
    const auto column = [&](const char* name) { return header.indexOf(QString::fromLatin1(name)); };
    QHash<QString, const Truth*> byFile;
    for (const Truth& truth : truths)
        byFile.insert(truth.file, &truth);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = csvFields(lines[i]);
        const QString name = fields.value(column("file"));
        const Truth* truth = byFile.value(name);
        if (!truth)
            continue;
        Result result;
        result.warnings = fields.value(column("warnings"));
        result.failure = fields.value(column("error"));
        bool okObject = false, okReference = false;
        const double objectDots = fields.value(column("object_dots")).toDouble(&okObject);
        const double referenceDots = fields.value(column("reference_dots")).toDouble(&okReference);
        if (okObject && okReference && referenceDots > 0)
            result.error = objectDots * truth->referenceArea / referenceDots / truth->objectArea - 1;
        run.results[name] = result;
    }
    return run;
}

// The find set in dir, beside the rectangle set: several objects a picture,
// the reference last.
std::vector<Truth> makeFindSet(const QString& dir, unsigned seed, bool large)
{
    std::vector<Truth> truths;
    for (Scene& scene : findSceneSet(seed, large)) {
        const QImage image = renderScene(scene);
        const QString file = scene.name + QStringLiteral(".jpg");
        if (!image.save(QDir(dir).filePath(file), "JPG", scene.conditions.jpegQuality))
            qFatal("cannot write %s", qPrintable(file));
        Truth truth{file,
                    scene.description,
                    0,
                    scene.items.back().coverage / scene.pixelsPerCm2(),
                    isSquare(scene.items.back().kind),
                    {},
                    scene.items.back().coverage};
        for (const Item& item : scene.items)
            if (item.role == ItemRole::Object) {
                truth.objectArea += item.coverage / scene.pixelsPerCm2();
                truth.objects.push_back(item.bounds);
            }
        truths.push_back(truth);
        std::fprintf(stderr, "made %s\n", qPrintable(file));
    }
    return truths;
}

struct FoundPicture {
    std::optional<double> error;          // of the summed objects, relative
    std::optional<double> referenceError; // of the reference's fitted pixels, relative
    int objects = 0;
    int strays = 0;          // objects lying on no drawn object
    double largestStray = 0; // in the reference's area
    QString warnings, failure;
};

struct FindRun {
    std::map<QString, FoundPicture> pictures;
    double seconds = 0;
};

// planix-measure --find over truths (disc and square references in two runs),
// with extra arguments; every object down to 1 % of the reference is kept.
FindRun runFind(const QString& program, const QString& dir, const QString& name, const QStringList& extra,
                const std::vector<Truth>& truths, int repeat)
{
    FindRun run;
    for (const bool square : {false, true}) {
        QStringList files;
        for (const Truth& truth : truths)
            if (truth.squareReference == square)
                files << truth.file;
        if (files.isEmpty())
            continue;
        const QString csv = QDir(dir).filePath(
            QStringLiteral("result-%1-%2.csv").arg(name, square ? "square" : "disc"));
        double best = 1e9;
        for (int i = 0; i < repeat; ++i) {
            QProcess process;
            process.setWorkingDirectory(dir);
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const QStringList arguments = QStringList{"--find",
                                                      "--reference-shape",
                                                      square ? "square" : "disc",
                                                      "--reference-area",
                                                      "1",
                                                      "--min-area",
                                                      "0.01",
                                                      "--csv",
                                                      csv}
                                          + extra + files;
            QElapsedTimer timer;
            timer.start();
            process.start(program, arguments);
            process.waitForFinished(-1);
            best = std::min(best, timer.elapsed() / 1000.0);
        }
        run.seconds += best;
        QFile file(csv);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        if (lines.isEmpty())
            continue;
        const QStringList header = csvFields(lines.front());
        const auto column = [&](const char* c) { return header.indexOf(QString::fromLatin1(c)); };
        std::map<QString, double> dots;
        std::map<QString, double> referenceDots;
        std::map<QString, double> measuredWidth; // the working image's, or the picture's own
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList fields = csvFields(lines[i]);
            const QString picture = fields.value(column("file"));
            FoundPicture& found = run.pictures[picture];
            found.failure = fields.value(column("error"));
            if (!fields.value(column("warnings")).isEmpty()
                && !found.warnings.contains(fields.value(column("warnings"))))
                found.warnings += (found.warnings.isEmpty() ? QString() : QStringLiteral(";"))
                                  + fields.value(column("warnings"));
            if (fields.value(column("object")).isEmpty())
                continue;
            ++found.objects;
            dots[picture] += fields.value(column("object_dots")).toDouble();
            referenceDots[picture] = fields.value(column("reference_dots")).toDouble();
            measuredWidth[picture] = fields.value(column("width")).toDouble();
            const QStringList box = fields.value(column("box")).split(u',');
            const QRect rect(QPoint(box.value(0).toInt(), box.value(1).toInt()),
                             QPoint(box.value(2).toInt() - 1, box.value(3).toInt() - 1));
            const auto truth = std::find_if(truths.begin(), truths.end(),
                                            [&](const Truth& t) { return t.file == picture; });
            if (truth != truths.end()
                && std::none_of(truth->objects.begin(), truth->objects.end(),
                                [&](const QRect& o) { return o.intersects(rect); })) {
                ++found.strays;
                found.largestStray = std::max(found.largestStray, fields.value(column("area")).toDouble());
            }
        }
        for (const Truth& truth : truths)
            if (run.pictures.count(truth.file) && referenceDots[truth.file] > 0) {
                run.pictures[truth.file].error =
                    dots[truth.file] * truth.referenceArea / referenceDots[truth.file] / truth.objectArea - 1;
                const double scale = QImageReader(QDir(dir).filePath(truth.file)).size().width()
                                     / std::max(measuredWidth[truth.file], 1.0);
                run.pictures[truth.file].referenceError =
                    referenceDots[truth.file] * scale * scale / truth.referencePixels - 1;
            }
    }
    return run;
}

QString percent(std::optional<double> value)
{
    return value ? QString::asprintf("%+7.1f%%", *value * 100) : QStringLiteral("      --");
}

// A picture's note in the tables: its failure, else its warnings.
QString noteOf(const QString& failure, const QString& warnings)
{
    return failure.isEmpty() ? warnings : QStringLiteral("FAILED ") + failure;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// --find: both sets measured without rectangles, on the working image and at
// full resolution; the error of each picture's summed objects, the objects
// lying where nothing was drawn, and the time (the rectangle set's apart, to
// set beside robust-full's).
void reportFind(const QString& program, const QString& dir, const std::vector<Truth>& rectangleSet,
                const std::vector<Truth>& findSet, int repeat)
{
    const std::vector<std::pair<QString, QStringList>> modes = {{"find", {}}, {"find-full", {"--full-resolution"}}};
    std::vector<FindRun> onRectangleSet, onFindSet;
    for (const auto& [name, extra] : modes) {
        std::fprintf(stderr, "measuring: %s\n", qPrintable(name));
        onRectangleSet.push_back(runFind(program, dir, name + QStringLiteral("-rect"), extra, rectangleSet, repeat));
        onFindSet.push_back(runFind(program, dir, name, extra, findSet, repeat));
    }
    print(QStringLiteral("\nWithout rectangles (--find; objects down to 1 % of the reference kept):\n\n"));
    QString head = QStringLiteral("%1 %2").arg("picture", -16).arg("true cm2", 9);
    for (const auto& mode : modes)
        head += QStringLiteral(" | %1").arg(mode.first, -53);
    print(head + u'\n');
    std::vector<Truth> all = rectangleSet;
    all.insert(all.end(), findSet.begin(), findSet.end());
    for (const Truth& truth : all) {
        QString line = QStringLiteral("%1 %2").arg(truth.file.chopped(4), -16).arg(truth.objectArea, 9, 'f', 2);
        for (std::size_t m = 0; m < modes.size(); ++m) {
            const FindRun& run = m < onRectangleSet.size() && onRectangleSet[m].pictures.count(truth.file)
                                     ? onRectangleSet[m]
                                     : onFindSet[m];
            const FoundPicture found = run.pictures.count(truth.file) ? run.pictures.at(truth.file) : FoundPicture{};
            const QString note = noteOf(found.failure, found.warnings);
            line += QStringLiteral(" | %1 %2 obj %3 stray ref %4 %5")
                        .arg(percent(found.error))
                        .arg(found.objects, 2)
                        .arg(found.strays)
                        .arg(percent(found.referenceError))
                        .arg(note.left(14), -14);
        }
        print(line + u'\n');
    }
    print(QStringLiteral("\n"));
    printDescriptions(findSet, 16);
    for (std::size_t m = 0; m < modes.size(); ++m) {
        std::vector<double> errors;
        int failed = 0, strays = 0, unwarned = 0;
        double largestStray = 0;
        for (const FindRun* run : {&onRectangleSet[m], &onFindSet[m]})
            for (const auto& [file, found] : run->pictures) {
                if (found.error)
                    errors.push_back(std::abs(*found.error));
                else
                    ++failed;
                unwarned += found.error && std::abs(*found.error) > 0.03 && found.warnings.isEmpty();
                strays += found.strays;
                largestStray = std::max(largestStray, found.largestStray);
            }
        const double worst = errors.empty() ? 0 : *std::max_element(errors.begin(), errors.end());
        print(QStringLiteral("%1: median |error| %2 %, worst %3 %, over 3 % unwarned %10, no reference %4 of %5, "
                             "stray objects %6 (largest %7 % of the reference), %8 s on the rectangle set, %9 s on "
                             "the find set\n")
                  .arg(modes[m].first, -17)
                  .arg(median(errors) * 100, 0, 'f', 2)
                  .arg(worst * 100, 0, 'f', 2)
                  .arg(failed)
                  .arg(errors.size() + std::size_t(failed))
                  .arg(strays)
                  .arg(largestStray * 100, 0, 'f', 2)
                  .arg(onRectangleSet[m].seconds, 0, 'f', 2)
                  .arg(onFindSet[m].seconds, 0, 'f', 2)
                  .arg(unwarned));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Drawing text-free shapes needs no display; the offscreen platform gives fonts all the same.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments();
    const auto value = [&](const QString& name, const QString& fallback) {
        const qsizetype at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
    };
    // The program runs in the pictures' folder: a relative path is taken from here.
    const QString given = value("--program", QString());
    const QString program = given.isEmpty() ? given : QFileInfo(given).absoluteFilePath();
    const unsigned seed = value("--seed", "15").toUInt();
    const bool large = arguments.contains("--large");
    const int repeat = std::max(1, value("--repeat", "1").toInt());
    const QStringList modeNames = value("--modes", "window,robust,robust-full,robust-auto-full").split(u',');
    if (program.isEmpty()) {
        std::fputs("usage: planix_accuracy --program PATH/planix-measure [--seed N] [--large] [--dir DIR] "
                   "[--modes window,window-full,robust,robust-full,robust-auto-full] [--repeat N] [--find]\n",
                   stderr);
        return 2;
    }
    QTemporaryDir temporary;
    const QString dir = value("--dir", temporary.path());
    QDir().mkpath(dir);
    const std::vector<Truth> truths = makeSet(dir, seed, large);

    std::vector<Mode> modes;
    for (const QString& name : modeNames)
        for (const Mode& mode : allModes())
            if (mode.name == name)
                modes.push_back(mode);

    std::vector<Run> runs;
    for (const Mode& mode : modes) {
        std::fprintf(stderr, "measuring: %s\n", qPrintable(mode.name));
        runs.push_back(runMode(program, dir, mode, truths, repeat));
    }

    print(QStringLiteral("\nSet: seed %1, %2 pictures in %3\n\n").arg(seed).arg(truths.size()).arg(dir));
    QString head = QStringLiteral("%1 %2").arg("picture", -14).arg("true cm2", 9);
    for (const Mode& mode : modes)
        head += QStringLiteral(" | %1").arg(mode.name, -34);
    print(head + u'\n');
    for (const Truth& truth : truths) {
        QString line = QStringLiteral("%1 %2").arg(truth.file.chopped(4), -14).arg(truth.objectArea, 9, 'f', 2);
        for (const Run& run : runs) {
            const Result result = run.results.count(truth.file) ? run.results.at(truth.file) : Result{};
            const QString note = noteOf(result.failure, result.warnings);
            line += QStringLiteral(" | %1 %2").arg(percent(result.error)).arg(note.left(25), -25);
        }
        print(line + u'\n');
    }
    print(QStringLiteral("\n"));
    printDescriptions(truths, 14);

    for (std::size_t m = 0; m < modes.size(); ++m) {
        std::vector<double> errors;
        int bigUnwarned = 0, smallWarned = 0, smallWarnedBeyondSize = 0, small = 0, warned = 0;
        for (const auto& [file, result] : runs[m].results) {
            const bool hasWarning = !result.warnings.isEmpty();
            warned += hasWarning;
            if (!result.error) {
                bigUnwarned += hasWarning ? 0 : 1;
                continue;
            }
            const double e = std::abs(*result.error);
            errors.push_back(e);
            if (e > 0.10 && !hasWarning)
                ++bigUnwarned;
            if (e < 0.03) {
                ++small;
                smallWarned += hasWarning;
                // reference-small tells of the reference's size, not of a fault in the count.
                const QStringList codes = result.warnings.split(u';', Qt::SkipEmptyParts);
                smallWarnedBeyondSize += codes.size() > (codes.contains(QStringLiteral("reference-small")) ? 1 : 0);
            }
        }
        const double worst = errors.empty() ? 0 : *std::max_element(errors.begin(), errors.end());
        print(QStringLiteral("%1: median |error| %2 %, worst %3 %, warned %4 of %5, over 10 % unwarned %6, "
                             "under 3 % warned %7 of %8 (%9 beyond reference-small), exit %10, %11 s\n")
                  .arg(modes[m].name, -17)
                  .arg(median(errors) * 100, 0, 'f', 2)
                  .arg(worst * 100, 0, 'f', 2)
                  .arg(warned)
                  .arg(runs[m].results.size())
                  .arg(bigUnwarned)
                  .arg(smallWarned)
                  .arg(small)
                  .arg(smallWarnedBeyondSize)
                  .arg(runs[m].exitCode)
                  .arg(runs[m].seconds, 0, 'f', 2));
    }
    if (arguments.contains("--find"))
        reportFind(program, dir, truths, makeFindSet(dir, seed, large), repeat);
    return 0;
}
