// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Device-independent bitmaps: the pixel format inside BMP files and icons.
//
//   info header   Windows: 40 bytes, 52 and 56 (masks inside), 108 (V4), 124 (V5)
//                 OS/2: 12-byte core (16-bit sizes, 3-byte palette entries),
//                       16 to 64 bytes (2.x; missing fields read as 0)
//   [masks]       three (or four) 32-bit masks after a 40-byte header with bit fields
//   palette       blue, green, red [, unused] per entry
//   pixel rows    bottom-up unless the height is negative; each row padded to 4 bytes
//
// Failures throw PlanixError:
//   "ビットマップイメージが不正です"   a header that makes no sense: header size,
//                                     planes other than 1, bit count, compression,
//                                     zero or absurd sizes
//   "ストリームからの読み込みエラー"   fewer bytes than the header promises
//                                     (see ByteReader.h)
#include "surface/readers/ByteReader.h"

#include <QImage>
#include <QList>
#include <cstdint>
#include <memory>

[[noreturn]] void throwInvalidBitmap();

enum class DibCompression { None, Rle8, Rle4, BitFields };

struct DibMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
};

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;  // > 0
    std::int64_t height = 0; // > 0, rows counted whatever their order
    bool topDown = false;    // a negative height in the file
    int bitCount = 0;        // 1, 2, 4, 8, 16, 24 or 32
    DibCompression compression = DibCompression::None;
    DibMasks masks;                // the colour channels of 16- and 32-bit pixels
    std::uint32_t coloursUsed = 0; // 0: the default for the bit count
    std::uint32_t imageSize = 0;   // bytes of pixel data; 0 when the writer left it out
    int paletteEntrySize = 4;      // 3 for the OS/2 core header

    // Entries of the palette as written after the header (0 above 8 bits per pixel
    // unless coloursUsed says otherwise).
    std::int64_t declaredPaletteEntries() const;
    // Entries the pixels can use: the declared ones, at most 2^bitCount.
    std::int64_t usablePaletteEntries() const;
};

// Reads the info header (and the masks that follow a 40-byte one) from the
// reader's position and leaves the reader after them.
DibHeader readDibHeader(ByteReader& in);

// Reads count palette entries of entrySize bytes as opaque colours.
QList<QRgb> readDibPalette(ByteReader& in, std::int64_t count, int entrySize);

// Bytes of one uncompressed row, padded to a multiple of 4.
std::int64_t dibRowBytes(std::int64_t width, int bitCount);

// The largest picture a reader accepts, in pixels (2^28: 1 GB at 32 bits per pixel).
constexpr std::int64_t maxPicturePixels = std::int64_t(1) << 28;

// Decodes the pixel data (data, size) described by header.
//   1 to 8 bits per pixel: Format_Indexed8 whose colour table is the palette,
//     filled up with black to 2^bitCount entries, so an index the palette does
//     not reach reads as black; pixels an RLE stream leaves out are index 0.
//   24 bits per pixel: Format_BGR888, the bytes as stored (a large photo
//     takes three bytes a pixel, not four).
//   16 and 32 bits per pixel: Format_RGB32; any alpha bits are ignored.
// Uncompressed rows must all be present (the last one may lack its padding).
// An RLE stream may end early; runs past the row are cut, moves past the
// picture end it. As an RLE stream's length says nothing of the picture's
// size, an RLE picture may hold at most 65536 + 256 pixels per stream byte
// (twice what runs can encode), else the read error is thrown.
// Pictures above maxPicturePixels are invalid.
QImage decodeDibPixels(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data,
                       std::int64_t size);

class MaskedColour;

// The picture of uncompressed pixel data, filled one stored row at a time
// (bottom row first unless top-down), so that a reader can hand over rows as
// it reads them and never hold the file's pixel data whole. Formats as for
// decodeDibPixels.
class DibRows {
public:
    // Throws as decodeDibPixels does when dataSize bytes cannot hold every
    // row or the picture is too large, before any pixel memory is taken.
    DibRows(const DibHeader& header, const QList<QRgb>& palette, std::int64_t dataSize);
    ~DibRows();

    int count() const;              // rows stored
    std::int64_t stride() const;    // bytes from one stored row to the next
    std::int64_t bytesUsed() const; // bytes of a row without its padding
    // Decodes stored row index from bytesUsed() bytes.
    void decode(int index, const std::uint8_t* bytes);
    QImage take() { return std::move(image); }

private:
    DibHeader header;
    std::unique_ptr<MaskedColour> colour;
    QImage image;
};
