// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/pixels/Bitmap.h"

#include <QPainter>
#include <cstdlib>
#include <cstring>

namespace {

// Rows whose length is a multiple of 2 KiB put every pixel of a column into
// the same few cache sets, so walking a column (the band's sides) misses the
// cache at every row. Such rows get 64 bytes of padding.
qsizetype rowBytesFor(int width)
{
    const qsizetype bytes = qsizetype(width) * 4;
    return bytes % 2048 == 0 ? bytes + 64 : bytes;
}

bool hasCacheFriendlyRows(const QImage& image) { return image.bytesPerLine() == rowBytesFor(image.width()); }

// An uninitialised 32-bit image with cache-friendly rows.
QImage newSurfaceImage(int width, int height)
{
    const qsizetype rowBytes = rowBytesFor(width);
    void* buffer = std::malloc(std::size_t(rowBytes) * height);
    if (!buffer)
        throw std::bad_alloc();
    return QImage(
        static_cast<uchar*>(buffer), width, height, rowBytes, QImage::Format_RGB32, [](void* data) { std::free(data); },
        buffer);
}

QImage surfaceCopyOf(const QImage& source)
{
    QImage copy = newSurfaceImage(source.width(), source.height());
    const qsizetype rowBytes = qsizetype(source.width()) * 4;
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(copy.bits() + y * copy.bytesPerLine(), source.constScanLine(y), rowBytes);
    return copy;
}

} // namespace

TBitmap::TBitmap(QImage image)
    : logicalWidth(image.width()), logicalHeight(image.height()), pixels(std::move(image)) { }

TBitmap TBitmap::white(int width, int height)
{
    TBitmap bitmap;
    bitmap.resizeTo(width, height);
    return bitmap;
}

void TBitmap::setWidth(int width) { resizeTo(width, height()); }

void TBitmap::setHeight(int height) { resizeTo(width(), height); }

void TBitmap::ensureRgb32()
{
    if (!pixels.isNull() && pixels.format() != QImage::Format_RGB32)
        pixels = surfaceCopyOf(pixels.convertToFormat(QImage::Format_RGB32));
}

QImage& TBitmap::writableImage()
{
    ensureRgb32();
    if (!pixels.isNull() && (!pixels.isDetached() || !hasCacheFriendlyRows(pixels)))
        pixels = surfaceCopyOf(pixels);
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
    QImage grown = newSurfaceImage(width, height);
    grown.fill(toQRgb(clWhite));
    if (!pixels.isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, pixels);
    }
    pixels = std::move(grown);
}
