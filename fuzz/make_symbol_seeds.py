#!/usr/bin/env python3
"""Writes small symbol files and library indexes as the symbol-file fuzzer's starting corpus.

Symbol file: F (u32), then F x (L (u32), width (u32), height (u32), L bytes of PNG).
Index: N (u32), then N x 16-byte ids. Little-endian throughout."""
import os
import struct
import sys
import zlib


def png(width, height, seed):
    """A straight-alpha 8-bit RGBA PNG (colour type 6)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b"".join(b"\0" + bytes((x * 40 + seed) & 0xFF for x in range(width * 4))
                    for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) +
            chunk(b"IEND", b""))


def symbol(frames, stated=None):
    out = struct.pack("<I", len(frames) if stated is None else stated)
    for width, height, data in frames:
        out += struct.pack("<III", len(data), width, height) + data
    return out


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    seeds = {
        "empty_symbol": symbol([]),
        "one_frame": symbol([(1, 1, png(1, 1, 7))]),
        "two_frames": symbol([(3, 2, png(3, 2, 1)), (4, 4, png(4, 4, 2))]),
        "overstated_count": symbol([(2, 2, png(2, 2, 3))], stated=1000),
        "wrong_size": symbol([(5, 5, png(4, 4, 4))]),
        "index_empty": struct.pack("<I", 0),
        "index_three": struct.pack("<I", 3) + bytes(range(48)),
        "index_overstated": struct.pack("<I", 0xFFFFFFFF) + bytes(range(32)),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as seed:
            seed.write(data)


if __name__ == "__main__":
    main()
