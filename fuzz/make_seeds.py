#!/usr/bin/env python3
"""Writes a few well-formed project files as the fuzzer's starting corpus.

Layout: N, 840-byte header, N x (SymbolId, 524-byte record, P points), L, L x 268-byte
layer, S, S x (SymbolId, F, current frame, F x (W, H, W*H*4 pixel bytes))."""
import os
import struct
import sys


def header(name):
    h = b"QVXT_2001".ljust(20, b"\0") + bytes(range(16)) + name.ljust(260, b"\0")
    h += bytes(260) + struct.pack("<iiiiI", 320, 120, 20, 12, 0xFFFFFF) + bytes(260)
    return h + struct.pack("<i", 0)


def record(kind, width, height, points):
    r = bytearray(524)
    struct.pack_into("<iii", r, 0, kind, 255, 255)
    struct.pack_into("<ii", r, 20, width, height)
    struct.pack_into("<ffff", r, 28, 0.5, 0.5, 10.0, 20.0)
    struct.pack_into("<ff", r, 68, 1.0, 1.0)
    struct.pack_into("<iiiii", r, 88, 0, 0, 19, 0, 19)
    struct.pack_into("<i", r, 108, 12)
    r[112:117] = b"Hello"
    struct.pack_into("<ii", r, 472, 12, points)
    return bytes(r)


def layer(count, name):
    return struct.pack("<i", count) + name.ljust(256, b"\0") + struct.pack("<II", 1, 0)


def project(objects, layers, symbols):
    out = struct.pack("<i", len(objects)) + header(b"Seed")
    for sid, kind, w, h, pts in objects:
        out += sid + record(kind, w, h, len(pts))
        out += b"".join(struct.pack("<ii", x, y) for x, y in pts)
    out += struct.pack("<i", len(layers)) + b"".join(layer(c, n) for c, n in layers)
    out += struct.pack("<i", len(symbols))
    for sid, current, frames in symbols:
        out += sid + struct.pack("<ii", len(frames), current)
        for w, h in frames:
            out += struct.pack("<ii", w, h) + bytes((i * 7) & 0xFF for i in range(w * h * 4))
    return out


def main(folder):
    os.makedirs(folder, exist_ok=True)
    a, b, null = b"A" * 16, b"B" * 16, bytes(16)
    seeds = {
        "empty": project([], [], []),
        "one_symbol": project([(a, 1, 4, 3, [])], [(1, b"Symbol 1")], [(a, 0, [(4, 3), (2, 2)])]),
        "mixed": project(
            [(a, 1, 4, 3, [(1, 2), (3, 4)]), (a, 1, 4, 3, []), (null, 0, 30, 16, [(5, 5)])],
            [(2, b"Symbol 1"), (1, b"Text 1")],
            [(b, 0, [(1, 1)]), (a, 1, [(4, 3)])]),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name + ".vrn"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "corpus")
