// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// BMP files: "BM", the file header, then a device-independent bitmap (Dib.h).
// Qt serves only as the pixel container: its own BMP reader neither reads
// OS/2 2.x headers nor tells a cut file from a bad one.
#include "surface/readers/Dib.h"
#include "surface/readers/PictureFile.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

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

// Where a BMP file's parts lie.
struct BmpLayout {
    DibHeader header;
    QList<QRgb> palette;
    std::int64_t start = 0; // of the pixel data
    std::int64_t size = 0;  // bytes of pixel data
    bool rle = false;
};

// "BM", the file header (whose size field writers fill unreliably and which
// is not used), the bitmap's header and palette, read from head, the file's
// first bytes; fileSize is the whole file's.
BmpLayout readLayout(ByteReader& in, std::int64_t fileSize)
{
    if (in.u8() != 'B' || in.u8() != 'M')
        throwInvalidBitmap();
    in.skip(8); // file size, two reserved words
    const std::uint32_t pixelOffset = in.u32();
    BmpLayout layout;
    layout.header = readDibHeader(in);
    const qsizetype paletteStart = in.position();
    layout.palette = readFilePalette(in, layout.header, pixelOffset);

    const DibHeader& header = layout.header;
    layout.start = pixelOffset != 0 ? pixelOffset
                                    : paletteStart + header.declaredPaletteEntries() * header.paletteEntrySize;
    if (layout.start > fileSize)
        throwReadError();
    layout.size = fileSize - layout.start;
    layout.rle = header.compression == DibCompression::Rle8 || header.compression == DibCompression::Rle4;
    if (layout.rle && header.imageSize != 0) {
        if (header.imageSize > layout.size)
            throwReadError();
        layout.size = header.imageSize;
    }
    return layout;
}

// count bytes of the file from offset, all of them or the read error.
QByteArray readAt(int fd, std::int64_t offset, std::int64_t count)
{
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, std::size_t(bytes.size() - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throwReadError();
        done += got;
    }
    return bytes;
}

const std::uint8_t* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

} // namespace

// An empty file is an empty picture.
Picture readBmp(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return Picture();
    ByteReader in(bytes);
    const BmpLayout layout = readLayout(in, bytes.size());
    return Picture(TBitmap(decodeDibPixels(layout.header, layout.palette, bytesOf(bytes) + layout.start, layout.size)));
}

Picture readBmpFile(int fd, std::int64_t size)
{
    // Headers and palette take at most a few KB; a file this small is read whole.
    constexpr std::int64_t headBytes = 64 * 1024;
    if (size <= headBytes)
        return readBmp(readAt(fd, 0, size));
    const QByteArray head = readAt(fd, 0, headBytes);
    ByteReader in(head);
    const BmpLayout layout = readLayout(in, size);
    if (layout.rle) {
        const QByteArray stream = readAt(fd, layout.start, layout.size);
        return Picture(TBitmap(decodeDibPixels(layout.header, layout.palette, bytesOf(stream), layout.size)));
    }
    // Rows in chunks of about 1 MB, each decoded as soon as it is read.
    DibRows rows(layout.header, layout.palette, layout.size);
    const int perChunk = int(std::clamp<std::int64_t>((1 << 20) / rows.stride(), 1, rows.count()));
    for (int first = 0; first < rows.count(); first += perChunk) {
        const int count = std::min(perChunk, rows.count() - first);
        const std::int64_t offset = layout.start + first * rows.stride();
        const QByteArray chunk = readAt(fd, offset, (count - 1) * rows.stride() + rows.bytesUsed());
        for (int r = 0; r < count; ++r)
            rows.decode(first + r, bytesOf(chunk) + r * rows.stride());
    }
    return Picture(TBitmap(rows.take()));
}
