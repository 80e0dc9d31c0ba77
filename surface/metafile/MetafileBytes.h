// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Little-endian reads from a metafile record that never leave it. A read
// past the end yields 0 and marks the view as overrun, so a record that is
// shorter than its fields claim draws nothing instead of reading beyond the
// file.
#include "base/PlanixError.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>

// The file ends inside its header or a record.
inline PlanixError metafileCut() { return PlanixError(QStringLiteral("ストリームからの読み込みエラー")); }

// No metafile header, or a record size no metafile can have.
inline PlanixError metafileInvalid() { return PlanixError(QStringLiteral("メタファイルが不正です")); }

class RecordView {
public:
    RecordView() = default;
    RecordView(const char* data, std::size_t size) : data(data), length(size) { }
    explicit RecordView(const QByteArray& bytes)
        : data(bytes.constData()), length(static_cast<std::size_t>(bytes.size()))
    {
    }

    std::size_t size() const { return length; }
    const char* bytes() const { return data; }
    bool overrun() const { return outside; }

    // True when count elements of elementSize bytes fit from offset on.
    bool fits(std::size_t offset, std::uint64_t count, std::size_t elementSize) const
    {
        return offset <= length && count <= (length - offset) / (elementSize ? elementSize : 1);
    }

    std::uint8_t u8(std::size_t at) const { return read<std::uint8_t>(at); }
    std::uint16_t u16(std::size_t at) const { return read<std::uint16_t>(at); }
    std::int16_t i16(std::size_t at) const { return read<std::int16_t>(at); }
    std::uint32_t u32(std::size_t at) const { return read<std::uint32_t>(at); }
    std::int32_t i32(std::size_t at) const { return read<std::int32_t>(at); }
    float f32(std::size_t at) const { return read<float>(at); }

    // The bytes [offset, offset + count), or an empty view when they do not fit.
    RecordView slice(std::size_t offset, std::size_t count) const
    {
        if (!fits(offset, count, 1)) {
            outside = true;
            return {};
        }
        return {data + offset, count};
    }

private:
    template <typename T>
    T read(std::size_t at) const
    {
        T value{};
        if (!fits(at, 1, sizeof(T))) {
            outside = true;
            return value;
        }
        std::memcpy(&value, data + at, sizeof(T)); // files are little-endian, as is the machine
        return value;
    }

    const char* data = nullptr;
    std::size_t length = 0;
    mutable bool outside = false;
};
