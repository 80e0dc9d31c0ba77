// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Blades of two colours measured with --find's rules: a blade 2 to 48 pixels
// wide, drawn lighter with a darker end or dark with a lighter end, under
// blurs from sharp to soft, beside a coin. Prints each blade's error and
// its warning (thin, or something fainter left out beside it), then how many
// came more than 1.5 % off without a warning.
#include "ShapeScenes.h"
#include "cli/find/FindObjects.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

struct Blade {
    double width, blur;
    QColor body, end;
};

// The blade's error in percent of its true area, and its warning (empty for
// none).
std::pair<double, const char*> measured(const Blade& blade)
{
    QPainterPath body, end;
    body.addRect(QRectF(150, 480, 450, blade.width));
    end.addRect(QRectF(600, 480, 100, blade.width));
    const QImage picture = paperWith(
        QSize(900, 600), {{disc({700, 150}, 60), QColor(90, 90, 100)}, {body, blade.body}, {end, blade.end}}, 0.2, 6, 0,
        {}, blade.blur);
    FindSettings settings;
    settings.referenceArea = 3.14;
    settings.minArea = 0.01;
    const FindResult found = findObjects(picture, settings);
    double dots = 0;
    bool thin = false, faint = false;
    for (const FoundObject& object : found.objects) {
        dots += double(object.dots);
        thin = thin || object.thin;
        faint = faint || object.faintBeside;
    }
    return {100 * (dots / (550 * blade.width) - 1), thin ? "object-thin" : faint ? "object-faint-beside" : ""};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    analyseOnCallingThreads();
    const QColor light(120, 170, 90);
    const QColor ends[] = {QColor(90, 130, 60), QColor(60, 90, 40), QColor(30, 45, 20)};
    int blades = 0, unwarned = 0;
    double worst = 0;
    std::printf("width  blur  body           end            error    warning\n");
    for (const double width : {2.0, 4.0, 6.0, 8.0, 10.0, 12.0, 16.0, 20.0, 24.0, 32.0, 48.0})
        for (const double blur : {0.8, 1.5, 2.5})
            for (const QColor& dark : ends)
                for (const bool darkBody : {false, true}) {
                    const Blade blade{width, blur, darkBody ? dark : light, darkBody ? light : dark};
                    const auto [error, warning] = measured(blade);
                    ++blades;
                    if (*warning == '\0' && std::abs(error) > 1.5) {
                        ++unwarned;
                        worst = std::max(worst, std::abs(error));
                    }
                    std::printf("%5.0f  %4.1f  %-13s  %-13s  %+6.2f %%  %s\n", width, blur,
                                qPrintable(blade.body.name()), qPrintable(blade.end.name()), error, warning);
                }
    std::printf("%d blades: %d more than 1.5 %% off without a warning (worst %.2f %%)\n", blades, unwarned, worst);
}
