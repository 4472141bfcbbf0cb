#!/usr/bin/env python3
"""Prints what a Windows program file says about itself: `machine` (x86, x64 or
the hex code) and `version` (major.minor of its fixed file version, or none).

    pe_info.py FILE...      one line per file: FILE machine version
"""
import struct
import sys

MACHINES = {0x14C: "x86", 0x8664: "x64"}
# VS_FIXEDFILEINFO starts with this signature; the record follows it directly.
FIXED_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def machine(data):
    if data[:2] != b"MZ":
        return None
    (offset,) = struct.unpack_from("<I", data, 0x3C)
    if data[offset:offset + 4] != b"PE\0\0":
        return None
    (code,) = struct.unpack_from("<H", data, offset + 4)
    return MACHINES.get(code, hex(code))


def version(data):
    # An installer's payload is compressed, so the first record is its own.
    at = data.find(FIXED_INFO_SIGNATURE)
    if at < 0:
        return None
    _, _, file_ms, file_ls = struct.unpack_from("<IIII", data, at)
    del file_ls
    return "%d.%d" % (file_ms >> 16, file_ms & 0xFFFF)


def main(paths):
    status = 0
    for path in paths:
        with open(path, "rb") as f:
            data = f.read()
        arch = machine(data)
        if arch is None:
            status = 1
        print(path, arch or "not-a-program", version(data) or "none")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
