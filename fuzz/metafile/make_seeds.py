#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
"""Writes the starting inputs of the WMF and EMF fuzzers: small files with
every record kind the players draw (pens, brushes, fonts, lines, polygons,
rectangles, ellipses, text, bitmaps, mapping and saved states).

    fuzz/metafile/make_seeds.py OUTPUT_WMF_DIR OUTPUT_EMF_DIR

The fuzzers grow these; the kept corpora in fuzz/corpus/wmf/ and
fuzz/corpus/emf/ are the result of merging what they found back into a few
dozen files (libFuzzer -merge=1).
"""
import os
import struct
import sys


def w(*values):
    return struct.pack('<%dh' % len(values), *values)


def d(*values):
    return b''.join(struct.pack('<I', v & 0xFFFFFFFF) for v in values)


def dib24(width, height):
    stride = (width * 3 + 3) // 4 * 4
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, stride * height, 0, 0, 0, 0)
    bits = bytes((i * 37) & 0xFF for i in range(stride * height))
    return info + bits


def dib8rle(width, height):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 1, 0, 0, 0, 4, 0)
    palette = bytes([0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 50, 50, 50, 0])
    runs = b''.join(bytes([width, y % 4]) + b'\0\0' for y in range(height)) + b'\0\1'
    return info + palette + runs


def wmf_record(function, params):
    if len(params) % 2:
        params += b'\0'
    return struct.pack('<IH', 3 + len(params) // 2, function) + params


def wmf(records, placeable=True, box=(0, 0, 200, 100), inch=96):
    body = b''.join(wmf_record(f, p) for f, p in records) + wmf_record(0, b'')
    out = b''
    if placeable:
        head = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *box, inch, 0)
        checksum = 0
        for i in range(0, 20, 2):
            checksum ^= struct.unpack_from('<H', head, i)[0]
        out += head + struct.pack('<H', checksum)
    total = (18 + len(body)) // 2
    out += struct.pack('<HHHIHIH', 1, 9, 0x300, total, 8, 100, 0) + body
    return out


def emf_record(kind, body):
    while len(body) % 4:
        body += b'\0'
    return struct.pack('<II', kind, 8 + len(body)) + body


def emf(records):
    body = b''.join(emf_record(k, b) for k, b in records)
    end = d(14, 20, 0, 16, 20)
    size = 108 + len(body) + len(end)
    head = d(1, 108, 0, 0, 99, 99, 0, 0, 2500, 2500, 0x464D4520, 0x10000, size, len(records) + 2)
    head += w(8, 0) + d(0, 0, 0, 1000, 1000, 250, 250, 0, 0, 0, 250000, 250000)
    return head + body + end


def wmf_seeds():
    brush = (0x02FC, w(0) + d(0x0000FF) + w(0))
    hatch = (0x02FC, w(2) + d(0x00FF00) + w(3))
    pen = (0x02FA, w(1, 3, 0) + d(0xFF0000))
    font = (0x02FB, w(-20, 0, 900, 0, 700) + bytes([1, 1, 0, 128, 0, 0, 0, 0]) + b'Sans\0')
    shapes = [brush, (0x012D, w(0)), pen, (0x012D, w(1)), hatch, (0x012D, w(2)),
              (0x041B, w(50, 60, 10, 20)), (0x0418, w(90, 190, 40, 120)),
              (0x061C, w(10, 10, 95, 95, 60, 5)), (0x0324, w(3, 0, 0, 50, 10, 20, 60)),
              (0x0325, w(4, 5, 5, 100, 5, 100, 50, 5, 50)),
              (0x0538, w(2, 3, 3, 0, 0, 10, 0, 0, 10, 50, 50, 60, 50, 50, 60)),
              (0x0214, w(90, 5)), (0x0213, w(5, 195)), (0x041F, d(0x00FFFF) + w(3, 3)),
              (0x01F0, w(0)), (0x02FC, w(1) + d(0) + w(0)), (0x012D, w(0))]
    mapping = [(0x020B, w(-50, -100)), (0x020C, w(200, 400)), (0x001E, b''), (0x020C, w(-100, 100)),
               (0x0106, w(2)), (0x0102, w(1)), (0x0127, w(-1)), brush, (0x012D, w(0)),
               (0x041B, w(0, 0, -50, -100))]
    text = [font, (0x012D, w(0)), (0x0209, d(0x008000)), (0x012E, w(24)),
            (0x0521, w(5) + b'Hello\0' + w(50, 10)),
            (0x0A32, w(80, 20, 4, 6) + w(0, 0, 100, 100) + b'\x82\xa0\x82\xa2')]
    bitmaps = [(0x0F43, d(0x00CC0020) + w(0, 3, 4, 0, 0, 50, 80, 10, 10) + dib24(4, 3)),
               (0x0B41, d(0x00CC0020) + w(2, 2, 0, 0, 40, 40, 50, 100) + dib24(2, 2)),
               (0x0940, d(0x00CC0020) + w(0, 0, 3, 5, 0, 150) + dib8rle(5, 3)),
               (0x0142, w(5, 0) + dib24(2, 2)), (0x012D, w(0)), (0x041B, w(99, 199, 60, 150))]
    return {
        'shapes.wmf': wmf(shapes),
        'mapping.wmf': wmf(mapping),
        'text.wmf': wmf(text),
        'bitmaps.wmf': wmf(bitmaps),
        'plain.wmf': wmf([(0x020C, w(100, 200))] + shapes, placeable=False),
    }


def emf_seeds():
    brush = (39, d(1, 0, 0x0000FF, 0))
    pen = (38, d(2, 1, 4, 0, 0xFF0000))
    extpen = (95, d(3, 0, 0, 0, 0, 0x10000, 5, 0, 0x00FF00, 0, 0))
    font = (82, d(4, -30, 0, 450, 0, 400) + bytes([0, 1, 1, 0, 0, 0, 0, 0]) + 'Serif'.encode('utf-16-le').ljust(64, b'\0'))
    shapes = [brush, (37, d(1)), pen, (37, d(2)), (43, d(10, 10, 50, 50)), (42, d(50, 10, 90, 40)),
              (44, d(5, 60, 95, 95, 20, 10)), (86, d(0, 0, 0, 0, 3) + w(0, 0, 50, 0, 25, 40)),
              (87, d(0, 0, 0, 0, 3) + w(0, 99, 50, 60, 99, 99)), (3, d(0, 0, 0, 0, 3, 60, 60, 90, 60, 75, 90)),
              (4, d(0, 0, 0, 0, 2, 0, 0, 99, 99)), (27, d(5, 5)), (54, d(95, 5)),
              (6, d(0, 0, 0, 0, 2, 50, 50, 60, 70)), (89, d(0, 0, 0, 0, 2) + w(10, 90, 20, 80)),
              (85, d(0, 0, 0, 0, 4) + w(0, 0, 30, 90, 60, -30, 90, 50)),
              (88, d(0, 0, 0, 0, 3) + w(5, 5, 10, 10, 20, 0)),
              (91, d(0, 0, 0, 0, 2, 6, 3, 3) + w(0, 0, 10, 0, 0, 10, 50, 50, 60, 50, 50, 60)),
              (8, d(0, 0, 0, 0, 1, 3, 3, 70, 70, 80, 70, 70, 80)),
              (90, d(0, 0, 0, 0, 1, 2, 2) + w(0, 50, 99, 50)), (15, d(3, 3, 0x00FFFF)),
              extpen, (37, d(3)), (40, d(1)), (37, d(0x80000005)), (37, d(0x80000008)), (43, d(1, 1, 9, 9))]
    mapping = [(17, d(8)), (9, d(200, -200)), (10, d(0, 200)), (11, d(100, 100)), (12, d(0, 0)),
               (33, d()), (35, struct.pack('<6f', 0.5, 0.2, -0.2, 0.5, 10, 10)),
               (36, struct.pack('<6f', 1, 0, 0, 1, 5, 5) + d(2)), brush, (37, d(1)),
               (43, d(0, 0, 100, 100)), (34, d(-1)), (17, d(2)), (43, d(0, -10, 100, -100)),
               (17, d(7)), (36, struct.pack('<6f', 1, 0, 0, 1, 0, 0) + d(1)), (19, d(2)), (18, d(1))]
    text_w = 'Hi!'.encode('utf-16-le')
    text = [font, (37, d(4)), (24, d(0x008000)), (25, d(0xEEEEEE)), (22, d(6 | 8)),
            (84, d(0, 0, 0, 0, 1, 0, 0, 50, 50, 3, 76, 0, 0, 0, 0, 0, 88) + text_w.ljust(8, b'\0') + d(10, 10, 10)),
            (22, d(1)), (83, d(0, 0, 0, 0, 1, 0, 0, 10, 80, 4, 60, 0x100, 64) + b'\x82\xa0AB' + d(8, 8, 8, 8))]
    info = dib24(3, 2)
    bitmaps = [(81, d(0, 0, 0, 0, 10, 10, 0, 0, 3, 2, 80, 40, 120, len(info) - 40, 0, 0x00CC0020, 60, 40) + info),
               (77, d(0, 0, 0, 0, 50, 50, 40, 40, 0x00CC0020, 0, 0) + struct.pack('<6f', 1, 0, 0, 1, 0, 0)
                + d(0, 0, 108, 40, 148, len(info) - 40, 3, 2) + info),
               (76, d(0, 0, 0, 0, 5, 60, 3, 2, 0x00CC0020, 0, 0) + struct.pack('<6f', 1, 0, 0, 1, 0, 0)
                + d(0, 0, 100, 40, 140, len(info) - 40) + info),
               (94, d(5, 0, 32, 40, 72, len(info) - 40) + info), (37, d(5)), (43, d(60, 60, 99, 99))]
    return {
        'shapes.emf': emf(shapes),
        'mapping.emf': emf(mapping),
        'text.emf': emf(text),
        'bitmaps.emf': emf(bitmaps),
    }


def main():
    for directory, seeds in ((sys.argv[1], wmf_seeds()), (sys.argv[2], emf_seeds())):
        os.makedirs(directory, exist_ok=True)
        for name, content in seeds.items():
            with open(os.path.join(directory, name), 'wb') as f:
                f.write(content)


if __name__ == '__main__':
    main()
