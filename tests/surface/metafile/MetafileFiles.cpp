// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "MetafileFiles.h"

#include <vector>

namespace {

void put(QByteArray& out, long long value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((static_cast<unsigned long long>(value) >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray words(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        put(out, v, 2);
    return out;
}

QByteArray dwords(std::initializer_list<long long> values)
{
    QByteArray out;
    for (long long v : values)
        put(out, v, 4);
    return out;
}

WmfWriter::WmfWriter(std::optional<QRect> box, int unitsPerInch, int objects)
    : box(box), unitsPerInch(unitsPerInch), objects(objects)
{
}

WmfWriter& WmfWriter::record(std::uint16_t function, const QByteArray& parameters)
{
    QByteArray body = parameters;
    if (body.size() % 2)
        body.append('\0');
    const auto size = static_cast<std::uint32_t>(3 + body.size() / 2);
    put(records, size, 4);
    put(records, function, 2);
    records.append(body);
    largestRecord = std::max(largestRecord, size);
    return *this;
}

QByteArray WmfWriter::bytes() const
{
    QByteArray out;
    if (box) {
        QByteArray placeable;
        put(placeable, 0x9AC6CDD7, 4);
        placeable.append(words({0, box->left(), box->top(), box->right() + 1, box->bottom() + 1, unitsPerInch}));
        put(placeable, 0, 4);
        std::uint16_t checksum = 0;
        for (int i = 0; i < 20; i += 2)
            checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(placeable[i])
                                                   | static_cast<unsigned char>(placeable[i + 1]) << 8);
        put(placeable, checksum, 2);
        out.append(placeable);
    }
    const QByteArray end = dwords({3}) + words({0});
    const auto totalWords = static_cast<std::uint32_t>((18 + records.size() + end.size()) / 2);
    out.append(words({1, 9, 0x0300}));
    put(out, totalWords, 4);
    put(out, objects, 2);
    put(out, largestRecord, 4);
    put(out, 0, 2);
    out.append(records);
    out.append(end);
    return out;
}

EmfWriter::EmfWriter(QRect bounds, QRect frame, QSize devicePixels, QSize deviceMillimetres)
    : bounds(bounds), frame(frame), devicePixels(devicePixels), deviceMillimetres(deviceMillimetres)
{
}

EmfWriter& EmfWriter::record(std::uint32_t type, const QByteArray& body)
{
    QByteArray padded = body;
    while (padded.size() % 4)
        padded.append('\0');
    put(records, type, 4);
    put(records, 8 + padded.size(), 4);
    records.append(padded);
    ++count;
    return *this;
}

QByteArray EmfWriter::bytes() const
{
    constexpr int headerSize = 108;
    const QByteArray end = dwords({14, 20, 0, 16, 20});
    QByteArray out = dwords({1, headerSize, bounds.left(), bounds.top(), bounds.right(), bounds.bottom(), frame.left(),
                             frame.top(), frame.right(), frame.bottom(), 0x464D4520, 0x10000,
                             headerSize + records.size() + end.size(), count + 2});
    out.append(words({16, 0}));
    out.append(dwords({0, 0, 0, devicePixels.width(), devicePixels.height(), deviceMillimetres.width(),
                       deviceMillimetres.height(), 0, 0, 0, deviceMillimetres.width() * 1000,
                       deviceMillimetres.height() * 1000}));
    out.append(records);
    out.append(end);
    return out;
}

QByteArray dibInfo24(int width, int height)
{
    // The size field keeps the low 32 bits of a lying header's product.
    const long long stride = (width * 3LL + 3) / 4 * 4;
    return dwords({40, width, height}) + words({1, 24}) + dwords({0, stride * height, 0, 0, 0, 0});
}

QByteArray dibBits24(int width, int height, std::initializer_list<std::uint32_t> topDownPixels)
{
    const std::vector<std::uint32_t> pixels(topDownPixels);
    const int stride = (width * 3 + 3) / 4 * 4;
    QByteArray bits;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<size_t>(y * width + x)];
            row.append(static_cast<char>(p & 0xFF));         // blue
            row.append(static_cast<char>((p >> 8) & 0xFF));  // green
            row.append(static_cast<char>((p >> 16) & 0xFF)); // red
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        bits.append(row);
    }
    return bits;
}
