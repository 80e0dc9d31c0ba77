// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The nine thresholds of the "しきい値" submenu: the fraction of the way from
// the background level towards the object level that a pixel must pass to be
// counted. Each is the single-precision number nearest to 0.1 ... 0.9, kept
// here by its exact bits: the arithmetic uses that number itself (0.7 is
// 0.699999988..., 0.3 is 0.300000011...), which decides pixels lying exactly
// on a limit.
#include <QString>
#include <array>
#include <bit>
#include <cstdint>

inline constexpr std::array<std::uint32_t, 9> thresholdBits = {
    0x3DCCCCCD, // 10 %
    0x3E4CCCCD, // 20 %
    0x3E99999A, // 30 %
    0x3ECCCCCD, // 40 %
    0x3F000000, // 50 %
    0x3F19999A, // 60 %
    0x3F333333, // 70 %
    0x3F4CCCCD, // 80 %
    0x3F666666, // 90 %
};

// tenths: 1 .. 9.
constexpr float thresholdValue(int tenths)
{
    return std::bit_cast<float>(thresholdBits.at(static_cast<std::size_t>(tenths - 1)));
}

// The submenu's title after a choice, ending in one blank: "しきい値70％ ".
inline QString thresholdCaption(int tenths) { return QStringLiteral("しきい値%1％ ").arg(tenths * 10); }
