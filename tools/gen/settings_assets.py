#!/usr/bin/env python3
"""Writes the program icon (verivir.ico) and the link buttons' hand cursor
(hand.cur, 32x32 monochrome, hot spot 6,0) into the folder given as argument."""
import math
import struct
import sys

HAND = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    "    #..#..#..#.#",
    " ## #..#..#..#..#",
    "#..##...........#",
    "#...#...........#",
    " #..#...........#",
    "  #.#...........#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #.........#",
    "     #........#",
    "     #........#",
    "     ##########",
]
HOT_SPOT = (6, 0)


def bitmap_header(width, height, bits):
    # The height counts the colour image and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)


def pack_rows(bits_of_row, size=32):
    """1-bit rows, bottom-up, each padded to 4 bytes."""
    out = b""
    for y in reversed(range(size)):
        value = 0
        for x in range(size):
            value = (value << 1) | bits_of_row(x, y)
        out += value.to_bytes(size // 8, "big")
    return out


def hand_cursor():
    def cell(x, y):
        return HAND[y][x] if y < len(HAND) and x < len(HAND[y]) else " "

    xor = pack_rows(lambda x, y: 1 if cell(x, y) == "." else 0)
    mask = pack_rows(lambda x, y: 1 if cell(x, y) == " " else 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = bitmap_header(32, 32, 1) + palette + xor + mask
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 22)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def icon_image(size):
    """A blue sphere with a grey ring and a small red sphere, drawn on a 32x32
    grid scaled to size x size, 32 bits."""
    k = size / 32
    pixels = b""
    for row in reversed(range(size)):
        for col in range(size):
            # The pixel's centre on the 32-pixel grid (exactly col, row at 32).
            x, y = (col + 0.5) / k - 0.5, (row + 0.5) / k - 0.5
            r = g = b = a = 0
            dx, dy = x - 15.5, y - 15.5
            d = math.hypot(dx, dy)
            if d < 11:
                shade = 1.0 - 0.6 * math.hypot(dx + 4, dy + 4) / 18
                r, g, b, a = int(40 * shade), int(90 * shade), int(255 * shade), 255
            if abs(dy * 3.2 - dx * 0.8) < 2.2 and 9 < d < 15:
                r, g, b, a = 200, 200, 200, 255
            if math.hypot(x - 25, y - 6) < 4:
                r, g, b, a = 230, 30, 30, 255
            pixels += bytes((b, g, r, a))
    mask = bytes(((size + 31) // 32) * 4 * size)  # all clear: the alpha decides
    return bitmap_header(size, size, 32) + pixels + mask


def icon():
    """The icon at 32 pixels, and at 48 and 64 for displays scaled to 150 and 200 %."""
    sizes = (32, 48, 64)
    images = [icon_image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    out = sys.argv[1]
    with open(out + "/verivir.ico", "wb") as f:
        f.write(icon())
    with open(out + "/hand.cur", "wb") as f:
        f.write(hand_cursor())


if __name__ == "__main__":
    main()
