// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The marked view of a picture measured without rectangles: each object's
// outline (holes too) and its number, and the reference's fitted outline,
// drawn over a copy of the picture; each number goes where numberPlates puts
// it. Lines and digits grow with the picture so that they stay visible when
// it is shown reduced. No fonts are needed: the digits are drawn from their
// own small pattern.
#include "cli/find/FindObjects.h"

#include <QImage>

QImage markedView(const QImage& picture, const FindResult& found);
