// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Raster modes of the drawing surface, by the values callers use.
#include "surface/pixels/Colour.h"

enum TPenMode : int {
    pmCopy = 4,
    pmMerge = 10,
    pmXor = 14,
    pmNotXor = 15,
};

// New pixel for pen (or brush) colour p over pixel d, channel by channel.
constexpr TColor applyPenMode(TPenMode mode, TColor p, TColor d)
{
    switch (mode) {
    case pmMerge: return (p | d) & 0x00FFFFFFu;
    case pmXor: return (p ^ d) & 0x00FFFFFFu;
    case pmNotXor: return ~(p ^ d) & 0x00FFFFFFu;
    case pmCopy: break;
    }
    return p & 0x00FFFFFFu;
}

// True when drawing colour p in this mode leaves every pixel as it was
// (the white brush under not-XOR, a black pen under XOR or merge).
constexpr bool leavesPixelsUnchanged(TPenMode mode, TColor p)
{
    p &= 0x00FFFFFFu;
    return (mode == pmNotXor && p == clWhite) || ((mode == pmXor || mode == pmMerge) && p == clBlack);
}
