// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Pictures made for the batch tests: a sheet of paper photographed with a
// leaf, a coin and a red stamp on it, with some noise in every pixel so that
// the brightness limits and the colour ties matter.
#include "cli/MeasureOptions.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <ostream>

// Failing checks print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Paper (light, about 235, 230, 220), a dark green leaf around
// (0.3 W, 0.45 H), a grey-blue coin around (0.75 W, 0.4 H) and a red stamp
// along the bottom right.
QImage measuringScene(QSize size, unsigned seed = 1);

// The scene written into dir under name (format "BMP" or "JPG"); its full path.
QString savedScene(const QString& dir, const QString& name, QSize size, const char* format = "BMP", unsigned seed = 1);

// Writes bytes into dir under name; its full path.
QString savedFile(const QString& dir, const QString& name, const QByteArray& bytes);

// A JPEG of a few kilobytes whose header claims side x side pixels (at most
// 65500, as large as libjpeg takes), written into dir under name.
QString savedClaimingSize(const QString& dir, const QString& name, int side);

// Settings with the default reference area (the calculator's "3.14").
MeasureSettings settingsFor(SelectionRect object, std::optional<SelectionRect> reference,
                            CountRule rule = CountRule::Brightness, int thresholdTenths = 5);
