// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image control: holds a picture, lends a drawing surface, paints its
// bitmap one screen pixel per picture pixel from its top-left corner.
#include "surface/ui/MouseTypes.h"
#include "surface/pixels/Picture.h"
#include "surface/pixels/Surface.h"

#include <QWidget>
#include <functional>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const Picture& picture() const { return held; }
    // An independent copy of source becomes the picture (no source: empty).
    void assignPicture(const Picture& source);
    void clearPicture();
    // Picture as bitmap: a non-bitmap picture is replaced by an empty bitmap.
    TBitmap& pictureAsBitmap();

    // The drawing surface:
    //   no picture -> a new white bitmap of the control's size becomes it;
    //   a bitmap   -> that bitmap's surface;
    //   otherwise  -> PlanixError "ビットマップを持っている時のみイメージの変更が可能です".
    Surface canvas();

    bool autoSize = false;
    bool center = false;

    void setLeft(int left) { move(left, y()); }
    void setTop(int top) { move(x(), top); }
    void setWidth(int width) { resize(std::max(width, 0), height()); }
    void setHeight(int height) { resize(width(), std::max(height, 0)); }

    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TShiftState, int, int)> OnMouseMove;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followPictureSize();

    Picture held;
};
