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
