// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Device-independent bitmap pixels: uncompressed rows of 1 to 32 bits and the
// RLE8 and RLE4 streams (see Dib.h).
#include "surface/readers/Dib.h"

#include <algorithm>
#include <bit>
#include <new>

class MaskedColour;

namespace {

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 with rounding
// (so a full 5-bit value gives 255, not 248).
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask(mask), shift(mask ? std::countr_zero(mask) : 0), top(mask >> shift) { }
    std::uint32_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel & mask) >> shift;
        if (top == 255 || top == 0)
            return value;
        return static_cast<std::uint32_t>((std::uint64_t(value) * 255 + top / 2) / top);
    }

private:
    std::uint32_t mask;
    int shift;
    std::uint32_t top;
};

} // namespace

class MaskedColour {
public:
    explicit MaskedColour(const DibMasks& masks) : red(masks.red), green(masks.green), blue(masks.blue) { }
    QRgb operator()(std::uint32_t pixel) const { return qRgb(red(pixel), green(pixel), blue(pixel)); }

private:
    Channel red, green, blue;
};

namespace {

void checkPictureSize(const DibHeader& header)
{
    if (header.width * header.height > maxPicturePixels)
        throwInvalidBitmap();
}

QImage::Format formatFor(int bitCount)
{
    if (bitCount <= 8)
        return QImage::Format_Indexed8;
    return bitCount == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

QImage newImage(const DibHeader& header, const QList<QRgb>& palette)
{
    const bool indexed = header.bitCount <= 8;
    QImage image(int(header.width), int(header.height), formatFor(header.bitCount));
    if (image.isNull())
        throw std::bad_alloc();
    if (indexed) {
        QList<QRgb> table = palette;
        table.resize(qsizetype(1) << header.bitCount, qRgb(0, 0, 0));
        image.setColorTable(table);
    }
    return image;
}

void unpackIndexes(const std::uint8_t* row, int bits, int width, uchar* out)
{
    if (bits == 8) {
        std::copy_n(row, width, out);
        return;
    }
    const int perByte = 8 / bits;
    const unsigned valueMask = (1u << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        out[x] = static_cast<uchar>((row[x / perByte] >> shift) & valueMask);
    }
}

void decodeRow(const DibHeader& header, const MaskedColour& colour, const std::uint8_t* row, uchar* out)
{
    const int width = int(header.width);
    auto* rgb = reinterpret_cast<QRgb*>(out);
    switch (header.bitCount) {
    case 16:
        for (int x = 0; x < width; ++x)
            rgb[x] = colour(std::uint32_t(row[2 * x]) | std::uint32_t(row[2 * x + 1]) << 8);
        break;
    case 24: // blue, green, red as stored
        std::copy_n(row, 3 * width, out);
        break;
    case 32:
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + 4 * x;
            rgb[x] = colour(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                            | std::uint32_t(p[3]) << 24);
        }
        break;
    default: unpackIndexes(row, header.bitCount, width, out);
    }
}

// Every row must be there; the last may lack its padding.
void checkRowsPresent(const DibHeader& header, std::int64_t size)
{
    const std::int64_t rowBytes = dibRowBytes(header.width, header.bitCount);
    const std::int64_t lastRow = (header.width * header.bitCount + 7) / 8;
    if (size < lastRow || header.height - 1 > (size - lastRow) / rowBytes)
        throwReadError();
}

QImage decodeRows(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data, std::int64_t size)
{
    DibRows rows(header, palette, size);
    for (int r = 0; r < rows.count(); ++r)
        rows.decode(r, data + r * rows.stride());
    return rows.take();
}

// RLE streams

// An indexed picture that an RLE stream paints from the bottom row up;
// whatever falls outside it is dropped.
class RleCanvas {
public:
    explicit RleCanvas(QImage& image)
        : bits(image.bits()), stride(image.bytesPerLine()), width(image.width()), height(image.height())
    {
    }
    bool full() const { return y >= height; }
    void put(std::uint8_t index)
    {
        if (x < width && y < height)
            bits[(height - 1 - y) * stride + x] = index;
        ++x;
    }
    void endLine()
    {
        x = 0;
        ++y;
    }
    void move(int dx, int dy)
    {
        x += dx;
        y += dy;
    }

private:
    uchar* bits;
    qsizetype stride;
    std::int64_t width, height;
    std::int64_t x = 0, y = 0;
};

std::uint8_t nibble(std::uint8_t byte, int i) { return i % 2 == 0 ? byte >> 4 : byte & 0x0F; }

// Absolute mode: count literal pixels, padded to a 16-bit boundary. A stream
// that stops inside them gives what it holds.
void putLiterals(ByteReader& in, int count, bool fourBit, RleCanvas& canvas)
{
    const qsizetype bytes = fourBit ? (count + 1) / 2 : count;
    const qsizetype present = std::min(bytes, in.remaining());
    const std::uint8_t* p = in.take(present);
    const int pixels = fourBit ? std::min<int>(count, int(present * 2)) : int(present);
    for (int i = 0; i < pixels; ++i)
        canvas.put(fourBit ? nibble(p[i / 2], i) : p[i]);
    if (present == bytes && bytes % 2 == 1 && in.remaining() > 0)
        in.skip(1);
}

void paintRle(ByteReader in, bool fourBit, RleCanvas& canvas)
{
    while (!canvas.full() && in.remaining() >= 2) {
        const int count = in.u8();
        const std::uint8_t code = in.u8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                canvas.put(fourBit ? nibble(code, i) : code);
            continue;
        }
        if (code == 0) {
            canvas.endLine();
        } else if (code == 1) {
            return; // end of bitmap
        } else if (code == 2) {
            if (in.remaining() < 2)
                return;
            const int dx = in.u8();
            canvas.move(dx, in.u8());
        } else {
            putLiterals(in, code, fourBit, canvas);
        }
    }
}

QImage decodeRle(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data, std::int64_t size)
{
    if (header.width * header.height > 65536 + 256 * size)
        throwReadError();
    checkPictureSize(header);
    QImage image = newImage(header, palette);
    image.fill(0);
    RleCanvas canvas(image);
    paintRle(ByteReader(data, size), header.compression == DibCompression::Rle4, canvas);
    return image;
}

} // namespace

DibRows::DibRows(const DibHeader& header, const QList<QRgb>& palette, std::int64_t dataSize)
    : header(header), colour(std::make_unique<MaskedColour>(header.masks))
{
    checkRowsPresent(header, dataSize);
    checkPictureSize(header);
    image = newImage(header, palette);
}

DibRows::~DibRows() = default;

int DibRows::count() const { return int(header.height); }

std::int64_t DibRows::stride() const { return dibRowBytes(header.width, header.bitCount); }

std::int64_t DibRows::bytesUsed() const { return (header.width * header.bitCount + 7) / 8; }

void DibRows::decode(int index, const std::uint8_t* bytes)
{
    const int height = count();
    decodeRow(header, *colour, bytes, image.scanLine(header.topDown ? index : height - 1 - index));
}

QImage decodeDibPixels(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data, std::int64_t size)
{
    if (header.compression == DibCompression::Rle8 || header.compression == DibCompression::Rle4)
        return decodeRle(header, palette, data, size);
    return decodeRows(header, palette, data, size);
}
