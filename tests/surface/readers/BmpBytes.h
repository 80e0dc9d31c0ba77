// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Building bitmap and icon files byte by byte for the reader tests.
#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <initializer_list>

class LeBytes {
public:
    LeBytes& u8(unsigned v)
    {
        bytes.append(char(v & 0xFF));
        return *this;
    }
    LeBytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    LeBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    LeBytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    LeBytes& raw(const QByteArray& more)
    {
        bytes.append(more);
        return *this;
    }
    LeBytes& zeros(int count)
    {
        bytes.append(QByteArray(count, '\0'));
        return *this;
    }
    QByteArray bytes;
};

// The fields of an info header; size 12 writes the OS/2 core layout,
// other sizes the Windows layout cut or zero-filled to that size.
struct InfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    unsigned planes = 1;
    unsigned bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
};

inline QByteArray infoHeader(const InfoHeader& h)
{
    LeBytes b;
    b.u32(h.size);
    if (h.size == 12) {
        b.u16(h.width).u16(h.height).u16(h.planes).u16(h.bitCount);
        return b.bytes;
    }
    b.i32(h.width).i32(h.height).u16(h.planes).u16(h.bitCount).u32(h.compression).u32(h.imageSize);
    b.u32(2835).u32(2835).u32(h.coloursUsed).u32(0);
    QByteArray out = b.bytes;
    out.resize(h.size, '\0');
    return out;
}

// Palette entries blue, green, red [, 0].
inline QByteArray paletteBytes(std::initializer_list<QRgb> colours, int entrySize = 4)
{
    LeBytes b;
    for (QRgb c : colours) {
        b.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
        if (entrySize == 4)
            b.u8(0);
    }
    return b.bytes;
}

// "BM", file header, info header, then between (masks, palette) and pixels;
// the pixel offset points right after between.
inline QByteArray bmpFile(const InfoHeader& h, const QByteArray& between, const QByteArray& pixels)
{
    const QByteArray info = infoHeader(h);
    const auto offset = std::uint32_t(14 + info.size() + between.size());
    LeBytes b;
    b.u8('B').u8('M').u32(offset + pixels.size()).u32(0).u32(offset);
    return b.raw(info).raw(between).raw(pixels).bytes;
}
