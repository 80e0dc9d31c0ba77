// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the open dialog's preview pane draws a picture.
//
//   fits in the pane            centred at its own size
//   larger, wider than high     from the pane's top-left, pane's width,
//                               height in proportion
//   larger, otherwise           from the pane's top-left, pane's height,
//                               width in proportion
//
// Proportional sides truncate. An empty picture (a side of 0) gets an empty
// rectangle: the pane shows "(なし)" instead.
#include <QRect>
#include <QSize>

QRect previewPlacement(QSize picture, QSize pane);

// The large preview window's size: the picture's own, unless that would not
// fit on the screen; then as large as the screen allows, keeping the
// picture's proportions (each side truncated, at least 1). A window no
// screen can show would only cost memory: a file that claims 65500 x 65500
// pixels would otherwise ask for a window buffer of gigabytes.
QSize previewWindowSize(QSize picture, QSize screen);
