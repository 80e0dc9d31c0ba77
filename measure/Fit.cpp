// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "measure/Fit.h"

#include <cstdint>

QSize fittedSize(int width, int height)
{
    // 64-bit products: a side times 1024 exceeds 32 bits for huge pictures.
    std::int64_t w = width;
    std::int64_t h = height;
    if (w > workingImageMaxWidth) {
        h = h * workingImageMaxWidth / w;
        w = workingImageMaxWidth;
    }
    if (h > workingImageMaxHeight) {
        w = w * workingImageMaxHeight / h;
        h = workingImageMaxHeight;
    }
    return QSize(static_cast<int>(w), static_cast<int>(h));
}
