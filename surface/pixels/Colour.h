// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colour values as the program passes them around: 0x00BBGGRR, red in bits 0-7,
// green in 8-15, blue in 16-23. Channels are always taken by masking, whatever
// the top byte holds.
#include <QRgb>
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clGray = 0x00808080;

// What a read outside a surface yields: 255 in every channel.
constexpr TColor outsideColour = 0xFFFFFFFF;

constexpr unsigned redOf(TColor c) { return c & 0xFFu; }
constexpr unsigned greenOf(TColor c) { return (c >> 8) & 0xFFu; }
constexpr unsigned blueOf(TColor c) { return (c >> 16) & 0xFFu; }

constexpr TColor rgbColour(unsigned red, unsigned green, unsigned blue)
{
    return (blue & 0xFFu) << 16 | (green & 0xFFu) << 8 | (red & 0xFFu);
}

// QRgb is 0xAARRGGBB; the alpha byte is dropped.
constexpr TColor fromQRgb(QRgb p) { return rgbColour((p >> 16) & 0xFFu, (p >> 8) & 0xFFu, p & 0xFFu); }

constexpr QRgb toQRgb(TColor c) { return 0xFF000000u | redOf(c) << 16 | greenOf(c) << 8 | blueOf(c); }
