// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Icon files (.ico): a directory of images, of which the largest is shown,
// drawn with its transparency.
//
//   ICONDIR     reserved 0, type 1, count (16-bit each)
//   entries     16 bytes each: sizes, colours, planes, bits, byte count, offset
//   images      a device-independent bitmap of doubled height (colour rows, then
//               a 1-bit AND mask: 1 = transparent), or a whole PNG file
//
// The sizes and bit counts of the directory are not trusted; each image's own
// header is. Failures: "ストリームからの読み込みエラー" when the file is cut
// (an empty file included), "ビットマップイメージが不正です" for anything else
// that is not an icon (there is no message of icons' own).
#include "surface/readers/Dib.h"
#include "surface/readers/PictureFile.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace {

// An icon: its transparent pixels leave the target as it was. Scaling picks
// the nearest pixel.
class IconGraphic final : public Graphic {
public:
    explicit IconGraphic(QImage argb) : pixels(std::move(argb)) { }

    PictureKind kind() const override { return PictureKind::Icon; }
    int width() const override { return pixels.width(); }
    int height() const override { return pixels.height(); }

    void stretchDraw(QImage& target, const QRect& rect) const override
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect, pixels);
    }

private:
    QImage pixels; // premultiplied ARGB
};

// No icon image is larger: the directory itself describes at most 256 x 256,
// and this keeps an embedded PNG from claiming memory its bytes cannot justify.
constexpr std::int64_t maxIconSide = 1024;

struct IconImage {
    const std::uint8_t* data = nullptr;
    qsizetype size = 0;
    bool png = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitCount = 0;
};

bool startsAsPng(const std::uint8_t* data, qsizetype size)
{
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::equal(signature, signature + 8, data);
}

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Size and depth from the PNG's first chunk, IHDR.
void inspectPng(IconImage& image)
{
    ByteReader in(image.data, image.size);
    const std::uint8_t* p = in.take(26);
    if (!std::equal(p + 12, p + 16, "IHDR"))
        throwInvalidBitmap();
    static constexpr int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    const int colourType = p[25];
    image.png = true;
    image.width = bigEndian32(p + 16);
    image.height = bigEndian32(p + 20);
    image.bitCount = p[24] * (colourType < 7 ? channels[colourType] : 0);
}

void inspectDib(IconImage& image)
{
    ByteReader in(image.data, image.size);
    const DibHeader header = readDibHeader(in);
    image.width = header.width;
    image.height = header.height / 2;
    image.bitCount = header.bitCount;
}

IconImage readEntry(ByteReader& directory, const QByteArray& bytes)
{
    directory.skip(8); // sizes, colours, planes, bits: the image's header says
    const std::uint32_t size = directory.u32();
    const std::uint32_t offset = directory.u32();
    if (offset > bytes.size() || size > bytes.size() - offset)
        throwReadError();
    IconImage image;
    image.data = reinterpret_cast<const std::uint8_t*>(bytes.constData()) + offset;
    image.size = size;
    if (startsAsPng(image.data, image.size))
        inspectPng(image);
    else
        inspectDib(image);
    if (image.width <= 0 || image.height <= 0 || image.width > maxIconSide || image.height > maxIconSide)
        throwInvalidBitmap();
    return image;
}

// The largest by width x height, then by bit depth; the first of equals.
const IconImage& largest(const std::vector<IconImage>& images)
{
    return *std::max_element(images.begin(), images.end(), [](const IconImage& a, const IconImage& b) {
        const std::int64_t areaA = a.width * a.height, areaB = b.width * b.height;
        return areaA != areaB ? areaA < areaB : a.bitCount < b.bitCount;
    });
}

QImage decodePng(const IconImage& image)
{
    QImage decoded;
    const auto raw = QByteArray::fromRawData(reinterpret_cast<const char*>(image.data), image.size);
    if (!decoded.loadFromData(raw, "PNG"))
        throwInvalidBitmap();
    return decoded.convertToFormat(QImage::Format_ARGB32);
}

// Row r of the file as a row of the picture.
int pictureRow(const DibHeader& header, int r) { return header.topDown ? r : int(header.height) - 1 - r; }

bool hasAlpha(const std::uint8_t* colour, std::int64_t size)
{
    for (std::int64_t i = 3; i < size; i += 4)
        if (colour[i] != 0)
            return true;
    return false;
}

// The fourth byte of each 32-bit pixel as its opacity.
void takeAlpha(QImage& image, const DibHeader& header, const std::uint8_t* colour)
{
    const std::int64_t rowBytes = dibRowBytes(header.width, 32);
    for (int r = 0; r < image.height(); ++r) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(pictureRow(header, r)));
        const std::uint8_t* in = colour + r * rowBytes;
        for (int x = 0; x < image.width(); ++x)
            out[x] = (out[x] & 0x00FFFFFFu) | std::uint32_t(in[4 * x + 3]) << 24;
    }
}

// AND mask bit 1: transparent. (A mask bit 1 over a non-black colour would
// invert the screen; it is drawn transparent too.)
void applyMask(QImage& image, const DibHeader& header, const std::uint8_t* mask)
{
    const std::int64_t rowBytes = dibRowBytes(header.width, 1);
    for (int r = 0; r < image.height(); ++r) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(pictureRow(header, r)));
        const std::uint8_t* in = mask + r * rowBytes;
        for (int x = 0; x < image.width(); ++x)
            if ((in[x / 8] >> (7 - x % 8)) & 1)
                out[x] = 0;
    }
}

QImage decodeDib(const IconImage& image)
{
    ByteReader in(image.data, image.size);
    DibHeader header = readDibHeader(in);
    if (header.compression != DibCompression::None && header.compression != DibCompression::BitFields)
        throwInvalidBitmap(); // the mask's place is unknown after an RLE stream
    header.height /= 2;
    const qsizetype paletteStart = in.position();
    const QList<QRgb> palette = readDibPalette(in, header.usablePaletteEntries(), header.paletteEntrySize);
    in.seek(paletteStart + header.declaredPaletteEntries() * header.paletteEntrySize);
    const std::int64_t colourBytes = dibRowBytes(header.width, header.bitCount) * header.height;
    const std::uint8_t* colour = in.take(colourBytes);
    const std::uint8_t* mask = in.take(dibRowBytes(header.width, 1) * header.height);

    QImage argb = decodeDibPixels(header, palette, colour, colourBytes).convertToFormat(QImage::Format_ARGB32);
    if (header.bitCount == 32 && header.compression == DibCompression::None && hasAlpha(colour, colourBytes))
        takeAlpha(argb, header, colour);
    else
        applyMask(argb, header, mask);
    return argb;
}

} // namespace

Picture readIcon(const QByteArray& bytes)
{
    ByteReader in(bytes);
    const std::uint16_t reserved = in.u16();
    const std::uint16_t type = in.u16();
    if (reserved != 0 || type != 1)
        throwInvalidBitmap();
    const int count = in.u16();
    if (count == 0)
        throwInvalidBitmap();
    std::vector<IconImage> images;
    for (int i = 0; i < count; ++i)
        images.push_back(readEntry(in, bytes));
    const IconImage& chosen = largest(images);
    const QImage argb = chosen.png ? decodePng(chosen) : decodeDib(chosen);
    return Picture(std::make_shared<const IconGraphic>(argb.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
}
