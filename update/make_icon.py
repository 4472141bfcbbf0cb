#!/usr/bin/env python3
"""Draws Nuvora's program icon (32, 16, 48 and 64 pixels, 16 colours) into an .ico file.

Usage: make_icon.py OUTPUT.ico
Drawn from code so that no binary file lives in the repository.
"""
import struct
import sys

# The standard 16-colour palette as (blue, green, red, 0).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
    (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
    (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, NAVY, BLUE, WHITE, YELLOW, TRANSPARENT = 0, 4, 12, 15, 11, None


def pixel(size, x, y):
    """A blue globe with a yellow downward arrow: "fetch the update"."""
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    d2 = (x - c) ** 2 + (y - c) ** 2
    arrow_w = size // 8
    shaft = abs(x - c) <= arrow_w and size * 0.2 <= y <= size * 0.6
    head = size * 0.55 <= y <= size * 0.8 and abs(x - c) <= (size * 0.8 - y)
    if shaft or head:
        return YELLOW
    if d2 <= (r - 1) ** 2:
        return BLUE if (x + y) % 7 else NAVY
    if d2 <= r ** 2:
        return BLACK
    return TRANSPARENT


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row = [pixel(size, x, y) for x in range(size)]
        nibbles = bytearray()
        for x in range(0, size, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            nibbles.append((a << 4) | b)
        nibbles += b"\0" * (-len(nibbles) % 4)
        xor_rows.append(bytes(nibbles))
        mask = bytearray()
        for x in range(0, size, 8):
            bits = 0
            for i in range(8):
                if row[x + i] is None:
                    bits |= 0x80 >> i
            mask.append(bits)
        mask += b"\0" * (-len(mask) % 4)
        and_rows.append(bytes(mask))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    # 48 and 64 for displays scaled to 150 and 200 %.
    images = [(32, image(32)), (16, image(16)), (48, image(48)), (64, image(64))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
