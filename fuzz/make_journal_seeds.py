"""Writes small canvas journals as seeds for the journal-reader fuzz target into the folder given.

A journal is a run of records: pixel byte length, width, height (little-endian u32), then the
pixels as B, G, R, A bytes, rows top to bottom.
"""
import os
import struct
import sys


def record(width, height, seed):
    pixels = bytes((seed + i * 7) % 256 for i in range(width * height * 4))
    return struct.pack("<III", len(pixels), width, height) + pixels


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    journals = {
        "one_pixel": record(1, 1, 1),
        "two_sizes": record(3, 2, 2) + record(1, 1, 3),
        "three_squares": record(4, 4, 4) + record(4, 4, 5) + record(4, 4, 6),
        "wide_and_tall": record(16, 1, 7) + record(1, 16, 8),
        "cut_short": (record(5, 5, 9) + record(5, 5, 10))[:-17],
    }
    for name, data in journals.items():
        with open(os.path.join(out, name), "wb") as seed:
            seed.write(data)


if __name__ == "__main__":
    main()
