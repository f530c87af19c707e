"""Picture classes that need readers of their own or fix-ups, written byte by byte from each
format's rules with the pixels they must give (called by make_variants.write into the same
list). Where an independent reader gets a class right, the script checks that it agrees with
the expected pixels, so the expectations do not rest on our reading of the rules alone.

  bmp_rle   run-length BMP, 8 and 4 bits a pixel: runs, stored runs of odd length, delta and
            end-of-line codes (skipped pixels take palette entry 0, opaque, as in a cleared
            bitmap), and damaged data: a run past its row's end is cut there, codes past the
            last row are ignored, data that ends early leaves the rest at entry 0
  bmp_planes  a planes field other than 1 (ignored)
  tiff_grey 2- and 4-bit grey with photometric min-is-white (0 is white)
  ico       the largest picture of several; PNG pictures whose directory size is wrong
  jp2_deep  9-bit JPEG 2000 grey, written by OpenJPEG's encoder
"""
import io
import struct
import subprocess

from PIL import Image

import make_variants as mv

OPJ_COMPRESS = "/usr/bin/opj_compress"

W, H = mv.W, mv.H


def palette_rows(index_rows, palette=mv.PALETTE):
    return [[palette[i] + (255,) for i in row] for row in index_rows]


def bmp_rle(bits, codes, planes=1):
    """A Windows bitmap with the pattern's palette and the given run-length codes."""
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in mv.PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, planes, bits, 1 if bits == 8 else 2, len(codes),
                       2835, 2835, len(mv.PALETTE), 0)
    offset = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(codes), 0, 0, offset) + info + table + codes


def runs(row, bits):
    """One row as runs of equal pixels (4-bit: both nibbles the same) and stored runs."""
    out, x = b"", 0
    while x < len(row):
        n = 1
        while x + n < len(row) and row[x + n] == row[x] and n < 255:
            n += 1
        if n >= 3 or x + n == len(row) or n == 2:
            out += bytes([n, row[x] if bits == 8 else row[x] << 4 | row[x]])
            x += n
            continue
        # A stored run of 3 to 5 pixels that differ (odd lengths need a pad byte).
        n = min(5, len(row) - x)
        if n < 3:
            out += bytes([1, row[x] if bits == 8 else row[x] << 4])
            x += 1
            continue
        values = row[x:x + n]
        if bits == 8:
            data = bytes(values)
        else:
            data = bytes((values[i] << 4) | (values[i + 1] if i + 1 < n else 0)
                         for i in range(0, n, 2))
        out += bytes([0, n]) + data + (b"\0" if len(data) % 2 else b"")
        x += n
    return out


def rle_codes(index_rows, bits, skip=None):
    """Rows bottom first; skip = (x, y, right, down): at pixel x of stored row y a delta code
    moves right and down (the pixels passed keep entry 0)."""
    out = b""
    stored = list(reversed(index_rows))
    y = 0
    while y < len(stored):
        row = stored[y]
        if skip and y == skip[1]:
            x, _, right, down = skip
            out += runs(row[:x], bits) + b"\0\2" + bytes([right, down])
            out += runs(stored[y + down][x + right:], bits) + b"\0\0"
            y += down + 1
            continue
        out += runs(row, bits) + b"\0\0"
        y += 1
    return out + b"\0\1"


def with_skip(index_rows, skip):
    """The pattern with the pixels a delta code passes over at entry 0 (rows top first)."""
    x, y, right, down = skip
    rows = [list(r) for r in reversed(index_rows)]
    for yy in range(y, y + down + 1):
        for xx in range(W):
            passed = (yy == y and xx >= x) or (y < yy < y + down) or \
                     (yy == y + down and xx < x + right)
            if passed:
                rows[yy][xx] = 0
    return [list(r) for r in reversed(rows)]


def magick_agrees(w, name, data, rows):
    """ImageMagick's reading of the file (as RGBA bytes) must be the expected pixels. Pillow
    9.4 is no judge here: it moves the rows after a delta code."""
    path = w.folder / ("check_" + name)
    path.write_bytes(data)
    out = subprocess.run([mv.CONVERT, str(path), "-depth", "8", "rgba:-"], check=True,
                         capture_output=True).stdout
    path.unlink()
    assert out == b"".join(bytes(p) for row in rows for p in row), name + ": ImageMagick differs"


def bmp_rle_variants(w):
    skip = (4, 2, 6, 3)
    for bits in (8, 4):
        for name, codes, rows in (("rle%d.bmp", rle_codes(mv.INDEX, bits), mv.INDEX),
                                  ("rle%d_delta.bmp", rle_codes(mv.INDEX, bits, skip),
                                   with_skip(mv.INDEX, skip))):
            data = bmp_rle(bits, codes)
            magick_agrees(w, name % bits, data, palette_rows(rows))
            w.add("bmp_rle", name % bits, data, palette_rows(rows))
    # 4-bit runs whose byte holds two different pixels: they alternate (row y: y mod 8 and
    # y + 3 mod 8, in runs of 7, 5 and 9 pixels).
    pairs = [[(y % 8, (y + 3) % 8)[x % 7 % 2] if x < 7 else
              (((y + 1) % 8, (y + 5) % 8)[(x - 7) % 2] if x < 12 else
               ((y + 2) % 8, y % 8)[(x - 12) % 2]) for x in range(W)] for y in range(H)]
    codes = b"".join(bytes([7, (y % 8) << 4 | (y + 3) % 8, 5, ((y + 1) % 8) << 4 | (y + 5) % 8,
                            9, ((y + 2) % 8) << 4 | y % 8]) + b"\0\0"
                     for y in reversed(range(H))) + b"\0\1"
    data = bmp_rle(4, codes)
    magick_agrees(w, "rle4_alternating.bmp", data, palette_rows(pairs))
    w.add("bmp_rle", "rle4_alternating.bmp", data, palette_rows(pairs))
    # Damaged 8-bit data. Stored row 0 is the picture's last row.
    blank = [[0] * W for _ in range(H)]
    # A run of 30 pixels of entry 2 in a 21-pixel row: cut at the row's end; the next code
    # starts the next row after the end-of-line.
    past_row = [list(r) for r in blank]
    past_row[H - 1] = [2] * W
    past_row[H - 2][:3] = [3, 3, 3]
    w.add("bmp_rle", "rle8_run_past_row.bmp",
          bmp_rle(8, bytes([30, 2]) + b"\0\0" + bytes([3, 3]) + b"\0\1"), palette_rows(past_row))
    # Runs past the last row (after H end-of-lines) are ignored; no end-of-bitmap code.
    full = b"".join(bytes([W, 5]) + b"\0\0" for _ in range(H)) + bytes([200, 1]) * 4
    w.add("bmp_rle", "rle8_past_last_row.bmp", bmp_rle(8, full), palette_rows([[5] * W] * H))
    # Data that ends inside row 2 (and inside a stored run): the rest stays at entry 0.
    cut = [list(r) for r in blank]
    cut[H - 1] = [4] * W
    cut[H - 2] = [6] * W
    cut[H - 3][:2] = [7, 1]
    data = bytes([W, 4]) + b"\0\0" + bytes([W, 6]) + b"\0\0" + bytes([0, 5, 7, 1])
    w.add("bmp_rle", "rle8_cut_off.bmp", bmp_rle(8, data), palette_rows(cut))
    # A delta past the picture's right and bottom edges: nothing is written outside.
    outside = [list(r) for r in blank]
    outside[H - 1][:2] = [1, 1]
    w.add("bmp_rle", "rle8_delta_outside.bmp",
          bmp_rle(8, bytes([2, 1]) + b"\0\2" + bytes([250, 250]) + bytes([9, 3]) + b"\0\1"),
          palette_rows(outside))


def planes_variants(w):
    for planes in (0, 3):
        data = mv.bmp(8, lambda y: mv.packed(y, 8), palette=mv.PALETTE)
        data = data[:26] + struct.pack("<H", planes) + data[28:]
        w.add("bmp_planes", "planes%d.bmp" % planes, data, mv.opaque(mv.RGB))


def tiff_strip(bits, values):
    """A one-strip, uncompressed grey TIFF with photometric 0 (min-is-white)."""
    data = b"".join(mv.bit_rows(values, bits))
    tags = [(256, 3, 1, W), (257, 3, 1, H), (258, 3, 1, bits), (259, 3, 1, 1), (262, 3, 1, 0),
            (273, 4, 1, 0), (277, 3, 1, 1), (278, 3, 1, H), (279, 4, 1, len(data))]
    start = 8 + 2 + len(tags) * 12 + 4
    ifd = struct.pack("<H", len(tags))
    for tag, kind, count, value in tags:
        value = start if tag == 273 else value
        ifd += struct.pack("<HHI", tag, kind, count) + (
            struct.pack("<HH", value, 0) if kind == 3 else struct.pack("<I", value))
    return b"II*\0" + struct.pack("<I", 8) + ifd + b"\0\0\0\0" + data


def tiff_grey_variants(w):
    for bits in (2, 4):
        top = (1 << bits) - 1
        values = [[(x + 2 * y) % (top + 1) for x in range(W)] for y in range(H)]
        rows = [[((top - v) * 255 // top,) * 3 + (255,) for v in row] for row in values]
        w.add("tiff_grey", "min_is_white%d.tif" % bits, tiff_strip(bits, values), rows)


def ico(entries):
    """entries: (directory width, height, data); the directory states bits 32."""
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, body = b"", b""
    for width, height, data in entries:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                                 offset + len(body))
        body += data
    return head + directory + body


def ico_bmp(size, colour):
    """A 32-bit BMP icon picture: info header (height doubled), rows bottom first, AND mask."""
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytes((colour[2], colour[1], colour[0], 255)) * (size * size)
    mask = b"\0" * (((size + 31) // 32 * 4) * size)
    return info + pixels + mask


def png_of(rows):
    out = io.BytesIO()
    mv.image_of(rows).save(out, "PNG")
    return out.getvalue()


def ico_variants(w):
    pattern = png_of(mv.RGBA)
    # 16 x 16 and 32 x 32 bitmaps and a 21 x 13 PNG: the 32 x 32 bitmap is the largest.
    red, blue = (200, 10, 10), (10, 10, 200)
    square = [[blue + (255,)] * 32 for _ in range(32)]
    w.add("ico", "largest_bitmap.ico",
          ico([(16, 16, ico_bmp(16, red)), (32, 32, ico_bmp(32, blue)), (W, H, pattern)]),
          square)
    # A PNG picture larger than the bitmaps, listed last, with a directory size that is wrong
    # (16 x 16 instead of 48 x 40).
    big = [[mv.RGBA[y % H][x % W] for x in range(48)] for y in range(40)]
    w.add("ico", "png_wrong_size.ico",
          ico([(16, 16, ico_bmp(16, red)), (16, 16, png_of(big))]), big)
    w.add("ico", "png_only_wrong_size.ico", ico([(0, 0, pattern)]), mv.RGBA)


def jp2_variants(w):
    """A 9-bit grey JPEG 2000 code stream, written by OpenJPEG's own encoder from a PGX source:
    sample s shows as round(s x 255 / 511)."""
    values = [[(x * 23 + y * 41) % 512 for x in range(W)] for y in range(H)]
    pgx = w.folder / "source_9bit.pgx"
    pgx.write_bytes(b"PG ML + 9 %d %d\n" % (W, H) +
                    b"".join(struct.pack(">H", v) for row in values for v in row))
    subprocess.run([OPJ_COMPRESS, "-i", str(pgx), "-o", str(w.folder / "grey9.j2k"), "-n", "2"],
                   check=True, capture_output=True)
    grey = [[(round(v * 255 / 511),) * 3 + (255,) for v in row] for row in values]
    w.add("jp2_deep", "grey9.j2k", None, grey)


def write(w):
    bmp_rle_variants(w)
    planes_variants(w)
    tiff_grey_variants(w)
    ico_variants(w)
    jp2_variants(w)
