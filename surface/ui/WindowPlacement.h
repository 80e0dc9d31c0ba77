// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Placing a top-level window by its outer bounds, frame included.
#include <QRect>
#include <functional>

class QWidget;

// Moves window so that its frame's top-left is outer's and sizes it so that
// frame plus client measure outer's size, then calls placed().
//
// The frame is known only once the window manager has framed the window,
// which happens after it is first shown. While no frame is known the client
// takes the whole outer size; when a frame appears later the bounds are
// applied once more and placed() is called again. A change of the window's
// state (maximised, minimised) ends this watch.
void placeByOuterBounds(QWidget& window, const QRect& outer, const std::function<void()>& placed);
