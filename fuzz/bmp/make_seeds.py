#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
"""Writes the starting inputs of the BMP and icon fuzzers: one small file per
header kind, pixel format and compression the readers know.

    fuzz/bmp/make_seeds.py OUTPUT_BMP_DIR OUTPUT_ICO_DIR

The fuzzers grow these; the kept corpus in fuzz/corpus/ is the result of
merging what they found back into a few dozen files (libFuzzer -merge=1).
"""
import os
import struct
import sys
import zlib


def info_header(size, width, height, bits, compression=0, image_size=0, colours=0, masks=None):
    if size == 12:
        return struct.pack('<IHHHH', 12, width, height, 1, bits)
    fields = struct.pack('<IiiHHIIiiII', size, width, height, 1, bits, compression, image_size,
                         2835, 2835, colours, 0)
    if masks and size >= 52:
        fields += struct.pack('<III', *masks[:3])
    return fields.ljust(size, b'\0')[:size]


def rows(width, height, bits, pattern):
    stride = (width * bits + 31) // 32 * 4
    out = b''
    for y in range(height):
        row = bytes((pattern * (x + 3 * y)) & 0xFF for x in range((width * bits + 7) // 8))
        out += row.ljust(stride, b'\0')
    return out


def palette(count, entry=4):
    out = b''
    for i in range(count):
        b, g, r = (i * 37) & 0xFF, (i * 91) & 0xFF, (i * 13) & 0xFF
        out += bytes([b, g, r] + ([0] if entry == 4 else []))
    return out


def bmp(header, between, pixels):
    offset = 14 + len(header) + len(between)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + header + between + pixels


def bmp_seeds():
    seeds = {}
    for bits in (1, 2, 4, 8):
        seeds[f'pal{bits}'] = bmp(info_header(40, 7, 3, bits, colours=1 << bits), palette(1 << bits),
                                  rows(7, 3, bits, 5))
    seeds['pal8-topdown'] = bmp(info_header(40, 5, -3, 8, colours=4), palette(4), rows(5, 3, 8, 1))
    seeds['pal8-os2core'] = bmp(info_header(12, 5, 2, 8), palette(256, 3), rows(5, 2, 8, 7))
    seeds['pal4-os2v2-16'] = bmp(info_header(16, 6, 2, 4), palette(16), rows(6, 2, 4, 3))
    seeds['pal8-v5'] = bmp(info_header(124, 3, 3, 8, colours=3), palette(3), rows(3, 3, 8, 1))
    seeds['rgb16'] = bmp(info_header(40, 4, 3, 16), b'', rows(4, 3, 16, 29))
    seeds['rgb16-565'] = bmp(info_header(40, 4, 3, 16, 3), struct.pack('<III', 0xF800, 0x07E0, 0x1F),
                             rows(4, 3, 16, 29))
    seeds['rgb24'] = bmp(info_header(40, 5, 3, 24), b'', rows(5, 3, 24, 11))
    seeds['rgb32'] = bmp(info_header(40, 3, 3, 32), b'', rows(3, 3, 32, 13))
    seeds['rgb32-abf'] = bmp(info_header(40, 3, 2, 32, 6),
                             struct.pack('<IIII', 0xFF, 0xFF00, 0xFF0000, 0xFF000000), rows(3, 2, 32, 3))
    seeds['rgb32-v4'] = bmp(info_header(108, 3, 2, 32, 3, masks=(0x3FF00000, 0xFFC00, 0x3FF)), b'',
                            rows(3, 2, 32, 17))
    rle8 = bytes([3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 2, 3, 0, 0, 4, 1, 0, 1])
    seeds['rle8'] = bmp(info_header(40, 6, 4, 8, 1, len(rle8), 4), palette(4), rle8)
    rle4 = bytes([5, 0x12, 0, 5, 0x31, 0x23, 0x10, 0, 0, 0, 0, 2, 2, 1, 3, 0x33, 0, 1])
    seeds['rle4'] = bmp(info_header(40, 8, 3, 4, 2, len(rle4), 4), palette(4), rle4)
    return seeds


def png(width, height):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + bytes((x * 40, y * 60, 200, 255 if (x + y) % 2 else 80)[i % 4]
                                 for x in range(width) for i in range(4)) for y in range(height))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def dib_icon(width, height, bits):
    colours = 1 << bits if bits <= 8 else 0
    mask = rows(width, height, 1, 0x55)
    return info_header(40, width, 2 * height, bits, colours=colours) + palette(colours) \
        + rows(width, height, bits, 9) + mask


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image in images:
        out += struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def ico_seeds():
    return {
        'dib32': ico([dib_icon(4, 4, 32)]),
        'dib8': ico([dib_icon(5, 3, 8)]),
        'dib4-dib1': ico([dib_icon(3, 3, 4), dib_icon(4, 4, 1)]),
        'dib24-png': ico([dib_icon(2, 2, 24), png(3, 3)]),
        'png': ico([png(2, 4)]),
    }


def write(directory, seeds, extension):
    os.makedirs(directory, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(directory, f'seed-{name}.{extension}'), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    write(sys.argv[1], bmp_seeds(), 'bmp')
    write(sys.argv[2], ico_seeds(), 'ico')
