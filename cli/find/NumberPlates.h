// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where each object's number goes on the marked view, so that it is read as
// that object's and hides no other: on the object itself where the plate
// fits inside it, otherwise at the first corner of its box (top-left,
// top-right, bottom-left, bottom-right) where the plate covers no other
// object and no number placed before it, and failing that at its box's
// top-left corner. Plates always lie inside the picture.
#include "cli/find/FindObjects.h"

#include <QRect>
#include <QSize>

#include <vector>

// plates[i] is the size of objects[i]'s plate; returns where each goes.
std::vector<QRect> numberPlates(const std::vector<FoundObject>& objects, const std::vector<QSize>& plates,
                                QSize picture);
