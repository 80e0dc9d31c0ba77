// BMP files and the device-independent bitmaps they carry (icons reuse the
// bitmap part, see Dib.h). Qt serves only as the pixel container: its own BMP
// reader neither reads OS/2 2.x headers nor tells a cut file from a bad one.
#include "surface/Dib.h"
#include "surface/PictureFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>

void throwInvalidBitmap()
{
    throw PlanixError(QStringLiteral("ビットマップイメージが不正です"));
}

// ---------------------------------------------------------------- header

namespace {

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biRle8 = 1;
constexpr std::uint32_t biRle4 = 2;
constexpr std::uint32_t biBitFields = 3;       // Huffman 1D in an OS/2 2.x header
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
    throwInvalidBitmap();  // JPEG, PNG, OS/2 Huffman or RLE24, or a mismatched bit count
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
    f.skip(8);  // pixels per metre
    header.coloursUsed = f.u32();
    f.skip(4);  // important colours
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
    if (header.topDown && header.compression != DibCompression::None &&
        header.compression != DibCompression::BitFields)
        throwInvalidBitmap();  // RLE rows only run bottom-up
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

std::int64_t dibRowBytes(std::int64_t width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// ---------------------------------------------------------------- pixels

namespace {

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 with rounding
// (so a full 5-bit value gives 255, not 248).
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask(mask), shift(mask ? std::countr_zero(mask) : 0), top(mask >> shift)
    {
    }
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

class MaskedColour {
public:
    explicit MaskedColour(const DibMasks& masks) : red(masks.red), green(masks.green), blue(masks.blue) {}
    QRgb operator()(std::uint32_t pixel) const { return qRgb(red(pixel), green(pixel), blue(pixel)); }

private:
    Channel red, green, blue;
};

void checkPictureSize(const DibHeader& header)
{
    if (header.width * header.height > maxPicturePixels)
        throwInvalidBitmap();
}

QImage newImage(const DibHeader& header, const QList<QRgb>& palette)
{
    const bool indexed = header.bitCount <= 8;
    QImage image(int(header.width), int(header.height), indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
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
    case 24:
        for (int x = 0; x < width; ++x)
            rgb[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        break;
    case 32:
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + 4 * x;
            rgb[x] = colour(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                            std::uint32_t(p[3]) << 24);
        }
        break;
    default:
        unpackIndexes(row, header.bitCount, width, out);
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

QImage decodeRows(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data,
                  std::int64_t size)
{
    checkRowsPresent(header, size);
    checkPictureSize(header);
    QImage image = newImage(header, palette);
    const MaskedColour colour(header.masks);
    const std::int64_t rowBytes = dibRowBytes(header.width, header.bitCount);
    const int height = int(header.height);
    for (int r = 0; r < height; ++r)
        decodeRow(header, colour, data + r * rowBytes, image.scanLine(header.topDown ? r : height - 1 - r));
    return image;
}

// ---------------------------------------------------------------- RLE

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
            return;  // end of bitmap
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

QImage decodeDibPixels(const DibHeader& header, const QList<QRgb>& palette, const std::uint8_t* data,
                       std::int64_t size)
{
    if (header.compression == DibCompression::Rle8 || header.compression == DibCompression::Rle4)
        return decodeRle(header, palette, data, size);
    return decodeRows(header, palette, data, size);
}

// ---------------------------------------------------------------- BMP file

namespace {

// The palette between the header and the pixels. A pixel offset that leaves
// room for fewer entries than declared (OS/2 files often do) shortens it.
QList<QRgb> readFilePalette(ByteReader& in, const DibHeader& header, std::uint32_t pixelOffset)
{
    const qsizetype paletteStart = in.position();
    std::int64_t entries = header.usablePaletteEntries();
    if (pixelOffset != 0) {
        if (pixelOffset < paletteStart)
            throwInvalidBitmap();
        entries = std::min<std::int64_t>(entries, (pixelOffset - paletteStart) / header.paletteEntrySize);
    }
    return readDibPalette(in, entries, header.paletteEntrySize);
}

} // namespace

// An empty file is an empty picture; otherwise "BM", the file header (whose
// size field writers fill unreliably and which is not used), the bitmap.
Picture readBmp(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return Picture();
    ByteReader in(bytes);
    if (in.u8() != 'B' || in.u8() != 'M')
        throwInvalidBitmap();
    in.skip(8);  // file size, two reserved words
    const std::uint32_t pixelOffset = in.u32();
    const DibHeader header = readDibHeader(in);
    const qsizetype paletteStart = in.position();
    const QList<QRgb> palette = readFilePalette(in, header, pixelOffset);

    const std::int64_t start =
        pixelOffset != 0 ? pixelOffset : paletteStart + header.declaredPaletteEntries() * header.paletteEntrySize;
    if (start > bytes.size())
        throwReadError();
    std::int64_t size = bytes.size() - start;
    const bool rle = header.compression == DibCompression::Rle8 || header.compression == DibCompression::Rle4;
    if (rle && header.imageSize != 0) {
        if (header.imageSize > size)
            throwReadError();
        size = header.imageSize;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData()) + start;
    return Picture(TBitmap(decodeDibPixels(header, palette, data, size)));
}
