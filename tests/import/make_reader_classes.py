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
  tiff_ojpeg  old-style JPEG (compression 6) YCbCr: a whole JPEG stream behind
            JPEGInterchangeFormat (4:2:0, every orientation tag), and the tables form
            (quantisation and Huffman tables behind their own tags, 4:4:4)
  tiff_cmyk_jpeg  tiled CMYK compressed by libtiff's JPEG codec (tiffcp), edge tiles included
Beside them, not listed: ojpeg_tables_cut_off.tif and cmyk_jpeg_tiled_cut_off.tif, whose first
strip or tile holds half its JPEG data, for the tests of damaged files.
"""
import io
import struct
import subprocess

from PIL import Image

import make_variants as mv

OPJ_COMPRESS = "/usr/bin/opj_compress"
TIFFCP = "/usr/bin/tiffcp"

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


# ---- JPEG inside TIFF: a smooth pattern (JPEG's losses stay small) without symmetry ------------

SMOOTH = [[(50 + 7 * x, 40 + 11 * y, 210 - 4 * x - 5 * y) for x in range(W)] for y in range(H)]
# JPEG at quality 95: a few levels of quantisation error, more where 4:2:0 chroma is spread
# over 2 x 2 pixels. Reading YCbCr as RGB, or CMYK as anything else, is off by far more.
JPEG_TOLERANCE = 16


def tiff_le(blobs, tags_of):
    """A little-endian TIFF: header, the blobs (each at an even offset), then one directory whose
    tags tags_of makes from the blobs' offsets: (tag, type 3 or 4, [values]). Values of more
    than 4 bytes follow the directory."""
    offsets, body = [], b""
    for blob in blobs:
        offsets.append(8 + len(body))
        body += blob + b"\0" * (len(blob) % 2)
    tags = sorted(tags_of(offsets))
    at = 8 + len(body)
    extra_at = at + 2 + 12 * len(tags) + 4
    ifd, extra = struct.pack("<H", len(tags)), b""
    for tag, kind, values in tags:
        data = struct.pack("<%d%s" % (len(values), "H" if kind == 3 else "I"), *values)
        if len(data) <= 4:
            ifd += struct.pack("<HHI", tag, kind, len(values)) + data.ljust(4, b"\0")
        else:
            ifd += struct.pack("<HHII", tag, kind, len(values), extra_at + len(extra))
            extra += data + b"\0" * (len(data) % 2)
    return b"II*\0" + struct.pack("<I", at) + body + ifd + b"\0\0\0\0" + extra


def cut_off(w, name, tag):
    """The little-endian TIFF with its first strip or tile holding half its data: the first
    value of tag (byte counts, SHORT or LONG, in the entry or behind it) halved."""
    data = bytearray((w.folder / name).read_bytes())
    at = struct.unpack("<I", data[4:8])[0]
    for i in range(struct.unpack("<H", data[at:at + 2])[0]):
        entry = at + 2 + 12 * i
        found, kind, count = struct.unpack("<HHI", data[entry:entry + 8])
        if found == tag:
            size = {3: "<H", 4: "<I"}[kind]
            where = entry + 8 if count * struct.calcsize(size) <= 4 else \
                struct.unpack("<I", data[entry + 8:entry + 12])[0]
            first = struct.unpack_from(size, data, where)[0]
            struct.pack_into(size, data, where, first // 2)
            (w.folder / name.replace(".tif", "_cut_off.tif")).write_bytes(bytes(data))
            return
    raise KeyError(tag)


def agrees(name, reader, got, rows, tolerance=JPEG_TOLERANCE):
    """Another reader's pixels (RGB or RGBA rows) within the tolerance of the expected rows."""
    worst = max(abs(a - b) for g, e in zip(got, rows) for p, q in zip(g, e)
                for a, b in zip(p[:3], q[:3]))
    assert worst <= tolerance, "%s: %s differs by %d" % (name, reader, worst)


def jpeg_of(rows, subsampling):
    out = io.BytesIO()
    mv.image_of(mv.opaque(rows)).convert("RGB").save(out, "JPEG", quality=95,
                                                     subsampling=subsampling)
    return out.getvalue()


def jpeg_parts(stream):
    """The segments of a JPEG stream up to its start of scan, as (marker, payload), and the
    entropy-coded data after it (without the end-of-image marker)."""
    at, segments = 2, []
    while True:
        marker, length = stream[at + 1], struct.unpack(">H", stream[at + 2:at + 4])[0]
        segments.append((marker, stream[at + 4:at + 2 + length]))
        at += 2 + length
        if marker == 0xDA:
            return segments, stream[at:stream.rindex(b"\xff\xd9")]


def jpeg_tables(segments):
    """Per component (Y, Cb, Cr): its quantisation table (64 bytes) and its DC and AC Huffman
    tables (16 counts, then the values), as the old-style tags hold them."""
    quant, huffman, frame, scan = {}, {}, b"", b""
    for marker, payload in segments:
        at = 0
        while marker == 0xDB and at < len(payload):  # DQT: Pq|Tq, 64 values (8-bit)
            quant[payload[at] & 15] = payload[at + 1:at + 65]
            at += 65
        while marker == 0xC4 and at < len(payload):  # DHT: Tc|Th, 16 counts, values
            size = 17 + sum(payload[at + 1:at + 17])
            huffman[payload[at]] = payload[at + 1:at + size]
            at += size
        frame = payload if marker == 0xC0 else frame   # SOF0: P Y X Nf, (C H|V Tq) each
        scan = payload if marker == 0xDA else scan     # SOS: Ns, (Cs Td|Ta) each, Ss Se Ah|Al
    q = [quant[frame[6 + 3 * c + 2]] for c in range(3)]
    dc = [huffman[scan[2 + 2 * c] >> 4] for c in range(3)]
    ac = [huffman[0x10 | scan[2 + 2 * c] & 15] for c in range(3)]
    return q, dc, ac


def ojpeg_tags(subsampling, orientation=1):
    """Compression 6, YCbCr, 8 bits, one strip of the whole picture."""
    return [(256, 3, [W]), (257, 3, [H]), (258, 3, [8, 8, 8]), (259, 3, [6]), (262, 3, [6]),
            (274, 3, [orientation]), (277, 3, [3]), (278, 3, [H]), (284, 3, [1]),
            (512, 3, [1]), (530, 3, [subsampling, subsampling])]


def ojpeg_variants(w):
    """Old-style JPEG as most writers of it made it: a whole JFIF stream behind
    JPEGInterchangeFormat(513)/Length(514), the strip pointing at the same stream; shown by
    the orientation tag's rule like any TIFF. Then the tables form: quantisation tables
    (519), DC (520) and AC (521) Huffman tables at offsets of their own, one per component,
    and the strip holding only the entropy-coded data."""
    stream = jpeg_of(SMOOTH, 2)
    agrees("the 4:2:0 stream", "Pillow", mv.rows_of(Image.open(io.BytesIO(stream))), SMOOTH)
    stored = mv.image_of(mv.opaque(SMOOTH))
    for tag, steps in mv.ORIENTED.items():
        shown = stored
        for step in steps:
            shown = shown.transpose(step)
        data = tiff_le([stream], lambda o: ojpeg_tags(2, tag) + [
            (273, 4, [o[0]]), (279, 4, [len(stream)]), (513, 4, [o[0]]),
            (514, 4, [len(stream)])])
        w.add("tiff_ojpeg", "ojpeg_stream_orientation%d.tif" % tag, data, mv.rows_of(shown),
              JPEG_TOLERANCE)
    segments, entropy = jpeg_parts(jpeg_of(SMOOTH, 0))
    q, dc, ac = jpeg_tables(segments)
    data = tiff_le([entropy] + q + dc + ac, lambda o: ojpeg_tags(1) + [
        (273, 4, [o[0]]), (279, 4, [len(entropy)]), (519, 4, o[1:4]), (520, 4, o[4:7]),
        (521, 4, o[7:10])])
    w.add("tiff_ojpeg", "ojpeg_tables.tif", data, mv.opaque(SMOOTH), JPEG_TOLERANCE)
    # Pillow reads both through libtiff (it shows the stored rows whatever the orientation).
    for name in ("ojpeg_stream_orientation1.tif", "ojpeg_tables.tif"):
        agrees(name, "Pillow", mv.rows_of(Image.open(w.folder / name)), SMOOTH)
    cut_off(w, "ojpeg_tables.tif", 279)  # StripByteCounts


def cmyk_jpeg_variants(w):
    """CMYK in 16 x 16 tiles (the 21 x 13 picture needs edge tiles), each tile a 4-component
    JPEG written by libtiff's own codec. Shown as red = (255 - C) x (255 - K) / 255 and so on,
    as the uncompressed CMYK variants."""
    ink = [[(20 + 8 * x, 30 + 12 * y, 200 - 5 * x - 6 * y, 10 + 3 * x + 2 * y)
            for x in range(W)] for y in range(H)]
    cmyk = Image.new("CMYK", (W, H))
    cmyk.putdata([p for row in ink for p in row])
    source = w.folder / "source_cmyk.tif"
    cmyk.save(source)
    name = "cmyk_jpeg_tiled.tif"
    subprocess.run([TIFFCP, "-c", "jpeg:95", "-t", "-w", "16", "-l", "16", str(source),
                    str(w.folder / name)], check=True, capture_output=True)

    def shown(c, m, y, k):
        return tuple(((255 - v) * (255 - k) + 127) // 255 for v in (c, m, y)) + (255,)
    rows = [[shown(*p) for p in row] for row in ink]
    w.add("tiff_cmyk_jpeg", name, None, rows, JPEG_TOLERANCE)
    # Pillow reads the inks through libtiff's JPEG codec.
    inks = list(Image.open(w.folder / name).getdata())
    agrees(name, "Pillow", [[shown(*inks[y * W + x]) for x in range(W)] for y in range(H)], rows)
    cut_off(w, name, 325)  # TileByteCounts


def write(w):
    bmp_rle_variants(w)
    planes_variants(w)
    tiff_grey_variants(w)
    ico_variants(w)
    jp2_variants(w)
    ojpeg_variants(w)
    cmyk_jpeg_variants(w)
