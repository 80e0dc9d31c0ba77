#include "surface/Bitmap.h"

#include <QPainter>

TBitmap::TBitmap(QImage image)
    : logicalWidth(image.width()), logicalHeight(image.height()), pixels(std::move(image))
{
}

TBitmap TBitmap::white(int width, int height)
{
    TBitmap bitmap;
    bitmap.resizeTo(width, height);
    return bitmap;
}

void TBitmap::setWidth(int width) { resizeTo(width, height()); }

void TBitmap::setHeight(int height) { resizeTo(width(), height); }

QImage& TBitmap::writableImage()
{
    if (!pixels.isNull() && pixels.format() != QImage::Format_RGB32)
        pixels = pixels.convertToFormat(QImage::Format_RGB32);
    return pixels;
}

void TBitmap::resizeTo(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == logicalWidth && height == logicalHeight)
        return;
    logicalWidth = width;
    logicalHeight = height;
    if (width == 0 || height == 0) {
        pixels = QImage();
        return;
    }
    QImage grown(width, height, QImage::Format_RGB32);
    grown.fill(toQRgb(clWhite));
    if (!pixels.isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, pixels);
    }
    pixels = std::move(grown);
}
