// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small WMF and EMF files written by the tests, record by record.
#include <QByteArray>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <initializer_list>
#include <optional>

// Little-endian byte runs for record bodies.
QByteArray words(std::initializer_list<int> values);        // 16-bit each
QByteArray dwords(std::initializer_list<long long> values); // 32-bit each

// A WMF: placeable (with a bounding box in units per inch) or plain.
class WmfWriter {
public:
    explicit WmfWriter(std::optional<QRect> box = std::nullopt, int unitsPerInch = 1440, int objects = 16);
    // function: the full 16-bit record function, e.g. 0x041B for RECTANGLE.
    WmfWriter& record(std::uint16_t function, const QByteArray& parameters);
    QByteArray bytes() const; // with the end-of-file record

private:
    std::optional<QRect> box;
    int unitsPerInch;
    int objects;
    QByteArray records;
    std::uint32_t largestRecord = 3;
};

// An EMF whose header names the given bounds (pixels), frame (0.01 mm) and
// reference device.
class EmfWriter {
public:
    EmfWriter(QRect bounds, QRect frame, QSize devicePixels = {1000, 1000}, QSize deviceMillimetres = {250, 250});
    EmfWriter& record(std::uint32_t type, const QByteArray& body); // body padded to 4 bytes
    QByteArray bytes() const;                                      // with the end-of-file record

private:
    QRect bounds, frame;
    QSize devicePixels, deviceMillimetres;
    QByteArray records;
    std::uint32_t count = 0;
};

// A 24-bit bottom-up BITMAPINFOHEADER and pixels; pixels given top row
// first, as 0xRRGGBB.
QByteArray dibInfo24(int width, int height);
QByteArray dibBits24(int width, int height, std::initializer_list<std::uint32_t> topDownPixels);
