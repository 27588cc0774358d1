#!/usr/bin/env python3
# Stands in for the Neverra OS kit's options category icon: draws it as a mask PNG.
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# The IDE tints a category icon through a mask, whose black is ink and whose
# white is blank: a package box with a seal in one corner, in shades of grey.
#   make-icon.py OUTPUT_FOLDER   writes the 24 px icon and its @2x variant
import math
import struct
import sys
import zlib

NAME = "icon-s-morvane-qtcreator-mask-small"
SAMPLES = 4


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def covered(x, y):
    """Whether a point of the 24 by 24 design square is inked."""
    stroke = 1.0
    # The box: its outline and the lid's fold.
    box = [(2.5, 7.5, 17.5, 7.5), (17.5, 7.5, 17.5, 21.5), (17.5, 21.5, 2.5, 21.5),
           (2.5, 21.5, 2.5, 7.5), (2.5, 7.5, 6.5, 3.5), (6.5, 3.5, 20.5, 3.5),
           (20.5, 3.5, 17.5, 7.5), (10.0, 7.5, 10.0, 12.5)]
    if any(segment_distance(x, y, *line) <= stroke / 2 + 0.25 for line in box):
        # The seal cuts its own ring out of the box.
        if math.hypot(x - 17.0, y - 17.0) > 6.5:
            return True
    # The seal: a disc with a check mark left transparent.
    if math.hypot(x - 17.0, y - 17.0) <= 5.5:
        check = [(14.3, 17.2, 16.3, 19.2), (16.3, 19.2, 19.9, 15.0)]
        return not any(segment_distance(x, y, *line) <= 0.9 for line in check)
    return False


def render(size):
    scale = 24.0 / size
    rows = []
    for row in range(size):
        line = bytearray([0])  # filter type: none
        for column in range(size):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column + (sx + 0.5) / SAMPLES) * scale
                    y = (row + (sy + 0.5) / SAMPLES) * scale
                    hits += covered(x, y)
            line.append(255 - round(255 * hits / (SAMPLES * SAMPLES)))
        rows.append(bytes(line))
    return b"".join(rows)


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 0, 0, 0, 0)  # 8-bit grey
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(render(size), 9)) + chunk(b"IEND", b""))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    for size, suffix in ((24, ""), (48, "@2x")):
        with open(f"{folder}/{NAME}{suffix}.png", "wb") as out:
            out.write(png(size))


if __name__ == "__main__":
    main()
