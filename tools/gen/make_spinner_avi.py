#!/usr/bin/env python3
"""Writes the wait dialog's clip: an uncompressed AVI of 35 frames, 32x32 pixels,
8 bits per pixel, 200 ms per frame, showing a ring of dots with a turning head.

Usage: make_spinner_avi.py OUTPUT.avi
"""
import math
import struct
import sys

FRAMES, SIZE, FRAME_US = 35, 32, 200000
DOTS = 12


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, payload):
    return kind + struct.pack("<I", len(payload) + 4) + fourcc + payload


def palette():
    # 0: dialog grey background; 1..16: a ramp from light grey to dark blue.
    entries = [(192, 192, 192)]
    for i in range(1, 256):
        t = min(i, 16) / 16.0
        entries.append((int(192 - 192 * t), int(192 - 160 * t), int(192 - 64 * t)))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in entries)


def frame(index):
    pixels = bytearray(SIZE * SIZE)
    head = index * DOTS / FRAMES
    for dot in range(DOTS):
        angle = 2 * math.pi * dot / DOTS
        cx = 15.5 + 11 * math.cos(angle)
        cy = 15.5 + 11 * math.sin(angle)
        age = (head - dot) % DOTS
        shade = max(1, 16 - int(age * 1.4))
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= 6.5:
                    pixels[y * SIZE + x] = shade
    return bytes(pixels)  # rows bottom-up, 32 bytes each: already 4-aligned


def build():
    image_size = SIZE * SIZE
    avih = struct.pack("<IIIIIIIIII16x", FRAME_US, image_size * 5, 0, 0x10, FRAMES, 0, 1,
                       image_size, SIZE, SIZE)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1,
                       1000000 // FRAME_US, 0, FRAMES, image_size, 0xFFFFFFFF, 0, 0, 0, SIZE,
                       SIZE)
    strf = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, image_size, 0, 0, 256, 0)
    strf += palette()
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_data = b""
    index = b""
    for i in range(FRAMES):
        offset = 4 + len(movi_data)  # from the 'movi' fourcc
        movi_data += chunk(b"00db", frame(i))
        index += struct.pack("<4sIII", b"00db", 0x10, offset, image_size)
    movi = riff_list(b"LIST", b"movi", movi_data)
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(build())


if __name__ == "__main__":
    main()
