// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Picture files written by the tests, with contents they can predict.
#include "surface/pixels/Colour.h"

#include <QImage>
#include <QString>
#include <ostream>

// Failing checks print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// A colour for every pixel, distinct for pictures up to 4096 x 4096.
TColor patternColour(int x, int y);
QImage patternImage(int width, int height);

// Writes image into dir under name (24-bit BMP, or JPEG when format is "JPG")
// and returns the full path.
QString savedPicture(const QString& dir, const QString& name, const QImage& image, const char* format = "BMP");

// Writes bytes into dir under name and returns the full path.
QString savedBytes(const QString& dir, const QString& name, const QByteArray& bytes);

// image reduced or kept by nearest sampling to width x height: pixel (x, y)
// takes the source pixel (x * W / width, y * H / height).
QImage nearestSampled(const QImage& image, int width, int height);
