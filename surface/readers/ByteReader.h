// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Little-endian reading from a file's bytes held in memory, as the bitmap and
// icon readers need it. Every read is checked against the end of the bytes:
// reading past it throws "ストリームからの読み込みエラー", the message of a
// file shorter than its headers promise.
#include "base/PlanixError.h"

#include <QByteArray>
#include <cstdint>

[[noreturn]] inline void throwReadError() { throw PlanixError(QStringLiteral("ストリームからの読み込みエラー")); }

class ByteReader {
public:
    // Reads data[0, length); the bytes must outlive the reader.
    ByteReader(const std::uint8_t* data, qsizetype length) : begin(data), length(length) { }
    explicit ByteReader(const QByteArray& bytes)
        : ByteReader(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size())
    {
    }

    qsizetype position() const { return offset; }
    qsizetype size() const { return length; }
    qsizetype remaining() const { return length - offset; }

    std::uint8_t u8() { return *take(1); }
    std::uint16_t u16()
    {
        const std::uint8_t* p = take(2);
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }
    std::uint32_t u32()
    {
        const std::uint8_t* p = take(4);
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    // The next count bytes, which the reader then steps over.
    const std::uint8_t* take(qsizetype count)
    {
        if (count < 0 || count > remaining())
            throwReadError();
        const std::uint8_t* p = begin + offset;
        offset += count;
        return p;
    }
    void skip(qsizetype count) { take(count); }
    // A reader over the next count bytes, which this reader then steps over.
    ByteReader part(qsizetype count) { return ByteReader(take(count), count); }
    // Moves to an absolute position, at most the end.
    void seek(qsizetype to)
    {
        if (to < 0 || to > length)
            throwReadError();
        offset = to;
    }

private:
    const std::uint8_t* begin;
    qsizetype length;
    qsizetype offset = 0;
};
