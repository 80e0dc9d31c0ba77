// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Nearest-pixel stretching, shared by every bitmap-like picture.
//
//   target column x of rect (0 <= x < rect.width()) takes source column
//   floor(x * sourceWidth / rect.width()); rows likewise.
//
//   source  | 0 | 1 | 2 | 3 |          (4 columns)
//   target  | 0 | 0 | 1 | 1 | 2 | 2 | 3 | 3 |  (8 columns: each repeated)
//   target  | 0 | 2 |                  (2 columns: every other dropped)
#include <QImage>
#include <QRect>
#include <cstdint>

// Source index for target index i when n source cells fill m target cells.
constexpr int nearestSource(int i, int n, int m) { return static_cast<int>(static_cast<std::int64_t>(i) * n / m); }

// Writes source scaled into rect of target (32-bit RGB), clipped to target.
void stretchNearest(const QImage& source, QImage& target, const QRect& rect);

// Writes one source row (any format QImage::pixel understands, here given as
// 32-bit RGB values) into every target row of rect that samples it.
// Used by decoders that deliver rows one at a time.
void stretchRowNearest(const QRgb* sourceRow, int sourceWidth, QImage& target, const QRect& rect, int targetY);
