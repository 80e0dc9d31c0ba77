// BMP files: "BM", the file header, then a device-independent bitmap (Dib.h).
// Qt serves only as the pixel container: its own BMP reader neither reads
// OS/2 2.x headers nor tells a cut file from a bad one.
#include "surface/readers/Dib.h"
#include "surface/readers/PictureFile.h"

#include <algorithm>

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
