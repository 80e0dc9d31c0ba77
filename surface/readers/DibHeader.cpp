// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Device-independent bitmap headers and palettes (see Dib.h).
#include "surface/readers/Dib.h"

#include <algorithm>
#include <array>

void throwInvalidBitmap() { throw PlanixError(QStringLiteral("ビットマップイメージが不正です")); }

namespace {

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biRle8 = 1;
constexpr std::uint32_t biRle4 = 2;
constexpr std::uint32_t biBitFields = 3; // Huffman 1D in an OS/2 2.x header
constexpr std::uint32_t biAlphaBitFields = 6;

bool isWindowsHeaderSize(std::uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool isOs2HeaderSize(std::uint32_t size)
{
    return size == 12 || (size >= 16 && size <= 64 && !isWindowsHeaderSize(size));
}

bool isSupportedBitCount(int bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

DibMasks defaultMasks(int bitCount)
{
    if (bitCount == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

DibCompression compressionOf(std::uint32_t code, int bitCount, bool os2)
{
    const bool wide = bitCount == 16 || bitCount == 32;
    if (code == biRgb)
        return DibCompression::None;
    if (code == biRle8 && bitCount == 8)
        return DibCompression::Rle8;
    if (code == biRle4 && bitCount == 4)
        return DibCompression::Rle4;
    if ((code == biBitFields || code == biAlphaBitFields) && wide && !os2)
        return DibCompression::BitFields;
    throwInvalidBitmap(); // JPEG, PNG, OS/2 Huffman or RLE24, or a mismatched bit count
}

void readCoreFields(ByteReader& fields, DibHeader& header, int& planes)
{
    header.width = fields.u16();
    header.height = fields.u16();
    planes = fields.u16();
    header.bitCount = fields.u16();
    header.paletteEntrySize = 3;
}

// The masks after a 40-byte header (then an unused alpha mask for alpha bit fields).
DibMasks readMasksAfterHeader(ByteReader& in, bool alphaMask)
{
    DibMasks masks;
    masks.red = in.u32();
    masks.green = in.u32();
    masks.blue = in.u32();
    if (alphaMask)
        in.skip(4);
    return masks;
}

// The fields of every header but the OS/2 core one; an OS/2 2.x header shorter
// than 40 bytes leaves the rest 0. Headers of 52 bytes and more hold the
// bit-field masks. Returns the compression code as written.
std::uint32_t readInfoFields(ByteReader& fields, DibHeader& header, int& planes)
{
    std::array<std::uint8_t, 120> padded{};
    const qsizetype length = fields.size();
    std::copy_n(fields.take(length), length, padded.begin());
    ByteReader f(padded.data(), padded.size());

    const std::int32_t width = f.i32();
    const std::int32_t height = f.i32();
    planes = f.u16();
    header.bitCount = f.u16();
    const std::uint32_t code = f.u32();
    header.imageSize = f.u32();
    f.skip(8); // pixels per metre
    header.coloursUsed = f.u32();
    f.skip(4); // important colours
    header.masks.red = f.u32();
    header.masks.green = f.u32();
    header.masks.blue = f.u32();

    header.width = width;
    header.topDown = height < 0;
    header.height = height < 0 ? -std::int64_t(height) : height;
    header.compression = compressionOf(code, header.bitCount, isOs2HeaderSize(header.headerSize));
    return code;
}

void validate(const DibHeader& header, int planes)
{
    if (planes != 1 || !isSupportedBitCount(header.bitCount))
        throwInvalidBitmap();
    if (header.width <= 0 || header.height <= 0)
        throwInvalidBitmap();
    if (header.topDown && header.compression != DibCompression::None && header.compression != DibCompression::BitFields)
        throwInvalidBitmap(); // RLE rows only run bottom-up
}

} // namespace

std::int64_t DibHeader::declaredPaletteEntries() const
{
    if (coloursUsed != 0)
        return coloursUsed;
    return bitCount <= 8 ? std::int64_t(1) << bitCount : 0;
}

std::int64_t DibHeader::usablePaletteEntries() const
{
    return bitCount <= 8 ? std::min(declaredPaletteEntries(), std::int64_t(1) << bitCount) : 0;
}

DibHeader readDibHeader(ByteReader& in)
{
    DibHeader header;
    header.headerSize = in.u32();
    if (!isWindowsHeaderSize(header.headerSize) && !isOs2HeaderSize(header.headerSize))
        throwInvalidBitmap();
    ByteReader fields = in.part(header.headerSize - 4);
    int planes = 0;
    std::uint32_t code = biRgb;
    if (header.headerSize == 12)
        readCoreFields(fields, header, planes);
    else
        code = readInfoFields(fields, header, planes);
    validate(header, planes);
    if (header.compression == DibCompression::None)
        header.masks = defaultMasks(header.bitCount);
    else if (header.compression == DibCompression::BitFields && header.headerSize == 40)
        header.masks = readMasksAfterHeader(in, code == biAlphaBitFields);
    return header;
}

QList<QRgb> readDibPalette(ByteReader& in, std::int64_t count, int entrySize)
{
    ByteReader entries = in.part(count * entrySize);
    QList<QRgb> palette;
    palette.reserve(count);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint8_t* e = entries.take(entrySize);
        palette.push_back(qRgb(e[2], e[1], e[0]));
    }
    return palette;
}

std::int64_t dibRowBytes(std::int64_t width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }
