// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The size a picture takes in the working image: reduced, keeping its
// proportions as integer arithmetic allows, to at most 1024 x 768.
//
//   1. wider than 1024:  h := h * 1024 div w, w := 1024
//   2. then higher than 768: w := w * 768 div h, h := 768
//
// The second step works on the truncated result of the first; neither step
// enlarges. Examples: 1025 x 768 -> 1024 x 767, 1300 x 1000 -> 999 x 768,
// 5000 x 4 -> 1024 x 0 (a side can truncate to nothing).
#include <QSize>

inline constexpr int workingImageMaxWidth = 1024;
inline constexpr int workingImageMaxHeight = 768;

// width and height are the picture's own, 0 or more.
QSize fittedSize(int width, int height);
